#pragma once
// CTextUI: a multi-line label whose tagged text may hold up to eight clickable links.

#include <windows.h>

#include "Control/UILabel.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
 public:
  static const int kMaxLinks = 8;

  CTextUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UINT GetBehaviourFlags() const override;
  // A text with links is reached by Tab.
  bool IsTabReachable() const override;
  // Follows the first link, as Return and Space do.
  bool Activate() override;
  void HandleEvent(InputEvent& event) override;
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintTextLayer(HDC hDC) override;

  int GetLinkCount() const { return m_nLinks; }
  // Window client coordinates, as the last paint laid the link out.
  RECT GetLinkRect(int iIndex) const;
  CUIString GetLinkText(int iIndex) const;
  int GetHotLink() const { return m_nHoverLink; }

 protected:
  // The index of the link under the point, or -1.
  int LinkAt(POINT pt) const;

  int m_nLinks;
  RECT m_rcLinks[kMaxLinks];
  CUIString m_sLinks[kMaxLinks];
  int m_nHoverLink;
};

}  // namespace SkinUI

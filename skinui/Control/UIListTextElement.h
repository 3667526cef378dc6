#pragma once
// CListTextElementUI: a list item with one text per header column, from its own column texts or
// from the list's text source. Tagged texts may hold up to eight links over all columns.

#include <windows.h>

#include <memory>

#include "Control/UIListLabelElement.h"
#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CListTextElementUI : public CListLabelElementUI {
 public:
  static constexpr int kMaxLinks = 8;

  CListTextElementUI();
  ~CListTextElementUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  // Wants set-cursor events while it shows links.
  UINT GetBehaviourFlags() const override;
  void HandleEvent(InputEvent& event) override;
  void PaintElementText(HDC hDC, const RECT& rcText) override;

  // Texts of columns beyond the stored ones are empty.
  CUIString GetColumnText(int iColumn) const;
  void SetColumnText(int iColumn, LPCWSTR pstrText);
  int GetLinkCount() const;
  // Window client coordinates, as the last paint laid the link out.
  RECT GetLinkRect(int iIndex) const;
  int GetHotLink() const { return m_iHotLink; }

 private:
  // Only items that show tagged text carry links; the others keep no room for them.
  struct LinkSet {
    int nLinks = 0;
    RECT rcLinks[kMaxLinks] = {};
    CUIString sLinks[kMaxLinks];
  };

  LPCWSTR ColumnTextToDraw(int iColumn, CUIString& sStored) const;
  int LinkAt(POINT pt) const;

  COwnedPtrArrayUI<CUIString> m_aColumnTexts;
  std::unique_ptr<LinkSet> m_pLinks;
  int m_iHotLink;
};

}  // namespace SkinUI

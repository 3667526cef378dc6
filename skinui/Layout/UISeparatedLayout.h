#pragma once
// CSeparatedLayoutUI: what the vertical and horizontal layouts share — a container with an
// optional drag separator on one edge, its attributes ("sepheight"/"sepwidth", "sepimm"), its
// events and its tracker band.

#include "Core/UIContainer.h"
#include "Layout/UILayoutSeparator.h"

namespace SkinUI {

class CSeparatedLayoutUI : public CContainerUI {
 public:
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  // Wants set-cursor events while it has a separator.
  UINT GetBehaviourFlags() const override;
  void HandleEvent(InputEvent& event) override;
  void PostPaint(HDC hDC, const RECT& rcPaint) override;

  // n > 0: an n-pixel band on the bottom (right) edge; -n: on the top (left) edge; 0: none.
  void SetSeparatorSize(int iSize);
  int GetSeparatorSize() const;
  void SetImmediateResize(bool bImmediate);
  bool IsImmediateResize() const;
  RECT GetSeparatorRect(bool bUseProposed = false) const;
  bool IsDragging() const;

 protected:
  // bVertical: the band lies on the bottom or top edge and drags the height; the size
  // attribute is named pstrSizeAttribute.
  CSeparatedLayoutUI(bool bVertical, LPCWSTR pstrSizeAttribute);

 private:
  CLayoutSeparator m_separator;
  LPCWSTR m_pstrSizeAttribute;
};

}  // namespace SkinUI

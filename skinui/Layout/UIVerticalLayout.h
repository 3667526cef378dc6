#pragma once
// CVerticalLayoutUI: stacks its children top to bottom. Children whose measured height is 0
// share the height the others leave.

#include "Core/UIContainer.h"
#include "Layout/UILayoutSeparator.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
 public:
  CVerticalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  // Wants set-cursor events while it has a separator.
  UINT GetBehaviourFlags() const override;
  void HandleEvent(InputEvent& event) override;
  void PostPaint(HDC hDC, const RECT& rcPaint) override;

  // n > 0: an n-pixel band on the bottom edge; -n: on the top edge; 0: none.
  void SetSeparatorSize(int iSize);
  int GetSeparatorSize() const;
  void SetImmediateResize(bool bImmediate);
  bool IsImmediateResize() const;
  RECT GetSeparatorRect(bool bUseProposed = false) const;
  bool IsDragging() const;

 private:
  CLayoutSeparator m_separator;
};

}  // namespace SkinUI

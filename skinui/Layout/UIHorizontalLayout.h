#pragma once
// CHorizontalLayoutUI: places its children left to right. Children whose measured width is 0
// share the width the others leave.

#include "Core/UIContainer.h"
#include "Layout/UILayoutSeparator.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
 public:
  CHorizontalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  // Wants set-cursor events while it has a separator.
  UINT GetBehaviourFlags() const override;
  void HandleEvent(InputEvent& event) override;
  void PostPaint(HDC hDC, const RECT& rcPaint) override;

  // n > 0: an n-pixel band on the right edge; -n: on the left edge; 0: none.
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

#pragma once
// CVerticalLayoutUI: stacks its children top to bottom. Children whose measured height is 0
// share the height the others leave.

#include "Core/UIContainer.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
 public:
  CVerticalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

  // n > 0: an n-pixel band on the bottom edge; -n: on the top edge; 0: none.
  void SetSeparatorSize(int iSize);
  int GetSeparatorSize() const;
  void SetImmediateResize(bool bImmediate);
  bool IsImmediateResize() const;
  RECT GetSeparatorRect() const;

 private:
  int m_iSepHeight;
  bool m_bImmediateResize;
};

}  // namespace SkinUI

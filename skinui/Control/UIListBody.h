#pragma once
// CListBodyUI: the scrolling part of a list that holds its items. Items are stacked top to
// bottom, each as wide as the header's columns together; scrolling sideways takes the header and
// the columns along. Every event the body gets goes to its list.

#include "Layout/UIVerticalLayout.h"

namespace SkinUI {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
 public:
  explicit CListBodyUI(CListUI* pOwner);

  LPCWSTR ClassName() const override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void SetScrollPosition(SIZE szPos) override;
  void HandleEvent(InputEvent& event) override;

  CListUI* GetOwner() const { return m_pOwner; }

 private:
  // The header's width, or without header items the widest item's (at least the visible width).
  int ItemWidth(const RECT& rcContent);

  CListUI* m_pOwner;
};

}  // namespace SkinUI

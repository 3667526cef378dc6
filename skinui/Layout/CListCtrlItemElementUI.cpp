#include "Layout/CListCtrlItemElementUI.h"

namespace SkinUI {

LPCWSTR CListCtrlItemElementUI::ClassName() const { return L"ListViewItem"; }

LPVOID CListCtrlItemElementUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListCtrlItem") == 0) return this;
  return CListContainerElementUI::QueryNamedInterface(pstrName);
}

void CListCtrlItemElementUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  PlaceChildrenInContainer(rc, bNeedInvalidate);
}

void CListCtrlItemElementUI::PaintBackgroundColor(HDC hDC) {
  m_item.PaintBackground(hDC, m_rcPaint, m_diBk, true);
}

}  // namespace SkinUI

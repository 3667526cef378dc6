// Plain list items: their names and the events they leave to their owner.

#include "Control/UIListElement.h"

namespace SkinUI {

LPCWSTR CListElementUI::ClassName() const { return L"ListElementUI"; }

LPVOID CListElementUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
  if (::lstrcmpW(pstrName, L"ListElement") == 0) return static_cast<CListElementUI*>(this);
  return CControlUI::QueryNamedInterface(pstrName);
}

void CListElementUI::HandleEvent(InputEvent& event) {
  if (!m_item.PassToOwner(event)) CControlUI::HandleEvent(event);
}

void CListElementUI::PaintElementText(HDC /*hDC*/, const RECT& /*rcText*/) {}

}  // namespace SkinUI

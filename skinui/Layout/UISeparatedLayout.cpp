#include "Layout/UISeparatedLayout.h"

#include <cwchar>

namespace SkinUI {

CSeparatedLayoutUI::CSeparatedLayoutUI(bool bVertical, LPCWSTR pstrSizeAttribute)
    : m_separator(bVertical), m_pstrSizeAttribute(pstrSizeAttribute) {}

void CSeparatedLayoutUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (::lstrcmpW(pstrName, m_pstrSizeAttribute) == 0) {
    SetSeparatorSize(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (::lstrcmpW(pstrName, L"sepimm") == 0) {
    SetImmediateResize(::lstrcmpW(pstrValue, L"true") == 0);
  } else {
    CContainerUI::ApplyAttribute(pstrName, pstrValue);
  }
}

void CSeparatedLayoutUI::SetSeparatorSize(int iSize) { m_separator.SetSize(iSize); }
int CSeparatedLayoutUI::GetSeparatorSize() const { return m_separator.GetSize(); }
void CSeparatedLayoutUI::SetImmediateResize(bool bImmediate) { m_separator.SetImmediate(*this, bImmediate); }
bool CSeparatedLayoutUI::IsImmediateResize() const { return m_separator.IsImmediate(); }
bool CSeparatedLayoutUI::IsDragging() const { return m_separator.IsDragging(); }

RECT CSeparatedLayoutUI::GetSeparatorRect(bool bUseProposed) const {
  return m_separator.GetBand(m_rcItem, bUseProposed);
}

UINT CSeparatedLayoutUI::GetBehaviourFlags() const {
  return IsEnabled() && m_separator.GetSize() != 0 ? kBehaviourSetCursor : 0u;
}

void CSeparatedLayoutUI::HandleEvent(InputEvent& event) {
  if (m_separator.HandleEvent(*this, m_rcItem, event)) return;
  CContainerUI::HandleEvent(event);
}

void CSeparatedLayoutUI::PostPaint(HDC hDC, const RECT& rcPaint) {
  m_separator.PaintTracker(hDC);
  CContainerUI::PostPaint(hDC, rcPaint);
}

}  // namespace SkinUI

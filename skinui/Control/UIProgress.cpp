// Progress bars: range, value and the fill.

#include "Control/UIProgress.h"

#include <climits>

#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

CProgressUI::CProgressUI()
    : m_bHorizontal(true), m_nMin(0), m_nMax(100), m_nValue(0), m_rcFill{0, 0, 0, 0} {
  m_uTextStyle = kTextCenter | kTextSingleLine;
  SetFixedHeight(12);
}

LPCWSTR CProgressUI::ClassName() const { return L"ProgressUI"; }

LPVOID CProgressUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Progress") == 0) return this;
  return CLabelUI::QueryNamedInterface(pstrName);
}

void CProgressUI::SetHorizontal(bool bHorizontal) {
  if (m_bHorizontal == bHorizontal) return;
  m_bHorizontal = bHorizontal;
  Invalidate();
}

void CProgressUI::SetMinValue(int nMin) {
  m_nMin = nMin;
  Invalidate();
}

void CProgressUI::SetMaxValue(int nMax) {
  m_nMax = nMax;
  Invalidate();
}

void CProgressUI::SetValue(int nValue) {
  const int nOld = m_nValue;
  m_nValue = nValue < m_nMax ? nValue : m_nMax;
  if (m_nValue < m_nMin) m_nValue = m_nMin;
  Invalidate();
  if (m_nValue != nOld) NotifyAccessible(AccessibleEvent::kValue);
}

void CProgressUI::SetForeImage(LPCWSTR pstrImage) {
  if (StoreImageAttribute(m_diFore, pstrImage)) Invalidate();
}

UI_BEGIN_ATTRIBUTES(CProgressUI, CLabelUI)
UI_ATTRIBUTE(L"foreimage", kImageValue, self.SetForeImage(pstrValue))
UI_ATTRIBUTE(L"hor", kBoolValue, self.SetHorizontal(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"min", kIntValue, self.SetMinValue(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"max", kIntValue, self.SetMaxValue(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"value", kIntValue, self.SetValue(ReadInt(pstrValue)))
UI_END_ATTRIBUTES()

void CProgressUI::NormaliseRange() {
  if (m_nMin >= m_nMax) {
    // A skin's minimum at the top of the int range has no room above it: take the room below.
    if (m_nMin == INT_MAX) m_nMin = INT_MAX - 1;
    m_nMax = m_nMin + 1;
  }
  if (m_nValue > m_nMax) m_nValue = m_nMax;
  if (m_nValue < m_nMin) m_nValue = m_nMin;
}

void CProgressUI::PaintStateImages(HDC hDC) {
  NormaliseRange();
  const int W = m_rcItem.right - m_rcItem.left;
  const int H = m_rcItem.bottom - m_rcItem.top;
  // 64-bit products: a download's byte counts as range would overflow 32 bits.
  const long long nSpan = static_cast<long long>(m_nMax) - m_nMin;
  if (m_bHorizontal) {
    const long long cx = W * (static_cast<long long>(m_nValue) - m_nMin) / nSpan;
    m_rcFill = RECT{0, 0, static_cast<LONG>(cx), H};
  } else {
    const long long cy = H * (static_cast<long long>(m_nMax) - m_nValue) / nSpan;
    m_rcFill = RECT{0, static_cast<LONG>(cy), W, H};
  }
  if (InHighContrast()) {
    RECT rcFill = m_rcFill;
    ::OffsetRect(&rcFill, m_rcItem.left, m_rcItem.top);
    RECT rcShown;
    if (::IntersectRect(&rcShown, &rcFill, &m_rcPaint)) {
      CSkinRenderer::FillColor(hDC, rcShown, CWindowHostUI::SystemColor(COLOR_HIGHLIGHT));
    }
    return;
  }
  // Parse first so that the fill replaces any destination the image string holds.
  if (!CSkinRenderer::RenderImage(nullptr, m_pHost, m_rcItem, m_rcPaint, m_diFore)) return;
  m_diFore.rcDest = m_rcFill;
  CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, m_diFore);
}

}  // namespace SkinUI

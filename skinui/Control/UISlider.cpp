// Sliders: thumb placement, the value under the pointer, dragging and the wheel.

#include "Control/UISlider.h"

#include <algorithm>
#include <climits>

#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

// A skin's step added to a value near the end of the int range would wrap round to the other end.
int StepFrom(int nValue, long long nStep) {
  const long long nNext = nValue + nStep;
  if (nNext > INT_MAX) return INT_MAX;
  if (nNext < INT_MIN) return INT_MIN;
  return static_cast<int>(nNext);
}

}  // namespace

CSliderUI::CSliderUI() : m_uSliderState(0), m_nStep(1), m_bImmediate(false), m_szThumb{10, 10} {
  m_uTextStyle = kTextCenter | kTextSingleLine;
}

LPCWSTR CSliderUI::ClassName() const { return L"SliderUI"; }

LPVOID CSliderUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Slider") == 0) return this;
  return CProgressUI::QueryNamedInterface(pstrName);
}

UINT CSliderUI::GetBehaviourFlags() const {
  return IsEnabled() ? kBehaviourTabStop | kBehaviourSetCursor : 0u;
}

void CSliderUI::SetEnabled(bool bEnable) {
  CProgressUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uSliderState = 0;
}

void CSliderUI::SetStep(int nStep) { m_nStep = nStep; }

void CSliderUI::SetThumbSize(int cx, int cy) {
  m_szThumb.cx = cx;
  m_szThumb.cy = cy;
}

void CSliderUI::SetThumbImage(LPCWSTR pstrImage) {
  StoreImageAttribute(m_diThumb, pstrImage);
  Invalidate();
}
void CSliderUI::SetThumbHotImage(LPCWSTR pstrImage) {
  StoreImageAttribute(m_diThumbHot, pstrImage);
  Invalidate();
}
void CSliderUI::SetThumbPushedImage(LPCWSTR pstrImage) {
  StoreImageAttribute(m_diThumbPushed, pstrImage);
  Invalidate();
}

RECT CSliderUI::GetThumbRect() const {
  const RECT& rc = m_rcItem;
  const int tw = m_szThumb.cx;
  const int th = m_szThumb.cy;
  // An empty range places the thumb at the start instead of dividing by zero.
  // 64 bits: a range from a large negative minimum to a large maximum overflows an int.
  const long long nSpan = m_nMax > m_nMin ? static_cast<long long>(m_nMax) - m_nMin : 1;
  const long long nShare =
      (m_nValue < m_nMin ? m_nMin : (m_nValue > m_nMax ? m_nMax : m_nValue)) -
      static_cast<long long>(m_nMin);
  RECT rcThumb;
  if (m_bHorizontal) {
    rcThumb.left = rc.left + static_cast<int>((rc.right - rc.left - tw) * nShare / nSpan);
    rcThumb.top = (rc.bottom + rc.top - th) / 2;
  } else {
    rcThumb.left = (rc.right + rc.left - tw) / 2;
    const int bottom =
        rc.bottom -
        static_cast<int>((rc.bottom - rc.top - th) * nShare / nSpan);
    rcThumb.top = bottom - th;
  }
  rcThumb.right = rcThumb.left + tw;
  rcThumb.bottom = rcThumb.top + th;
  return rcThumb;
}

int CSliderUI::ValueAtPoint(POINT pt) const {
  const RECT& rc = m_rcItem;
  const int tw = m_szThumb.cx;
  const int th = m_szThumb.cy;
  const long long nSpan = static_cast<long long>(m_nMax) - m_nMin;
  if (m_bHorizontal) {
    if (pt.x >= rc.right - tw / 2) return m_nMax;
    const int nTrack = rc.right - rc.left - tw;
    if (pt.x > rc.left + tw / 2 && nTrack > 0) {
      return m_nMin + static_cast<int>((pt.x - (rc.left + tw / 2)) * nSpan / nTrack);
    }
    return m_nMin;
  }
  if (pt.y >= rc.bottom - th / 2) return m_nMin;
  const int nTrack = rc.bottom - rc.top - th;
  if (pt.y > rc.top + th / 2 && nTrack > 0) {
    return m_nMin + static_cast<int>(nSpan * ((rc.bottom - th / 2) - pt.y) / nTrack);
  }
  return m_nMax;
}

void CSliderUI::NotifyValueChanged() {
  NotifyAccessible(AccessibleEvent::kValue);
  if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyValueChanged);
}

bool CSliderUI::StepByKey(WCHAR chKey) {
  // A page is a tenth of the range, and never less than a step.
  const long long nSpan = static_cast<long long>(m_nMax) - m_nMin;
  const long long nPage = std::max<long long>(std::max(m_nStep, 1), nSpan / 10);
  int nValue = m_nValue;
  switch (chKey) {
    case VK_RIGHT:
    case VK_UP:
      nValue = StepFrom(m_nValue, std::max(m_nStep, 1));
      break;
    case VK_LEFT:
    case VK_DOWN:
      nValue = StepFrom(m_nValue, -static_cast<long long>(std::max(m_nStep, 1)));
      break;
    case VK_PRIOR:
      nValue = StepFrom(m_nValue, nPage);
      break;
    case VK_NEXT:
      nValue = StepFrom(m_nValue, -nPage);
      break;
    case VK_HOME:
      nValue = m_nMin;
      break;
    case VK_END:
      nValue = m_nMax;
      break;
    default:
      return false;
  }
  StepTo(nValue);
  return true;
}

void CSliderUI::StepTo(int nValue) {
  nValue = std::min(std::max(nValue, m_nMin), m_nMax);
  if (nValue == m_nValue) return;
  m_nValue = nValue;
  Invalidate();
  NotifyValueChanged();
}

void CSliderUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CProgressUI>(*this, event)) return;
  switch (event.iKind) {
    case kEventButtonDown:
    case kEventDoubleClick:
      if (IsEnabled()) {
        m_uSliderState |= kStateCaptured;
        const int nValue = ValueAtPoint(event.ptMouse);
        if (nValue != m_nValue && nValue >= m_nMin && nValue <= m_nMax) {
          m_nValue = nValue;
          Invalidate();
        }
      }
      return;
    case kEventMouseMove:
      if ((m_uSliderState & kStateCaptured) != 0) {
        m_nValue = ValueAtPoint(event.ptMouse);
        if (m_bImmediate) NotifyValueChanged();
        Invalidate();
      }
      return;
    case kEventButtonUp:
      if ((m_uSliderState & kStateCaptured) != 0) {
        m_nValue = ValueAtPoint(event.ptMouse);
        NotifyValueChanged();
        m_uSliderState &= ~kStateCaptured;
        Invalidate();
      }
      return;
    case kEventKeyDown:
      if (IsEnabled() && StepByKey(event.chKey)) return;
      break;
    case kEventScrollWheel:
      if (event.wParam == 0) {
        StepTo(StepFrom(m_nValue, m_nStep));
      } else if (event.wParam == 1) {
        StepTo(StepFrom(m_nValue, -static_cast<long long>(m_nStep)));
      }
      return;
    case kEventSetCursor: {
      const RECT rcThumb = GetThumbRect();
      if (IsEnabled() && ::PtInRect(&rcThumb, event.ptMouse)) {
        SetStandardCursor(kCursorHand);
        return;
      }
      break;
    }
    case kEventMouseEnter:
      if (IsEnabled()) {
        m_uSliderState |= kStateHot;
        Invalidate();
      }
      return;
    case kEventMouseLeave:
      if (IsEnabled()) {
        m_uSliderState &= ~kStateHot;
        Invalidate();
      }
      return;
    case kEventContextMenu:
      return;
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

UI_BEGIN_ATTRIBUTES(CSliderUI, CProgressUI)
UI_ATTRIBUTE(L"thumbimage", kImageValue, self.SetThumbImage(pstrValue))
UI_ATTRIBUTE(L"thumbhotimage", kImageValue, self.SetThumbHotImage(pstrValue))
UI_ATTRIBUTE(L"thumbpushedimage", kImageValue, self.SetThumbPushedImage(pstrValue))
UI_ATTRIBUTE(L"thumbsize", kPixelSizeValue,
             const SIZE sz = ReadSize(pstrValue);
             self.SetThumbSize(sz.cx, sz.cy))
UI_ATTRIBUTE(L"step", kIntValue, self.SetStep(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"imm", kBoolValue, self.SetImmediateNotify(IsTrue(pstrValue)))
UI_END_ATTRIBUTES()

void CSliderUI::PaintStateImages(HDC hDC) {
  CProgressUI::PaintStateImages(hDC);
  RECT rcThumb = GetThumbRect();
  ::OffsetRect(&rcThumb, -m_rcItem.left, -m_rcItem.top);
  ImageDrawInfo* pState = nullptr;
  if ((m_uSliderState & kStateCaptured) != 0) {
    pState = &m_diThumbPushed;
  } else if ((m_uSliderState & kStateHot) != 0) {
    pState = &m_diThumbHot;
  }
  ImageDrawInfo* aCandidates[] = {pState, &m_diThumb};
  for (ImageDrawInfo* pImage : aCandidates) {
    if (pImage == nullptr) continue;
    if (!CSkinRenderer::RenderImage(nullptr, m_pHost, m_rcItem, m_rcPaint, *pImage)) continue;
    pImage->rcDest = rcThumb;
    if (CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, *pImage)) return;
  }
}

}  // namespace SkinUI

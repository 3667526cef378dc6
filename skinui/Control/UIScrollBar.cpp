// Scroll bars: part layout, range and value, pressing, dragging, auto-repeat and painting.

#include "Control/UIScrollBar.h"

#include <algorithm>
#include <cwchar>

#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIContainer.h"
#include "Core/UILayoutAxis.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

bool Inside(const RECT& rc, POINT pt) { return ::PtInRect(&rc, pt) != FALSE; }

}  // namespace

CScrollBarUI::CScrollBarUI()
    : m_bHorizontal(false),
      m_nRange(100),
      m_nScrollPos(0),
      m_nLineSize(8),
      m_pOwner(nullptr),
      m_ptLastMouse{0, 0},
      m_nLastScrollPos(0),
      m_nLastScrollOffset(0),
      m_nScrollRepeatDelay(0),
      m_bShowButton1(true),
      m_bShowButton2(true),
      m_uButton1State(0),
      m_uButton2State(0),
      m_uThumbState(0) {
  m_cxyFixed.cx = 16;
}

LPCWSTR CScrollBarUI::ClassName() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ScrollBar") == 0) return this;
  if (::lstrcmpW(pstrName, kInterfaceName) == 0) return static_cast<CScrollBarBaseUI*>(this);
  return CControlUI::QueryNamedInterface(pstrName);
}

int CScrollBarUI::GetThickness() const { return m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx; }

void CScrollBarUI::SetHorizontal(bool bHorizontal) {
  if (m_bHorizontal == bHorizontal) return;
  m_bHorizontal = bHorizontal;
  if (m_bHorizontal) {
    if (m_cxyFixed.cy == 0) {
      m_cxyFixed.cx = 0;
      m_cxyFixed.cy = 16;
    }
  } else if (m_cxyFixed.cx == 0) {
    m_cxyFixed.cy = 0;
    m_cxyFixed.cx = 16;
  }
  if (m_pOwner != nullptr) {
    m_pOwner->RequestLayout();
  } else {
    RequestParentLayout();
  }
}

void CScrollBarUI::SetScrollRange(int nRange) {
  if (m_nRange == nRange) return;
  m_nRange = nRange < 0 ? 0 : nRange;
  if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
  SetPosition(m_rcItem, true);
}

void CScrollBarUI::SetScrollValue(int nPos, bool bNotify) {
  // Clamped first: a step past either end changes nothing and announces nothing.
  nPos = nPos < 0 ? 0 : (nPos > m_nRange ? m_nRange : nPos);
  if (m_nScrollPos == nPos) return;
  const int nOld = m_nScrollPos;
  m_nScrollPos = nPos;
  SetPosition(m_rcItem, true);
  NotifyAccessible(AccessibleEvent::kValue);
  if (bNotify && m_pHost != nullptr) {
    m_pHost->RaiseNotification(this, kNotifyScroll, static_cast<WPARAM>(m_nScrollPos),
                               static_cast<LPARAM>(nOld), true);
  }
}

void CScrollBarUI::SetShowButton1(bool bShow) {
  m_bShowButton1 = bShow;
  SetPosition(m_rcItem, true);
}

void CScrollBarUI::SetShowButton2(bool bShow) {
  m_bShowButton2 = bShow;
  SetPosition(m_rcItem, true);
}

// Laid out along x; a vertical bar exchanges the axes on the way in and out.
void CScrollBarUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPosition(rc, bNeedInvalidate);
  rc = m_rcItem;
  auto flip = [this](const RECT& r) {
    return m_bHorizontal ? r : RECT{r.top, r.left, r.bottom, r.right};
  };
  const RECT a = flip(rc);  // along the bar: left..right; across: top..bottom
  const int L = a.right - a.left;
  const int S = GetThickness();
  int T = L;
  if (m_bShowButton1) T -= S;
  if (m_bShowButton2) T -= S;
  RECT b1, b2, thumb = {0, 0, 0, 0};
  if (S >= T) {
    const int k = L / 2 < S ? L / 2 : S;
    b1 = m_bShowButton1 ? RECT{a.left, a.top, a.left + k, a.top + S}
                        : RECT{a.left, a.top, a.left, a.top};
    b2 = m_bShowButton2 ? RECT{a.right - k, a.top, a.right, a.top + S}
                        : RECT{a.right, a.top, a.right, a.top};
    m_rcButton1 = flip(b1);
    m_rcButton2 = flip(b2);
    m_rcThumb = thumb;
    return;
  }
  b1 = m_bShowButton1 ? RECT{a.left, a.top, a.left + S, a.top + S}
                      : RECT{a.left, a.top, a.left, a.top};
  b2 = m_bShowButton2 ? RECT{a.right - S, a.top, a.right, a.top + S}
                      : RECT{a.right, a.top, a.right, a.top};
  thumb.top = a.top;
  thumb.bottom = a.top + S;
  if (m_nRange <= 0) {
    thumb.left = b1.right;
    thumb.right = b2.left;
  } else {
    const long long nShare = static_cast<long long>(L) * T / (L + static_cast<long long>(m_nRange));
    const int m = nShare > S ? static_cast<int>(nShare) : S;
    thumb.left =
        b1.right + static_cast<int>(static_cast<long long>(T - m) * m_nScrollPos / m_nRange);
    thumb.right = thumb.left + m;
    if (thumb.right > b2.left) {
      thumb.left = b2.left - m;
      thumb.right = b2.left;
    }
  }
  m_rcButton1 = flip(b1);
  m_rcButton2 = flip(b2);
  m_rcThumb = flip(thumb);
}

void CScrollBarUI::SetVisible(bool bVisible) {
  m_bVisible = bVisible;
  m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!bEnable) {
    m_uButton1State = 0;
    m_uButton2State = 0;
    m_uThumbState = 0;
  }
}

// The bar never holds the focus itself: the content it scrolls does.
bool CScrollBarUI::IsTabReachable() const { return m_pOwner == nullptr && IsEnabled() && IsKeyboardEnabled(); }

bool CScrollBarUI::ScrollByKey(WCHAR chKey) {
  const int nPage = std::max(LineStep(), m_nRange / 10);
  switch (chKey) {
    case VK_LEFT:
    case VK_UP:
      ScrollLineBack();
      return true;
    case VK_RIGHT:
    case VK_DOWN:
      ScrollLineForward();
      return true;
    case VK_PRIOR:
      SetScrollValue(m_nScrollPos - nPage);
      return true;
    case VK_NEXT:
      SetScrollValue(m_nScrollPos + nPage);
      return true;
    case VK_HOME:
      SetScrollValue(0);
      return true;
    case VK_END:
      SetScrollValue(m_nRange);
      return true;
    default:
      return false;
  }
}

void CScrollBarUI::SetFocus() {
  if (m_pOwner != nullptr) {
    m_pOwner->SetFocus();
  } else {
    CControlUI::SetFocus();
  }
}

void CScrollBarUI::PassToOwner(InputEvent& event) {
  if (m_pOwner != nullptr) {
    m_pOwner->HandleEvent(event);
  } else {
    CControlUI::HandleEvent(event);
  }
}

// ---- value changes ----

int CScrollBarUI::BarLength() const {
  return m_bHorizontal ? m_rcItem.right - m_rcItem.left : m_rcItem.bottom - m_rcItem.top;
}

void CScrollBarUI::ScrollBy(int iDelta, void (CContainerUI::*pfnHorizontal)(),
                            void (CContainerUI::*pfnVertical)()) {
  if (m_pOwner == nullptr) {
    SetScrollValue(m_nScrollPos + iDelta, true);
  } else {
    (m_pOwner->*(m_bHorizontal ? pfnHorizontal : pfnVertical))();
  }
}

int CScrollBarUI::LineStep() const { return m_nLineSize > 0 ? m_nLineSize : 1; }

void CScrollBarUI::ScrollLineBack() {
  ScrollBy(-LineStep(), &CContainerUI::ScrollLineLeft, &CContainerUI::ScrollLineUp);
}

void CScrollBarUI::ScrollLineForward() {
  ScrollBy(LineStep(), &CContainerUI::ScrollLineRight, &CContainerUI::ScrollLineDown);
}

void CScrollBarUI::ScrollPageBack() {
  ScrollBy(-BarLength(), &CContainerUI::ScrollPageLeft, &CContainerUI::ScrollPageUp);
}

void CScrollBarUI::ScrollPageForward() {
  ScrollBy(BarLength(), &CContainerUI::ScrollPageRight, &CContainerUI::ScrollPageDown);
}

void CScrollBarUI::ScrollToDragPosition() {
  const int nTarget = m_nLastScrollPos + m_nLastScrollOffset;
  if (m_pOwner == nullptr) {
    SetScrollValue(nTarget, true);
    return;
  }
  // The owner keeps its scroll position on the other axis.
  SIZE szPos = m_pOwner->GetScrollPosition();
  if (m_bHorizontal) {
    szPos.cx = nTarget;
  } else {
    szPos.cy = nTarget;
  }
  m_pOwner->SetScrollPosition(szPos);
}

// ---- events ----

void CScrollBarUI::OnButtonDown(const InputEvent& event) {
  m_nLastScrollOffset = 0;
  m_nScrollRepeatDelay = 0;
  if (m_pHost != nullptr) m_pHost->StartTimer(this, kRepeatTimerId, kRepeatInterval);
  if (Inside(m_rcButton1, event.ptMouse)) {
    m_uButton1State |= kStatePushed;
    ScrollLineBack();
  } else if (Inside(m_rcButton2, event.ptMouse)) {
    m_uButton2State |= kStatePushed;
    ScrollLineForward();
  } else if (Inside(m_rcThumb, event.ptMouse)) {
    m_uThumbState |= kStatePushed | kStateCaptured;
    m_ptLastMouse = event.ptMouse;
    m_nLastScrollPos = m_nScrollPos;
  } else {
    ScrollPageToward(event.ptMouse);
  }
}

void CScrollBarUI::ScrollPageToward(POINT pt) {
  const LayoutAxis axis(!m_bHorizontal);
  if (axis.Of(pt) < axis.Near(m_rcThumb)) {
    ScrollPageBack();
  } else if (axis.Of(pt) > axis.Far(m_rcThumb)) {
    ScrollPageForward();
  }
}

void CScrollBarUI::OnMouseMove(const InputEvent& event) {
  if ((m_uThumbState & kStateCaptured) != 0) {
    const int S = GetThickness();
    const int nThumb =
        m_bHorizontal ? m_rcThumb.right - m_rcThumb.left : m_rcThumb.bottom - m_rcThumb.top;
    const int D = BarLength() - 2 * S - nThumb;
    if (D == 0) return;
    const int nMoved =
        m_bHorizontal ? event.ptMouse.x - m_ptLastMouse.x : event.ptMouse.y - m_ptLastMouse.y;
    m_nLastScrollOffset = static_cast<int>(static_cast<long long>(nMoved) * m_nRange / D);
    return;
  }
  const bool bWasHot = (m_uThumbState & kStateHot) != 0;
  const bool bHot = IsEnabled() && Inside(m_rcThumb, event.ptMouse);
  if (bHot != bWasHot) {
    SetStyleBit(m_uThumbState, kStateHot, bHot);
    Invalidate();
  }
}

void CScrollBarUI::OnRepeatTick() {
  ++m_nScrollRepeatDelay;
  if ((m_uThumbState & kStateCaptured) != 0) {
    ScrollToDragPosition();
    Invalidate();
    return;
  }
  if (m_nScrollRepeatDelay < kRepeatDelayTicks) return;
  if ((m_uButton1State & kStatePushed) != 0) {
    ScrollLineBack();
  } else if ((m_uButton2State & kStatePushed) != 0) {
    ScrollLineForward();
  } else if (m_pHost != nullptr) {
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_pHost->GetHostWindow(), &pt);
    ScrollPageToward(pt);
  }
}

void CScrollBarUI::OnButtonUp() {
  m_nScrollRepeatDelay = 0;
  m_nLastScrollOffset = 0;
  if (m_pHost != nullptr) m_pHost->StopTimer(this, kRepeatTimerId);
  if ((m_uThumbState & kStateCaptured) != 0) {
    m_uThumbState &= ~(kStatePushed | kStateCaptured);
  } else if ((m_uButton1State & kStatePushed) != 0) {
    m_uButton1State &= ~kStatePushed;
  } else if ((m_uButton2State & kStatePushed) != 0) {
    m_uButton2State &= ~kStatePushed;
  } else {
    return;
  }
  Invalidate();
}

void CScrollBarUI::HandleEvent(InputEvent& event) {
  const bool bMouse = IsMouseEventKind(event.iKind);
  if (!IsMouseEnabled() && bMouse) {
    PassToOwner(event);
    return;
  }
  switch (event.iKind) {
    case kEventKeyDown:
      if (m_pOwner == nullptr && IsEnabled() && ScrollByKey(event.chKey)) return;
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
      if (IsEnabled()) OnButtonDown(event);
      return;
    case kEventMouseMove:
      OnMouseMove(event);
      return;
    case kEventTimer:
      if (event.wParam == kRepeatTimerId) {
        OnRepeatTick();
        return;
      }
      break;
    case kEventButtonUp:
      OnButtonUp();
      return;
    case kEventMouseEnter:
      if (IsEnabled()) {
        m_uButton1State |= kStateHot;
        m_uButton2State |= kStateHot;
        if (Inside(m_rcThumb, event.ptMouse)) m_uThumbState |= kStateHot;
        Invalidate();
      }
      return;
    case kEventMouseLeave:
      if (IsEnabled()) {
        m_uButton1State &= ~kStateHot;
        m_uButton2State &= ~kStateHot;
        m_uThumbState &= ~kStateHot;
        Invalidate();
      }
      return;
    case kEventContextMenu:
    case kEventSetFocus:
    case kEventKillFocus:
      return;
    default:
      break;
  }
  PassToOwner(event);
}

// ---- attributes ----

void CScrollBarUI::SetButton1Color(DWORD dwColor) {
  m_Button1.dwColor = dwColor;
  Invalidate();
}
void CScrollBarUI::SetButton2Color(DWORD dwColor) {
  m_Button2.dwColor = dwColor;
  Invalidate();
}
void CScrollBarUI::SetThumbColor(DWORD dwColor) {
  m_Thumb.dwColor = dwColor;
  Invalidate();
}

void CScrollBarUI::SetPartImage(ImageDrawInfo& image, LPCWSTR pstrImage) {
  if (StoreImageAttribute(image, pstrImage)) Invalidate();
}

void CScrollBarUI::SetButton1NormalImage(LPCWSTR s) { SetPartImage(m_Button1.images.normal, s); }
void CScrollBarUI::SetButton1HotImage(LPCWSTR s) { SetPartImage(m_Button1.images.hot, s); }
void CScrollBarUI::SetButton1PushedImage(LPCWSTR s) { SetPartImage(m_Button1.images.pushed, s); }
void CScrollBarUI::SetButton1DisabledImage(LPCWSTR s) { SetPartImage(m_Button1.images.disabled, s); }
void CScrollBarUI::SetButton2NormalImage(LPCWSTR s) { SetPartImage(m_Button2.images.normal, s); }
void CScrollBarUI::SetButton2HotImage(LPCWSTR s) { SetPartImage(m_Button2.images.hot, s); }
void CScrollBarUI::SetButton2PushedImage(LPCWSTR s) { SetPartImage(m_Button2.images.pushed, s); }
void CScrollBarUI::SetButton2DisabledImage(LPCWSTR s) { SetPartImage(m_Button2.images.disabled, s); }
void CScrollBarUI::SetThumbNormalImage(LPCWSTR s) { SetPartImage(m_Thumb.images.normal, s); }
void CScrollBarUI::SetThumbHotImage(LPCWSTR s) { SetPartImage(m_Thumb.images.hot, s); }
void CScrollBarUI::SetThumbPushedImage(LPCWSTR s) { SetPartImage(m_Thumb.images.pushed, s); }
void CScrollBarUI::SetThumbDisabledImage(LPCWSTR s) { SetPartImage(m_Thumb.images.disabled, s); }
void CScrollBarUI::SetRailNormalImage(LPCWSTR s) { SetPartImage(m_Rail.images.normal, s); }
void CScrollBarUI::SetRailHotImage(LPCWSTR s) { SetPartImage(m_Rail.images.hot, s); }
void CScrollBarUI::SetRailPushedImage(LPCWSTR s) { SetPartImage(m_Rail.images.pushed, s); }
void CScrollBarUI::SetRailDisabledImage(LPCWSTR s) { SetPartImage(m_Rail.images.disabled, s); }
void CScrollBarUI::SetBkNormalImage(LPCWSTR s) { SetPartImage(m_Bk.images.normal, s); }
void CScrollBarUI::SetBkHotImage(LPCWSTR s) { SetPartImage(m_Bk.images.hot, s); }
void CScrollBarUI::SetBkPushedImage(LPCWSTR s) { SetPartImage(m_Bk.images.pushed, s); }
void CScrollBarUI::SetBkDisabledImage(LPCWSTR s) { SetPartImage(m_Bk.images.disabled, s); }

// "<part><state>image": the button1, button2, thumb, rail and bk parts in four states each.
UI_BEGIN_ATTRIBUTES(CScrollBarUI, CScrollBarBaseUI)
UI_ATTRIBUTE(L"button1normalimage", kImageValue, self.SetPartImage(self.m_Button1.images.normal, pstrValue))
UI_ATTRIBUTE(L"button1hotimage", kImageValue, self.SetPartImage(self.m_Button1.images.hot, pstrValue))
UI_ATTRIBUTE(L"button1pushedimage", kImageValue, self.SetPartImage(self.m_Button1.images.pushed, pstrValue))
UI_ATTRIBUTE(L"button1disabledimage", kImageValue, self.SetPartImage(self.m_Button1.images.disabled, pstrValue))
UI_ATTRIBUTE(L"button2normalimage", kImageValue, self.SetPartImage(self.m_Button2.images.normal, pstrValue))
UI_ATTRIBUTE(L"button2hotimage", kImageValue, self.SetPartImage(self.m_Button2.images.hot, pstrValue))
UI_ATTRIBUTE(L"button2pushedimage", kImageValue, self.SetPartImage(self.m_Button2.images.pushed, pstrValue))
UI_ATTRIBUTE(L"button2disabledimage", kImageValue, self.SetPartImage(self.m_Button2.images.disabled, pstrValue))
UI_ATTRIBUTE(L"thumbnormalimage", kImageValue, self.SetPartImage(self.m_Thumb.images.normal, pstrValue))
UI_ATTRIBUTE(L"thumbhotimage", kImageValue, self.SetPartImage(self.m_Thumb.images.hot, pstrValue))
UI_ATTRIBUTE(L"thumbpushedimage", kImageValue, self.SetPartImage(self.m_Thumb.images.pushed, pstrValue))
UI_ATTRIBUTE(L"thumbdisabledimage", kImageValue, self.SetPartImage(self.m_Thumb.images.disabled, pstrValue))
UI_ATTRIBUTE(L"railnormalimage", kImageValue, self.SetPartImage(self.m_Rail.images.normal, pstrValue))
UI_ATTRIBUTE(L"railhotimage", kImageValue, self.SetPartImage(self.m_Rail.images.hot, pstrValue))
UI_ATTRIBUTE(L"railpushedimage", kImageValue, self.SetPartImage(self.m_Rail.images.pushed, pstrValue))
UI_ATTRIBUTE(L"raildisabledimage", kImageValue, self.SetPartImage(self.m_Rail.images.disabled, pstrValue))
UI_ATTRIBUTE(L"bknormalimage", kImageValue, self.SetPartImage(self.m_Bk.images.normal, pstrValue))
UI_ATTRIBUTE(L"bkhotimage", kImageValue, self.SetPartImage(self.m_Bk.images.hot, pstrValue))
UI_ATTRIBUTE(L"bkpushedimage", kImageValue, self.SetPartImage(self.m_Bk.images.pushed, pstrValue))
UI_ATTRIBUTE(L"bkdisabledimage", kImageValue, self.SetPartImage(self.m_Bk.images.disabled, pstrValue))
UI_ATTRIBUTE(L"button1color", kColorValue, self.SetButton1Color(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"button2color", kColorValue, self.SetButton2Color(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"thumbcolor", kColorValue, self.SetThumbColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"hor", kBoolValue, self.SetHorizontal(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"linesize", kPixelValue, self.SetLineSize(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"range", kIntValue, self.SetScrollRange(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"value", kIntValue, self.SetScrollValue(ReadInt(pstrValue), true))
UI_ATTRIBUTE(L"showbutton1", kBoolValue, self.SetShowButton1(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"showbutton2", kBoolValue, self.SetShowButton2(IsTrue(pstrValue)))
UI_END_ATTRIBUTES()


// ---- painting ----

bool CScrollBarUI::DrawImageAt(HDC hDC, ImageDrawInfo& image, const RECT& rcDest) {
  if (!CSkinRenderer::RenderImage(nullptr, m_pHost, m_rcItem, m_rcPaint, image)) return false;
  image.rcDest = rcDest;
  ::OffsetRect(&image.rcDest, -m_rcItem.left, -m_rcItem.top);
  return CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, image);
}

ImageDrawInfo* CScrollBarUI::ImageForState(Part& part, bool bDisabled, UINT uState) {
  if (bDisabled) return &part.images.disabled;
  if ((uState & kStatePushed) != 0) return &part.images.pushed;
  if ((uState & kStateHot) != 0) return &part.images.hot;
  return nullptr;
}

void CScrollBarUI::PaintPartAt(HDC hDC, Part& part, ImageDrawInfo* pState, const RECT& rcPart) {
  if (pState != nullptr && DrawImageAt(hDC, *pState, rcPart)) return;
  DrawImageAt(hDC, part.images.normal, rcPart);
}

void CScrollBarUI::PaintBackgroundState(HDC hDC) {
  ImageDrawInfo* pState = ImageForState(m_Bk, !IsEnabled(), m_uThumbState);
  if (pState != nullptr && CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, *pState)) {
    return;
  }
  CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, m_Bk.images.normal);
}

void CScrollBarUI::PaintPart(HDC hDC, const RECT& rcPart, UINT& uState, Part& part) {
  SetStyleBit(uState, kStateDisabled, !IsEnabled());
  if (part.dwColor != 0) CSkinRenderer::FillColor(hDC, rcPart, AdjustColor(part.dwColor));
  PaintPartAt(hDC, part, ImageForState(part, (uState & kStateDisabled) != 0, uState), rcPart);
}

void CScrollBarUI::PaintRail(HDC hDC) {
  const int S = GetThickness();
  RECT rcRail = m_rcThumb;
  if (m_bHorizontal) {
    rcRail.left = (m_rcThumb.left + m_rcThumb.right) / 2 - S / 2;
    rcRail.right = rcRail.left + S;
  } else {
    rcRail.top = (m_rcThumb.top + m_rcThumb.bottom) / 2 - S / 2;
    rcRail.bottom = rcRail.top + S;
  }
  PaintPartAt(hDC, m_Rail, ImageForState(m_Rail, !IsEnabled(), m_uThumbState), rcRail);
}

bool CScrollBarUI::PaintSelf(HDC hDC, const RECT& /*rcPaint*/, CControlUI* /*pStopControl*/) {
  PaintBackgroundColor(hDC);
  PaintBackgroundImage(hDC);
  PaintBackgroundState(hDC);
  if (m_bShowButton1) PaintPart(hDC, m_rcButton1, m_uButton1State, m_Button1);
  if (m_bShowButton2) PaintPart(hDC, m_rcButton2, m_uButton2State, m_Button2);
  if (!::IsRectEmpty(&m_rcThumb)) {
    PaintPart(hDC, m_rcThumb, m_uThumbState, m_Thumb);
    PaintRail(hDC);
  }
  PaintBorderLayer(hDC);
  return true;
}

}  // namespace SkinUI

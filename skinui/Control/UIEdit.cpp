// Edit controls: settings handed to the native window, events that open and drive it, idle
// painting.

#include "Control/UIEdit.h"

#include <algorithm>

#include "Control/UIEditWnd.h"
#include "Control/UIStateImage.h"
#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

// The native alignment words, applied in the order left, center, right. The password bit never
// lives in the alignment word (the control keeps it apart); clearing it there changes nothing.
void ApplyNativeAlignWords(UINT& uAlign, LPCWSTR pstrValue) {
  if (Contains(pstrValue, L"left")) uAlign &= ~static_cast<UINT>(ES_CENTER | ES_RIGHT | ES_PASSWORD);
  if (Contains(pstrValue, L"center")) {
    uAlign |= ES_CENTER;
    uAlign &= ~static_cast<UINT>(ES_RIGHT);
  }
  if (Contains(pstrValue, L"right")) {
    uAlign |= ES_RIGHT;
    uAlign &= ~static_cast<UINT>(ES_CENTER | ES_PASSWORD);
  }
}

bool IsHighSurrogate(WCHAR ch) { return ch >= 0xD800 && ch <= 0xDBFF; }
bool IsLowSurrogate(WCHAR ch) { return ch >= 0xDC00 && ch <= 0xDFFF; }

}  // namespace

CEditUI::CEditUI()
    : m_pWindow(nullptr),
      m_uMaxChar(255),
      m_bReadOnly(false),
      m_bPassword(false),
      m_bAutoSelectAll(false),
      m_chPassword(L'*'),
      m_uState(0),
      m_uNativeStyles(0),
      m_uNativeAlign(0),
      m_dwNativeBkColor(kNoNativeBkColor) {
  SetTextPadding(RECT{4, 3, 4, 3});
  SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI() {
  // The native window may still hold the focus: it must not report to a control that is gone.
  if (m_pWindow != nullptr) {
    CEditWnd* pWindow = m_pWindow;
    m_pWindow = nullptr;
    pWindow->Abandon();
  }
}

LPCWSTR CEditUI::ClassName() const { return L"EditUI"; }

LPVOID CEditUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Edit") == 0) return this;
  return CLabelUI::QueryNamedInterface(pstrName);
}

bool CEditUI::IsTabReachable() const { return IsEnabled() && IsKeyboardEnabled(); }

UINT CEditUI::GetBehaviourFlags() const { return 0; }

HWND CEditUI::GetNativeHandle() const {
  return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr;
}

void CEditUI::OpenNativeWindow() {
  CEditWnd* pWindow = new CEditWnd;
  m_pWindow = pWindow;
  if (!pWindow->OpenFor(this)) {
    m_pWindow = nullptr;
    UI_CHECK(m_pWindow);
  }
}

void CEditUI::SetText(LPCWSTR pstrText) {
  CLabelUI::SetText(pstrText);
  if (m_pWindow != nullptr) ::SetWindowTextW(m_pWindow->GetHWND(), m_sText);
  Invalidate();
}

void CEditUI::TakeTextFromWindow(LPCWSTR pstrText) {
  m_sText = pstrText;
  NotifyAccessible(AccessibleEvent::kValue);
}

void CEditUI::SetMaxChar(UINT uMax) {
  m_uMaxChar = uMax;
  if (m_pWindow != nullptr) m_pWindow->Send(EM_LIMITTEXT, m_uMaxChar);
}

void CEditUI::SetReadOnly(bool bReadOnly) {
  if (m_bReadOnly == bReadOnly) return;
  m_bReadOnly = bReadOnly;
  if (m_pWindow != nullptr) m_pWindow->Send(EM_SETREADONLY, m_bReadOnly ? TRUE : FALSE);
  Invalidate();
}

void CEditUI::SetNumberOnly(bool bNumberOnly) {
  if (bNumberOnly) {
    m_uNativeStyles |= kNumberOnlyStyle;
  } else {
    m_uNativeStyles &= ~kNumberOnlyStyle;
  }
}

void CEditUI::SetPassword(bool bPassword) {
  if (m_bPassword == bPassword) return;
  m_bPassword = bPassword;
  Invalidate();
}

void CEditUI::SetPasswordChar(WCHAR ch) {
  if (m_chPassword == ch) return;
  m_chPassword = ch;
  if (m_pWindow != nullptr) m_pWindow->Send(EM_SETPASSWORDCHAR, ch);
  Invalidate();
}

void CEditUI::ReplaceImage(ImageDrawInfo& image, LPCWSTR pstrImage) {
  if (StoreImageAttribute(image, pstrImage)) Invalidate();
}

void CEditUI::SetNormalImage(LPCWSTR pstrImage) { ReplaceImage(m_images.normal, pstrImage); }
void CEditUI::SetHotImage(LPCWSTR pstrImage) { ReplaceImage(m_images.hot, pstrImage); }
void CEditUI::SetFocusedImage(LPCWSTR pstrImage) { ReplaceImage(m_images.focused, pstrImage); }
void CEditUI::SetDisabledImage(LPCWSTR pstrImage) { ReplaceImage(m_images.disabled, pstrImage); }

void CEditUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  CLabelUI::SetPosition(rc, bNeedInvalidate);
  if (m_pWindow == nullptr) return;
  const RECT rcEdit = m_pWindow->GetEditRect();
  ::SetWindowPos(m_pWindow->GetHWND(), nullptr, rcEdit.left, rcEdit.top,
                 rcEdit.right - rcEdit.left, rcEdit.bottom - rcEdit.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::MoveBy(int dx, int dy, bool bNeedInvalidate) {
  CLabelUI::MoveBy(dx, dy, bNeedInvalidate);
  if (m_pWindow == nullptr) return;
  const RECT rcEdit = m_pWindow->GetEditRect();
  ::SetWindowPos(m_pWindow->GetHWND(), nullptr, rcEdit.left, rcEdit.top, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

void CEditUI::SetVisible(bool bVisible) {
  CLabelUI::SetVisible(bVisible);
  if (!IsVisible() && m_pWindow != nullptr && m_pHost != nullptr) {
    m_pHost->SetFocusControl(nullptr, true);
  }
}

void CEditUI::SetInheritedVisible(bool bVisible) {
  CLabelUI::SetInheritedVisible(bVisible);
  if (!IsVisible() && m_pWindow != nullptr && m_pHost != nullptr) {
    m_pHost->SetFocusControl(nullptr, true);
  }
}

void CEditUI::SetEnabled(bool bEnable) {
  CLabelUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uState &= ~kStateHot;
  if (m_pWindow != nullptr) ::EnableWindow(m_pWindow->GetHWND(), IsEnabled() ? TRUE : FALSE);
}

void CEditUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CLabelUI>(*this, event)) return;
  const bool bEnabled = IsEnabled();
  switch (event.iKind) {
    case kEventSetCursor:
      if (!bEnabled) break;
      SetStandardCursor(kCursorIBeam);
      return;
    case kEventWindowSize:
      if (m_pWindow == nullptr) break;
      if (m_pHost != nullptr) m_pHost->RequestInitialFocus(this);
      return;
    case kEventScrollWheel:
      if (m_pWindow != nullptr) return;
      break;
    case kEventSetFocus:
      if (!bEnabled) break;
      if (m_pWindow != nullptr) return;
      OpenNativeWindow();
      Invalidate();
      break;
    case kEventKillFocus:
      if (!bEnabled) break;
      Invalidate();
      break;
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventContextMenu:
      return;
    case kEventMouseEnter:
    case kEventMouseLeave:
      if (!bEnabled) break;
      if (event.iKind == kEventMouseEnter) {
        m_uState |= kStateHot;
      } else {
        m_uState &= ~kStateHot;
      }
      Invalidate();
      return;
    case kEventButtonDown:
    case kEventRightButtonDown:
    case kEventDoubleClick: {
      if (!bEnabled) break;
      if (m_pHost != nullptr) m_pHost->ReleaseMouse();
      if (IsFocused() && m_pWindow == nullptr) {
        OpenNativeWindow();
        return;
      }
      if (m_pWindow != nullptr && !m_bAutoSelectAll) {
        m_pWindow->Send(EM_SETSEL, 0, 0);
        const int x = event.ptMouse.x - m_rcItem.left - m_rcTextPadding.left;
        const int y = event.ptMouse.y - m_rcItem.top - m_rcTextPadding.top;
        m_pWindow->Send(WM_LBUTTONDOWN, event.wParam, MAKELPARAM(x, y));
      }
      return;
    }
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

UI_BEGIN_ATTRIBUTES(CEditUI, CLabelUI)
UI_ATTRIBUTE(L"readonly", kBoolValue, self.SetReadOnly(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"numberonly", kBoolValue, self.SetNumberOnly(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"password", kBoolValue, self.SetPassword(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"autoselall", kBoolValue, self.SetAutoSelectAll(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"maxchar", kIntValue, self.SetMaxChar(static_cast<UINT>(ReadInt(pstrValue))))
UI_ATTRIBUTE(L"normalimage", kImageValue, self.SetNormalImage(pstrValue))
UI_ATTRIBUTE(L"hotimage", kImageValue, self.SetHotImage(pstrValue))
UI_ATTRIBUTE(L"focusedimage", kImageValue, self.SetFocusedImage(pstrValue))
UI_ATTRIBUTE(L"disabledimage", kImageValue, self.SetDisabledImage(pstrValue))
UI_ATTRIBUTE(L"nativebkcolor", kColorValue, self.SetNativeBkColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"hotalign", kTextValue, ApplyNativeAlignWords(self.m_uNativeAlign, pstrValue))
UI_END_ATTRIBUTES()

SIZE CEditUI::MeasureSize(SIZE szAvailable) {
  if (m_cxyFixed.cy != 0) return CControlUI::MeasureSize(szAvailable);
  return SIZE{m_cxyFixed.cx, FontHeight() + 6};
}

void CEditUI::PaintStateImages(HDC hDC) {
  SetStyleBit(m_uState, kStateFocused, IsFocused());
  SetStyleBit(m_uState, kStateDisabled, !IsEnabled());
  if (InHighContrast()) {
    // The state images are the field's box behind the text: in high contrast the box is the
    // window's colour (the background layer) inside an edge of the text colour.
    if (m_rcBorderSize.left <= 0) {
      CSkinRenderer::StrokeRect(hDC, m_rcItem, std::max(1, m_pHost->ScalePixels(1)),
                                CWindowHostUI::SystemColor(COLOR_WINDOWTEXT));
    }
    return;
  }
  PaintStateImage(hDC, m_pHost, m_rcItem, m_rcPaint,
                  {{(m_uState & kStateDisabled) != 0, &m_images.disabled},
                   {(m_uState & kStateFocused) != 0, &m_images.focused},
                   {(m_uState & kStateHot) != 0, &m_images.hot}},
                  m_images.normal);
}

CUIString CEditUI::GetDisplayText() const {
  if (!m_bPassword) return m_sText;
  CUIString sMasked;
  const int nLength = m_sText.GetLength();
  LPCWSTR pstr = m_sText.GetData();
  for (int i = 0; i < nLength; ++i) {
    if (IsHighSurrogate(pstr[i]) && i + 1 < nLength && IsLowSurrogate(pstr[i + 1])) ++i;
    sMasked += m_chPassword;
  }
  return sMasked;
}

void CEditUI::PaintTextLayer(HDC hDC) {
  ApplyDefaultTextColors();
  if (m_sText.IsEmpty()) return;
  const CUIString sText = GetDisplayText();
  DWORD dwColor = AdjustColor(IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor);
  if (InHighContrast()) {
    dwColor = CWindowHostUI::SystemColor(IsEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
  }
  CSkinRenderer::RenderText(hDC, m_pHost, TextRect(), sText, dwColor, m_iFont,
                            m_uTextStyle | kTextSingleLine);
}

}  // namespace SkinUI

// Text controls: measuring, painting with links, and the links' pointer handling.

#include "Control/UIText.h"

#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// The next paint finds the link under the mouse among these rectangles: entries past the links
// laid out must not be taken for links.
void ForgetLinksFrom(RECT* prcLinks, int iFirst) {
  for (int i = iFirst; i < CTextUI::kMaxLinks; ++i) prcLinks[i] = RECT{0, 0, 0, 0};
}

}  // namespace

CTextUI::CTextUI() : m_nLinks(0), m_rcLinks{}, m_nHoverLink(-1) {
  m_uTextStyle = kTextWordBreak;
  m_rcTextPadding = CUIRect(2, 0, 2, 0);
}

LPCWSTR CTextUI::ClassName() const { return L"TextUI"; }

LPVOID CTextUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Text") == 0) return this;
  return CLabelUI::QueryNamedInterface(pstrName);
}

UINT CTextUI::GetBehaviourFlags() const {
  if (m_nLinks == 0) return kBehaviourPassive;
  return IsEnabled() ? kBehaviourSetCursor : 0u;
}

bool CTextUI::IsTabReachable() const { return IsEnabled() && IsKeyboardEnabled() && m_nLinks > 0; }

bool CTextUI::Activate() {
  if (!CLabelUI::Activate() || m_nLinks == 0 || m_pHost == nullptr) return false;
  m_pHost->RaiseNotification(this, kNotifyLink, 0);
  return true;
}

RECT CTextUI::GetLinkRect(int iIndex) const {
  if (iIndex < 0 || iIndex >= m_nLinks) return RECT{0, 0, 0, 0};
  return m_rcLinks[iIndex];
}

CUIString CTextUI::GetLinkText(int iIndex) const {
  if (iIndex < 0 || iIndex >= m_nLinks) return CUIString();
  return m_sLinks[iIndex];
}

int CTextUI::LinkAt(POINT pt) const {
  for (int i = 0; i < m_nLinks; ++i) {
    if (::PtInRect(&m_rcLinks[i], pt)) return i;
  }
  return -1;
}

void CTextUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CLabelUI>(*this, event)) return;
  const int iLink = LinkAt(event.ptMouse);
  switch (event.iKind) {
    case kEventKeyDown:
      if (!IsEnabled() || m_nLinks == 0) break;
      if (event.chKey == VK_RETURN || event.chKey == VK_SPACE) {
        Activate();
        return;
      }
      break;
    case kEventSetCursor:
      if (iLink >= 0) {
        SetStandardCursor(kCursorHand);
        return;
      }
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
      if (iLink >= 0 && (event.iKind == kEventButtonDown || IsEnabled())) {
        Invalidate();
        return;
      }
      break;
    case kEventButtonUp:
      if (iLink >= 0 && IsEnabled()) {
        if (m_pHost != nullptr) {
          m_pHost->RaiseNotification(this, kNotifyLink, static_cast<WPARAM>(iLink));
        }
        return;
      }
      break;
    case kEventContextMenu:
      return;
    case kEventMouseMove:
      if (m_nLinks > 0 && IsEnabled()) {
        if (iLink != m_nHoverLink) {
          m_nHoverLink = iLink;
          Invalidate();
        }
        return;
      }
      break;
    case kEventMouseLeave:
      if (m_nLinks > 0 && IsEnabled() && m_nHoverLink != -1) {
        m_nHoverLink = -1;
        Invalidate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

SIZE CTextUI::MeasureSize(SIZE szAvailable) {
  AutoCalcFixedSize(RECT{m_rcTextPadding.left, 0,
                         (m_bAutoCalcWidth ? 9999 : m_cxyFixed.cx) - m_rcTextPadding.right,
                         m_bAutoCalcHeight ? 9999 : m_cxyFixed.cy});
  return LabelSize(szAvailable);
}

void CTextUI::PaintTextLayer(HDC hDC) {
  if (m_sText.IsEmpty()) {
    m_nLinks = 0;
    ForgetLinksFrom(m_rcLinks, 0);
    return;
  }
  ApplyDefaultTextColors();
  const DWORD dwColor = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  RECT rc = TextRect();
  if (m_bShowHtml) {
    m_nLinks = kMaxLinks;
    CSkinRenderer::RenderMarkupText(hDC, m_pHost, rc, m_sText, dwColor, m_rcLinks, m_sLinks,
                                    m_nLinks, m_uTextStyle);
    ForgetLinksFrom(m_rcLinks, m_nLinks);
  } else {
    m_nLinks = 0;
    ForgetLinksFrom(m_rcLinks, 0);
    CSkinRenderer::RenderText(hDC, m_pHost, rc, m_sText, dwColor, m_iFont, m_uTextStyle);
  }
}

}  // namespace SkinUI

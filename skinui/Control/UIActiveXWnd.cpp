// The child window of a windowed ActiveX object.

#include "Control/UIActiveXWnd.h"

#include "Control/UIActiveX.h"
#include "Control/UIActiveXSite.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"

namespace SkinUI {

namespace {

const UINT kLayeredTickMs = 50;
// The drawn caret changes state every this many ticks.
const int kCaretTicks = 10;
const DWORD kCaretColor = 0xFF000000;

}  // namespace

CActiveXWnd::CActiveXWnd(CActiveXCtrl* pOwner)
    : m_pOwner(pOwner), m_iLayeredTick(0), m_bDrawCaret(false) {}

HWND CActiveXWnd::Init(HWND hWndParent) {
  return Create(hWndParent, L"UIActiveX",
                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, 0);
}

LPCWSTR CActiveXWnd::WindowClassName() const { return L"ActiveXWnd"; }

bool CActiveXWnd::IsLayeredHost() const {
  return m_pOwner->m_pOwner != nullptr && m_pOwner->m_pOwner->GetHost() != nullptr &&
         m_pOwner->m_pOwner->GetHost()->IsLayered();
}

void CActiveXWnd::DoVerb(LONG iVerb) {
  CActiveXUI* pControl = m_pOwner->m_pOwner;
  if (pControl == nullptr || pControl->m_pUnk == nullptr) return;
  IOleClientSite* pClientSite = nullptr;
  m_pOwner->QueryInterface(IID_IOleClientSite, reinterpret_cast<LPVOID*>(&pClientSite));
  RECT rcItem = pControl->GetPosition();
  pControl->m_pUnk->DoVerb(iVerb, nullptr, pClientSite, 0, m_hWnd, &rcItem);
  if (pClientSite != nullptr) pClientSite->Release();
}

LRESULT CActiveXWnd::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CActiveXUI* pControl = m_pOwner->m_pOwner;
  CWindowHostUI* pHost = pControl != nullptr ? pControl->GetHost() : nullptr;
  switch (uMsg) {
    case WM_CREATE:
      if (pHost != nullptr) {
        pHost->TrackNativeWindow(pControl, m_hWnd);
        if (pHost->IsLayered()) ::SetTimer(m_hWnd, kLayeredTimerId, kLayeredTickMs, nullptr);
      }
      return 0;
    case WM_TIMER:
      if (wParam == kLayeredTimerId && IsLayeredHost()) {
        pHost->TrackNativeWindow(pControl, m_hWnd);
        if (++m_iLayeredTick >= kCaretTicks) {
          m_iLayeredTick = 0;
          m_bDrawCaret = !m_bDrawCaret;
        }
        return 0;
      }
      break;
    case WM_PRINT:
      OnPrint(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(m_hWnd, &ps);
      ::EndPaint(m_hWnd, &ps);
      return 1;
    }
    case WM_ERASEBKGND:
      if (m_pOwner->m_pViewObject != nullptr) return 1;
      break;
    case WM_SETFOCUS:
      m_pOwner->m_bFocused = true;
      if (!m_pOwner->m_bUIActivated) DoVerb(OLEIVERB_UIACTIVATE);
      break;
    case WM_KILLFOCUS:
      m_pOwner->m_bFocused = false;
      break;
    case WM_MOUSEACTIVATE: {
      DWORD dwMiscStatus = 0;
      if (pControl != nullptr && pControl->m_pUnk != nullptr) {
        pControl->m_pUnk->GetMiscStatus(DVASPECT_CONTENT, &dwMiscStatus);
      }
      if ((dwMiscStatus & OLEMISC_NOUIACTIVATE) != 0) return 0;
      if (!m_pOwner->m_bInPlaceActive) DoVerb(OLEIVERB_INPLACEACTIVATE);
      break;
    }
    case WM_MOUSEWHEEL:
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CActiveXWnd::OnPrint(HDC hDC) {
  RECT rcClient = {};
  ::GetClientRect(m_hWnd, &rcClient);
  if (m_pOwner->m_pViewObject != nullptr) m_pOwner->DrawContent(hDC, rcClient);
  if (m_bDrawCaret) DrawCaret(hDC);
}

void CActiveXWnd::DrawCaret(HDC hDC) {
  CActiveXUI* pControl = m_pOwner->m_pOwner;
  if (pControl == nullptr || pControl->GetHost() == nullptr) return;
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr) return;
  POINT ptCaret = {info.rcCaret.left, info.rcCaret.top};
  ::ClientToScreen(info.hwndCaret, &ptCaret);
  ::ScreenToClient(pControl->GetHost()->GetHostWindow(), &ptCaret);
  const RECT& rcItem = pControl->GetPosition();
  if (!::PtInRect(&rcItem, ptCaret)) return;
  const RECT rcLine = {info.rcCaret.left, info.rcCaret.top, info.rcCaret.left,
                       info.rcCaret.bottom};
  CSkinRenderer::StrokeLine(hDC, rcLine, 1, kCaretColor);
}

void CActiveXWnd::OnWindowGone(HWND hWnd) {
  CActiveXUI* pControl = m_pOwner->m_pOwner;
  if (pControl != nullptr && pControl->GetHost() != nullptr) {
    pControl->GetHost()->UntrackNativeWindow(hWnd);
  }
}

}  // namespace SkinUI

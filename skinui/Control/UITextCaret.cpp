#include "Control/UITextCaret.h"

namespace SkinUI {

bool CTextCaret::Create(HWND hWnd, HBITMAP hBitmap, int cx, int cy) {
  m_szOld = m_sz;
  m_sz.cx = cx > 0 ? cx : ::GetSystemMetrics(SM_CXBORDER);
  m_sz.cy = cy > 0 ? cy : ::GetSystemMetrics(SM_CYBORDER);
  m_bCreated = hWnd != nullptr && ::CreateCaret(hWnd, hBitmap, cx, cy);
  m_bNativeShown = false;
  return m_bCreated;
}

void CTextCaret::Show(HWND hWnd, bool bShow, const RECT& rcVisible) {
  m_bWanted = bShow;
  Apply(hWnd, rcVisible);
}

bool CTextCaret::MoveTo(HWND hWnd, POINT pt, const RECT& rcVisible) {
  m_pt = pt;
  const bool bMoved = m_bCreated && ::SetCaretPos(pt.x, pt.y);
  Apply(hWnd, rcVisible);
  return bMoved;
}

void CTextCaret::Follow(HWND hWnd, const RECT& rcVisible) { Apply(hWnd, rcVisible); }

void CTextCaret::Destroy(HWND hWnd) {
  // The caret belongs to the thread: another window may have taken it since.
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (m_bCreated && hWnd != nullptr && ::GetGUIThreadInfo(::GetCurrentThreadId(), &info) &&
      info.hwndCaret == hWnd) {
    ::DestroyCaret();
  }
  m_bCreated = false;
  m_bNativeShown = false;
}

// The platform counts shows and hides; only changes are passed on, so the count stays at one.
void CTextCaret::Apply(HWND hWnd, const RECT& rcVisible) {
  if (hWnd == nullptr || !m_bCreated) return;
  const bool bShow = m_bWanted && ::PtInRect(&rcVisible, m_pt);
  if (bShow == m_bNativeShown) return;
  m_bNativeShown = bShow;
  if (bShow) {
    ::ShowCaret(hWnd);
  } else {
    ::HideCaret(hWnd);
  }
}

}  // namespace SkinUI

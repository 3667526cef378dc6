// Control timers: each runs on a native timer of the host window and reaches its control as a
// timer event carrying the key the control chose.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

bool CWindowHostUI::StartTimer(CControlUI* pControl, UINT nTimerKey, UINT uElapse) {
  UI_CHECK(pControl!=0);
  UI_CHECK(uElapse>0);
  if (pControl == nullptr || m_hWndPaint == nullptr) return false;
  return m_timers.Start(m_hWndPaint, pControl, nTimerKey, uElapse);
}

bool CWindowHostUI::StopTimer(CControlUI* pControl, UINT nTimerKey) {
  UI_CHECK(pControl!=0);
  return m_timers.Stop(m_hWndPaint, pControl, nTimerKey);
}

void CWindowHostUI::StopAllTimers(CControlUI* pControl) {
  UI_CHECK(pControl!=0);
  m_timers.StopAll(m_hWndPaint, pControl);
}

void CWindowHostUI::StopEveryTimer() { m_timers.StopEvery(); }

void CWindowHostUI::HandleControlTimer(WPARAM wParam, LPARAM lParam) {
  CControlUI* pControl = nullptr;
  UINT nKey = 0;
  if (m_timers.FindRunning(m_hWndPaint, wParam, &pControl, &nKey)) {
    SendInput(pControl, kEventTimer, m_input.ptLastMouse, nKey, lParam, CHostInput::CurrentKeyState());
  }
}

}  // namespace SkinUI

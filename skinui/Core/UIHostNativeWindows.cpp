#include "Core/UIHostNativeWindows.h"

namespace SkinUI {

bool CNativeWindowList::Track(CControlUI* pControl, HWND hWnd) {
  if (m_aWindows.Find(hWnd) >= 0) return false;
  if (!m_aWindows.Add(hWnd)) return false;
  if (!m_aControls.Add(pControl)) {
    m_aWindows.Remove(m_aWindows.GetSize() - 1);
    return false;
  }
  return true;
}

bool CNativeWindowList::Untrack(HWND hWnd) {
  const int iIndex = m_aWindows.Find(hWnd);
  if (iIndex < 0) return false;
  RemoveAt(iIndex);
  return true;
}

void CNativeWindowList::Forget(CControlUI* pControl) {
  for (int i = m_aControls.GetSize() - 1; i >= 0; --i) {
    if (m_aControls[i] == pControl) RemoveAt(i);
  }
}

void CNativeWindowList::Clear() {
  m_aWindows.Empty();
  m_aControls.Empty();
}

void CNativeWindowList::DropDestroyed() {
  for (int i = m_aWindows.GetSize() - 1; i >= 0; --i) {
    if (!::IsWindow(m_aWindows[i])) RemoveAt(i);
  }
}

void CNativeWindowList::RemoveAt(int iIndex) {
  m_aWindows.Remove(iIndex);
  m_aControls.Remove(iIndex);
}

}  // namespace SkinUI

#pragma once
// The native child windows that controls of one host own, each listed with its control: the
// host hands the focus to the control when its window takes it, and a layered host prints the
// windows into its picture.

#include <windows.h>

#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CControlUI;

class CNativeWindowList {
 public:
  // False when the window is listed already or cannot be listed.
  bool Track(CControlUI* pControl, HWND hWnd);
  bool Untrack(HWND hWnd);
  // Every window of pControl goes.
  void Forget(CControlUI* pControl);
  void Clear();
  // The index of hWnd, or -1.
  int IndexOf(HWND hWnd) const { return m_aWindows.Find(hWnd); }
  // Drops the windows destroyed behind the host's back.
  void DropDestroyed();
  int GetSize() const { return m_aWindows.GetSize(); }
  HWND WindowAt(int iIndex) const { return m_aWindows[iIndex]; }
  CControlUI* ControlAt(int iIndex) const { return m_aControls[iIndex]; }

 private:
  void RemoveAt(int iIndex);

  // Parallel lists: a window and its control share an index.
  CTypedPtrArrayUI<HWND__> m_aWindows;
  CTypedPtrArrayUI<CControlUI> m_aControls;
};

}  // namespace SkinUI

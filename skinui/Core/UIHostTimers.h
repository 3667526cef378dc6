#pragma once
// The control timers of one window host: one native window timer per running control timer,
// found again by the control and the key the control chose for it.

#include <windows.h>

#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CControlUI;

class CHostTimers {
 public:
  CHostTimers();
  ~CHostTimers();
  CHostTimers(const CHostTimers&) = delete;
  CHostTimers& operator=(const CHostTimers&) = delete;

  // A stopped timer of the same control and key starts again with its native id; a running one
  // is refused.
  bool Start(HWND hWnd, CControlUI* pControl, UINT nKey, UINT uElapse);
  // The timer stays listed, stopped, so that it keeps its native id for a later start.
  bool Stop(HWND hWnd, CControlUI* pControl, UINT nKey);
  void StopAll(HWND hWnd, CControlUI* pControl);
  void StopEvery();
  // The control and key of the running timer whose native id on hWnd is uNativeId.
  bool FindRunning(HWND hWnd, UINT_PTR uNativeId, CControlUI** ppControl, UINT* pKey) const;

 private:
  struct Record;
  // The next native id after the last one handed out that no timer of hWnd holds; false when
  // all 255 are held.
  bool NextFreeId(HWND hWnd, UINT* pId) const;

  COwnedPtrArrayUI<Record> m_aRecords;
  UINT m_uLastId = 0x1000;
};

}  // namespace SkinUI

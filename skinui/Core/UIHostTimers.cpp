#include "Core/UIHostTimers.h"

namespace SkinUI {

namespace {

// Native ids cycle through 0..254.
const UINT kNativeIdCount = 255;

}  // namespace

struct CHostTimers::Record {
  CControlUI* pSender;
  UINT nKey;
  HWND hWnd;
  UINT uNativeId;
  bool bStopped;

  void Kill() const {
    if (!bStopped && ::IsWindow(hWnd)) ::KillTimer(hWnd, uNativeId);
  }
};

// Out of line, where the records are complete types.
CHostTimers::CHostTimers() = default;

CHostTimers::~CHostTimers() { StopEvery(); }

bool CHostTimers::Start(HWND hWnd, CControlUI* pControl, UINT nKey, UINT uElapse) {
  for (int i = 0; i < m_aRecords.GetSize(); ++i) {
    Record* pTimer = m_aRecords[i];
    if (pTimer->pSender != pControl || pTimer->hWnd != hWnd || pTimer->nKey != nKey) continue;
    if (!pTimer->bStopped) return false;
    if (::SetTimer(hWnd, pTimer->uNativeId, uElapse, nullptr) == 0) return false;
    pTimer->bStopped = false;
    return true;
  }
  UINT uId = 0;
  if (!NextFreeId(hWnd, &uId)) return false;
  // Id 0 is a valid window timer, but then SetTimer's success and failure look alike.
  ::SetLastError(ERROR_SUCCESS);
  const UINT_PTR uResult = ::SetTimer(hWnd, uId, uElapse, nullptr);
  if (uResult == 0 && (uId != 0 || ::GetLastError() != ERROR_SUCCESS)) return false;
  m_uLastId = uId;
  Record* pTimer = new Record{pControl, nKey, hWnd, uId, false};
  if (!m_aRecords.Add(pTimer)) {
    ::KillTimer(hWnd, uId);
    delete pTimer;
    return false;
  }
  return true;
}

bool CHostTimers::NextFreeId(HWND hWnd, UINT* pId) const {
  // An id still held by a timer of this window is skipped, since starting it again would
  // silently take the native timer from its first owner.
  UINT uId = m_uLastId;
  for (UINT uTry = 0; uTry < kNativeIdCount; ++uTry) {
    uId = (uId + 1) % kNativeIdCount;
    bool bFree = true;
    for (int i = 0; i < m_aRecords.GetSize() && bFree; ++i) {
      bFree = !(m_aRecords[i]->hWnd == hWnd && m_aRecords[i]->uNativeId == uId);
    }
    if (bFree) {
      *pId = uId;
      return true;
    }
  }
  return false;
}

bool CHostTimers::Stop(HWND hWnd, CControlUI* pControl, UINT nKey) {
  for (int i = 0; i < m_aRecords.GetSize(); ++i) {
    Record* pTimer = m_aRecords[i];
    if (pTimer->pSender == pControl && pTimer->hWnd == hWnd && pTimer->nKey == nKey &&
        !pTimer->bStopped) {
      pTimer->Kill();
      pTimer->bStopped = true;
      return true;
    }
  }
  return false;
}

void CHostTimers::StopAll(HWND hWnd, CControlUI* pControl) {
  for (int i = m_aRecords.GetSize() - 1; i >= 0; --i) {
    const Record* pTimer = m_aRecords[i];
    if (pTimer->pSender != pControl || pTimer->hWnd != hWnd) continue;
    pTimer->Kill();
    m_aRecords.DeleteAt(i);
  }
}

void CHostTimers::StopEvery() {
  for (int i = 0; i < m_aRecords.GetSize(); ++i) m_aRecords[i]->Kill();
  m_aRecords.DeleteAll();
}

bool CHostTimers::FindRunning(HWND hWnd, UINT_PTR uNativeId, CControlUI** ppControl,
                              UINT* pKey) const {
  for (int i = 0; i < m_aRecords.GetSize(); ++i) {
    const Record* pTimer = m_aRecords[i];
    if (pTimer->hWnd == hWnd && pTimer->uNativeId == uNativeId && !pTimer->bStopped) {
      *ppControl = pTimer->pSender;
      *pKey = pTimer->nKey;
      return true;
    }
  }
  return false;
}

}  // namespace SkinUI

#include "Core/UIBase.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

const NotifyMapEntry kRootEntries[] = {
    {L"", L"", kNotifySignatureEnd, {}},
};

const NotifyMessageMap* NoBaseMap() { return nullptr; }

// Within one table an entry for the sender's name wins at once; otherwise the last entry for
// any sender of the type is the answer.
const NotifyMapEntry* FindInTable(const NotifyMapEntry* pEntry, LPCWSTR pstrType,
                                  LPCWSTR pstrSenderName) {
  const NotifyMapEntry* pFallback = nullptr;
  for (; pEntry->nSignature != kNotifySignatureEnd; ++pEntry) {
    if (pEntry->sType != pstrType) continue;
    if (pEntry->sControlName.IsEmpty()) {
      pFallback = pEntry;
    } else if (pEntry->sControlName == pstrSenderName) {
      return pEntry;
    }
  }
  return pFallback;
}

}  // namespace

CNotifyPump::CNotifyPump() : m_VirtualWndMap(83) {}

CNotifyPump::~CNotifyPump() = default;

const NotifyMessageMap* CNotifyPump::GetThisNotifyMap() {
  static const NotifyMessageMap map = {NoBaseMap, kRootEntries};
  return &map;
}

const NotifyMessageMap* CNotifyPump::GetNotifyMap() const { return GetThisNotifyMap(); }

const NotifyMapEntry* CNotifyPump::FindNotifyEntry(const NotifyMessageMap* pMessageMap,
                                                   LPCWSTR pstrType, LPCWSTR pstrSenderName) {
  if (pstrType == nullptr) pstrType = L"";
  if (pstrSenderName == nullptr) pstrSenderName = L"";
  while (pMessageMap != nullptr) {
    const NotifyMessageMap* pBase = nullptr;
    if (pMessageMap->pfnGetBaseMap != nullptr) {
      UI_CHECK(pMessageMap != (*pMessageMap->pfnGetBaseMap)());
      pBase = (*pMessageMap->pfnGetBaseMap)();
    }
    const NotifyMapEntry* pEntry = FindInTable(pMessageMap->pEntries, pstrType, pstrSenderName);
    if (pEntry != nullptr) return pEntry;
    // A table chained to itself would never end the walk.
    if (pBase == pMessageMap) break;
    pMessageMap = pBase;
  }
  return nullptr;
}

bool CNotifyPump::HasDuplicateEntries(const NotifyMessageMap* pMap) {
  for (int nTables = 0; pMap != nullptr && nTables < 64; ++nTables) {
    for (const NotifyMapEntry* p = pMap->pEntries; p->nSignature != kNotifySignatureEnd; ++p) {
      for (const NotifyMapEntry* q = p + 1; q->nSignature != kNotifySignatureEnd; ++q) {
        if (p->sType == q->sType && p->sControlName == q->sControlName) return true;
      }
    }
    pMap = pMap->pfnGetBaseMap != nullptr ? (*pMap->pfnGetBaseMap)() : nullptr;
  }
  return false;
}

bool CNotifyPump::DispatchThroughMaps(NotifyEvent& event) {
  const CUIString sSenderName =
      event.pSender != nullptr ? GetNotifySenderName(event.pSender) : CUIString();
  const NotifyMapEntry* pEntry = FindNotifyEntry(GetNotifyMap(), event.sType, sSenderName);
  if (pEntry == nullptr) return false;
  switch (pEntry->nSignature) {
    case kNotifySignatureParams:
      (this->*pEntry->handler.pfnParams)(event.wParam, event.lParam);
      return true;
    case kNotifySignatureEvent:
      (this->*pEntry->handler.pfnEvent)(event);
      return true;
    default:
      UI_CHECK(0);
      return false;
  }
}

void CNotifyPump::PumpNotify(NotifyEvent& event) {
  if (!event.sVirtualWnd.IsEmpty()) {
    for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
      LPCWSTR pstrKey = m_VirtualWndMap.GetAt(i);
      if (pstrKey == nullptr || event.sVirtualWnd.CompareNoCase(pstrKey) != 0) continue;
      CNotifyPump* pPump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(pstrKey, false));
      if (pPump != nullptr && pPump->DispatchThroughMaps(event)) return;
    }
  }
  DispatchThroughMaps(event);
}

bool CNotifyPump::AddVirtualWnd(LPCWSTR pstrName, CNotifyPump* pPump) {
  if (pstrName == nullptr || *pstrName == L'\0' || pPump == nullptr) return false;
  return m_VirtualWndMap.Insert(pstrName, pPump);
}

bool CNotifyPump::RemoveVirtualWnd(LPCWSTR pstrName) {
  if (pstrName == nullptr) return false;
  return m_VirtualWndMap.Remove(pstrName);
}

}  // namespace SkinUI

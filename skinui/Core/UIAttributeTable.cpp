#include "Core/UIAttributeTable.h"

#include <cwchar>

namespace SkinUI {

namespace {
AttributeObserverProc g_pfnObserver = nullptr;
}  // namespace

const AttributeEntry* FindOwnAttributeEntry(const AttributeTable* pTable, LPCWSTR pstrName) {
  if (pTable == nullptr || pstrName == nullptr) return nullptr;
  for (int i = 0; i < pTable->nEntries; ++i) {
    if (std::wcscmp(pTable->pEntries[i].pstrName, pstrName) == 0) return &pTable->pEntries[i];
  }
  return nullptr;
}

const AttributeEntry* FindAttributeEntry(const AttributeTable* pTable, LPCWSTR pstrName) {
  for (; pTable != nullptr; pTable = pTable->pfnGetBase != nullptr ? pTable->pfnGetBase() : nullptr) {
    if (const AttributeEntry* pEntry = FindOwnAttributeEntry(pTable, pstrName)) return pEntry;
  }
  return nullptr;
}

void RunAttributeEntry(const AttributeEntry& entry, CControlUI& control, LPCWSTR pstrValue) {
  if (g_pfnObserver != nullptr) g_pfnObserver(&entry);
  entry.pfnApply(control, pstrValue);
}

bool ApplyTableAttribute(const AttributeTable* pTable, CControlUI& control, LPCWSTR pstrName,
                         LPCWSTR pstrValue) {
  const AttributeEntry* pEntry = FindAttributeEntry(pTable, pstrName);
  if (pEntry == nullptr) return false;
  RunAttributeEntry(*pEntry, control, pstrValue);
  return true;
}

void SetAttributeObserver(AttributeObserverProc pfnObserver) { g_pfnObserver = pfnObserver; }

}  // namespace SkinUI

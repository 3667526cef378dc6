#include "Core/UIControlFactory.h"

#include <cwchar>

#include "Core/UIContainer.h"
#include "Core/UIControl.h"

namespace SkinUI {

namespace {

struct FactoryEntry {
  LPCWSTR pstrName;  // the registrant's string, which lives as long as the program
  size_t cchName;
  bool bExactCase;
  CControlFactory::MakeProc pfnMake;
};

// A plain array: no constructor runs before main, so registering from anywhere is safe.
constexpr int kMaxEntries = 64;
FactoryEntry g_entries[kMaxEntries];
int g_nEntries = 0;

// Core's own two elements need no registration.
const FactoryEntry kCoreEntries[] = {
    {L"Control", 7, false, &MakeControl<CControlUI>},
    {L"Container", 9, false, &MakeControl<CContainerUI>},
};

bool Matches(const FactoryEntry& entry, LPCWSTR pstrName, size_t cchName) {
  // Lengths first: most names are ruled out without a comparison.
  if (entry.cchName != cchName) return false;
  return entry.bExactCase ? std::wcscmp(entry.pstrName, pstrName) == 0
                          : ::lstrcmpiW(entry.pstrName, pstrName) == 0;
}

const FactoryEntry* Find(LPCWSTR pstrName) {
  if (pstrName == nullptr) return nullptr;
  const size_t cchName = std::wcslen(pstrName);
  for (int i = 0; i < g_nEntries; ++i) {
    if (Matches(g_entries[i], pstrName, cchName)) return &g_entries[i];
  }
  for (const FactoryEntry& entry : kCoreEntries) {
    if (Matches(entry, pstrName, cchName)) return &entry;
  }
  return nullptr;
}

}  // namespace

bool CControlFactory::Register(LPCWSTR pstrName, MakeProc pfnMake, bool bExactCase) {
  if (pstrName == nullptr || pfnMake == nullptr) return false;
  const size_t cchName = std::wcslen(pstrName);
  for (int i = 0; i < g_nEntries; ++i) {
    FactoryEntry& entry = g_entries[i];
    if (entry.cchName == cchName && std::wcscmp(entry.pstrName, pstrName) == 0) {
      entry.bExactCase = bExactCase;
      entry.pfnMake = pfnMake;
      return true;
    }
  }
  if (g_nEntries == kMaxEntries) return false;
  g_entries[g_nEntries++] = FactoryEntry{pstrName, cchName, bExactCase, pfnMake};
  return true;
}

CControlUI* CControlFactory::Create(LPCWSTR pstrName) {
  const FactoryEntry* pEntry = Find(pstrName);
  return pEntry != nullptr ? pEntry->pfnMake() : nullptr;
}

bool CControlFactory::IsRegistered(LPCWSTR pstrName) { return Find(pstrName) != nullptr; }

int CControlFactory::GetCount() {
  return g_nEntries + static_cast<int>(sizeof(kCoreEntries) / sizeof(kCoreEntries[0]));
}

LPCWSTR CControlFactory::GetNameAt(int iIndex) {
  if (iIndex < 0 || iIndex >= GetCount()) return nullptr;
  return iIndex < g_nEntries ? g_entries[iIndex].pstrName : kCoreEntries[iIndex - g_nEntries].pstrName;
}

}  // namespace SkinUI

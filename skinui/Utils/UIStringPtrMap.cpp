#include "Utils/UIStringPtrMap.h"

#include <cstdlib>
#include <cwchar>
#include <new>

namespace SkinUI {

namespace {
const int kMinimumBuckets = 16;
}

UINT CStringPtrMapUI::HashKey(LPCWSTR key) {
  if (key == nullptr) return 0;
  // Taken from the last character to the first.
  UINT h = 0;
  for (size_t i = std::wcslen(key); i > 0; --i) h = h * 33 + key[i - 1];
  return h;
}

CStringPtrMapUI::CStringPtrMapUI(int nSize) : m_aT(nullptr), m_nBuckets(0), m_nCount(0) {
  Resize(nSize < kMinimumBuckets ? kMinimumBuckets : nSize);
}

CStringPtrMapUI::~CStringPtrMapUI() {
  FreeItems();
  delete[] m_aT;
}

void CStringPtrMapUI::FreeItems() {
  for (UINT i = 0; i < m_nBuckets; ++i) {
    TITEM* pItem = m_aT[i];
    while (pItem != nullptr) {
      TITEM* pNext = pItem->pNext;
      delete pItem;
      pItem = pNext;
    }
    m_aT[i] = nullptr;
  }
  m_nCount = 0;
}

void CStringPtrMapUI::Resize(int nSize) {
  FreeItems();
  delete[] m_aT;
  m_aT = nullptr;
  m_nBuckets = 0;
  if (nSize <= 0) return;
  m_aT = new TITEM*[nSize]();
  m_nBuckets = static_cast<UINT>(nSize);
}

void CStringPtrMapUI::RemoveAll() { Resize(static_cast<int>(m_nBuckets)); }

CStringPtrMapUI::TITEM* CStringPtrMapUI::FindItem(LPCWSTR key, bool bOptimize) const {
  if (m_nBuckets == 0 || m_nCount == 0) return nullptr;
  if (key == nullptr) key = L"";
  const UINT slot = HashKey(key) % m_nBuckets;
  for (TITEM* pItem = m_aT[slot]; pItem != nullptr; pItem = pItem->pNext) {
    if (pItem->Key != key) continue;
    if (bOptimize && pItem != m_aT[slot]) {
      pItem->pPrev->pNext = pItem->pNext;
      if (pItem->pNext != nullptr) pItem->pNext->pPrev = pItem->pPrev;
      pItem->pPrev = nullptr;
      pItem->pNext = m_aT[slot];
      m_aT[slot]->pPrev = pItem;
      m_aT[slot] = pItem;
    }
    return pItem;
  }
  return nullptr;
}

LPVOID CStringPtrMapUI::Find(LPCWSTR key, bool bOptimize) const {
  TITEM* pItem = FindItem(key, bOptimize);
  return pItem != nullptr ? pItem->Data : nullptr;
}

bool CStringPtrMapUI::Insert(LPCWSTR key, LPVOID pData) {
  if (m_nBuckets == 0) return false;
  // Looked up by entry, not by value, so a key stored with a null value is not duplicated.
  if (FindItem(key, true) != nullptr) return false;
  if (key == nullptr) key = L"";
  const UINT slot = HashKey(key) % m_nBuckets;
  TITEM* pItem = new TITEM;
  pItem->Key = key;
  pItem->Data = pData;
  pItem->pPrev = nullptr;
  pItem->pNext = m_aT[slot];
  if (pItem->pNext != nullptr) pItem->pNext->pPrev = pItem;
  m_aT[slot] = pItem;
  ++m_nCount;
  return true;
}

LPVOID CStringPtrMapUI::Set(LPCWSTR key, LPVOID pData) {
  if (m_nBuckets == 0) return pData;
  TITEM* pItem = FindItem(key, true);
  if (pItem != nullptr) {
    LPVOID pOld = pItem->Data;
    pItem->Data = pData;
    return pOld;
  }
  Insert(key, pData);
  return nullptr;
}

bool CStringPtrMapUI::Remove(LPCWSTR key) {
  TITEM* pItem = FindItem(key, false);
  if (pItem == nullptr) return false;
  if (pItem->pPrev != nullptr) {
    pItem->pPrev->pNext = pItem->pNext;
  } else {
    m_aT[HashKey(pItem->Key) % m_nBuckets] = pItem->pNext;
  }
  if (pItem->pNext != nullptr) pItem->pNext->pPrev = pItem->pPrev;
  delete pItem;
  --m_nCount;
  return true;
}

int CStringPtrMapUI::GetSize() const { return m_nCount; }

int CStringPtrMapUI::GetBucketCount() const { return static_cast<int>(m_nBuckets); }

LPCWSTR CStringPtrMapUI::GetAt(int iIndex) const {
  if (iIndex < 0) return nullptr;
  int iPos = 0;
  for (UINT slot = m_nBuckets; slot > 0; --slot) {
    for (TITEM* pItem = m_aT[slot - 1]; pItem != nullptr; pItem = pItem->pNext) {
      if (iPos++ == iIndex) return pItem->Key;
    }
  }
  return nullptr;
}

}  // namespace SkinUI

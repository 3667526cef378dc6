#include "Utils/UIPtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {
const int kFirstCapacity = 11;
}

CPtrArrayUI::CPtrArrayUI(int iPreallocSize) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
  UI_CHECK(iPreallocSize>=0);
  if (iPreallocSize > 0) {
    m_ppVoid = static_cast<LPVOID*>(std::malloc(static_cast<size_t>(iPreallocSize) * sizeof(LPVOID)));
    if (m_ppVoid != nullptr) m_nAllocated = iPreallocSize;
  }
}

CPtrArrayUI::CPtrArrayUI(const CPtrArrayUI& src) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
  for (int i = 0; i < src.GetSize(); ++i) Add(src.GetAt(i));
}

CPtrArrayUI& CPtrArrayUI::operator=(const CPtrArrayUI& src) {
  if (this != &src) {
    Empty();
    for (int i = 0; i < src.GetSize(); ++i) Add(src.GetAt(i));
  }
  return *this;
}

CPtrArrayUI::~CPtrArrayUI() { std::free(m_ppVoid); }

void CPtrArrayUI::Empty() {
  std::free(m_ppVoid);
  m_ppVoid = nullptr;
  m_nCount = m_nAllocated = 0;
}

void CPtrArrayUI::Resize(int iSize) {
  Empty();
  if (iSize <= 0) return;
  m_ppVoid = static_cast<LPVOID*>(std::calloc(static_cast<size_t>(iSize), sizeof(LPVOID)));
  if (m_ppVoid != nullptr) m_nCount = m_nAllocated = iSize;
}

bool CPtrArrayUI::IsEmpty() const { return m_nCount == 0; }

int CPtrArrayUI::Find(LPVOID pData) const {
  for (int i = 0; i < m_nCount; ++i) {
    if (m_ppVoid[i] == pData) return i;
  }
  return -1;
}

bool CPtrArrayUI::Grow() {
  const int iNewCount = m_nCount + 1;
  if (iNewCount >= m_nAllocated) {
    if (m_nAllocated > INT_MAX / 2) return false;
    const int iNewAllocated = m_nAllocated == 0 ? kFirstCapacity : m_nAllocated * 2;
    void* pBlock = std::realloc(m_ppVoid, static_cast<size_t>(iNewAllocated) * sizeof(LPVOID));
    if (pBlock == nullptr) return false;
    m_ppVoid = static_cast<LPVOID*>(pBlock);
    m_nAllocated = iNewAllocated;
  }
  m_nCount = iNewCount;
  return true;
}

bool CPtrArrayUI::Add(LPVOID pData) {
  if (!Grow()) return false;
  m_ppVoid[m_nCount - 1] = pData;
  return true;
}

bool CPtrArrayUI::InsertAt(int iIndex, LPVOID pData) {
  if (iIndex == m_nCount) return Add(pData);
  if (iIndex < 0 || iIndex > m_nCount) return false;
  if (!Grow()) return false;
  std::memmove(&m_ppVoid[iIndex + 1], &m_ppVoid[iIndex],
               static_cast<size_t>(m_nCount - 1 - iIndex) * sizeof(LPVOID));
  m_ppVoid[iIndex] = pData;
  return true;
}

bool CPtrArrayUI::Remove(int iIndex) {
  if (iIndex < 0 || iIndex >= m_nCount) return false;
  if (iIndex < m_nCount - 1) {
    std::memmove(&m_ppVoid[iIndex], &m_ppVoid[iIndex + 1],
                 static_cast<size_t>(m_nCount - iIndex - 1) * sizeof(LPVOID));
  }
  --m_nCount;
  return true;
}

int CPtrArrayUI::GetSize() const { return m_nCount; }

int CPtrArrayUI::GetCapacity() const { return m_nAllocated; }

LPVOID CPtrArrayUI::GetAt(int iIndex) const {
  if (iIndex < 0 || iIndex >= m_nCount) return nullptr;
  return m_ppVoid[iIndex];
}

LPVOID CPtrArrayUI::operator[](int iIndex) const {
  UI_CHECK(iIndex>=0 && iIndex<m_nCount);
  return m_ppVoid[iIndex];
}

}  // namespace SkinUI

#pragma once
// CPtrArrayUI: an ordered list of untyped pointers. The array never owns what the pointers
// address. Capacity starts at 11 and doubles, and growth happens as soon as the count reaches
// the capacity, so a slot past the last element always exists.

#include <windows.h>

namespace SkinUI {

class CPtrArrayUI {
 public:
  explicit CPtrArrayUI(int iPreallocSize = 0);
  CPtrArrayUI(const CPtrArrayUI& src);
  CPtrArrayUI& operator=(const CPtrArrayUI& src);
  ~CPtrArrayUI();

  void Empty();
  // Drops the elements and makes iSize null slots (count and capacity both iSize).
  void Resize(int iSize);
  bool IsEmpty() const;
  int Find(LPVOID pData) const;
  bool Add(LPVOID pData);
  bool InsertAt(int iIndex, LPVOID pData);
  bool Remove(int iIndex);
  int GetSize() const;
  int GetCapacity() const;
  LPVOID GetAt(int iIndex) const;
  // The index must be in range; there is no null fallback.
  LPVOID operator[](int iIndex) const;

 private:
  // Raises the count by one, growing the block when needed; false (count unchanged) on failure.
  bool Grow();

  LPVOID* m_ppVoid;
  int m_nCount;
  int m_nAllocated;
};

}  // namespace SkinUI

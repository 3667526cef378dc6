#pragma once
// CStringPtrMapUI: a hash map from strings to untyped pointers (values are not owned).
// Each bucket is a doubly linked list; new entries go to the head of their bucket and a lookup
// may move the entry it finds to the head, so frequently used keys are found quickly.

#include <windows.h>

#include "Utils/UIString.h"

namespace SkinUI {

class CStringPtrMapUI {
 public:
  // Bucket counts below 16 are raised to 16; the framework's own maps use 83.
  explicit CStringPtrMapUI(int nSize = 83);
  CStringPtrMapUI(const CStringPtrMapUI&) = delete;
  CStringPtrMapUI& operator=(const CStringPtrMapUI&) = delete;
  ~CStringPtrMapUI();

  // Drops every entry and rebuilds with nSize buckets (none for nSize <= 0).
  void Resize(int nSize = 83);
  // With bOptimize the entry found moves to the head of its bucket.
  LPVOID Find(LPCWSTR key, bool bOptimize = true) const;
  // False when the key is present already (its value is kept) or the map has no buckets.
  bool Insert(LPCWSTR key, LPVOID pData);
  // Replaces the value of an existing key and returns the previous one; otherwise inserts and
  // returns null. Without buckets nothing is stored and pData comes back.
  LPVOID Set(LPCWSTR key, LPVOID pData);
  bool Remove(LPCWSTR key);
  void RemoveAll();
  int GetSize() const;
  int GetBucketCount() const;
  // The key of the iIndex-th entry, visiting buckets from the last to the first and each bucket
  // from head to tail; null past the end.
  LPCWSTR GetAt(int iIndex) const;

  static UINT HashKey(LPCWSTR key);

 private:
  struct TITEM {
    CUIString Key;
    LPVOID Data;
    TITEM* pPrev;
    TITEM* pNext;
  };

  TITEM* FindItem(LPCWSTR key, bool bOptimize) const;
  void FreeItems();

  TITEM** m_aT;
  UINT m_nBuckets;
  int m_nCount;
};

}  // namespace SkinUI

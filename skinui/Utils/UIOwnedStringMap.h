#pragma once
// COwnedStringMapUI<T>: a CStringPtrMapUI whose values are records it owns. A record that is
// replaced, removed or still held when the map goes is freed with Deleter (plain delete unless
// the record holds more than memory).

#include <windows.h>

#include <memory>

#include "Utils/UIStringPtrMap.h"

namespace SkinUI {

template <class T, class Deleter = std::default_delete<T>>
class COwnedStringMapUI {
 public:
  explicit COwnedStringMapUI(int nBuckets = 83) : m_map(nBuckets) {}
  ~COwnedStringMapUI() { Clear(); }
  COwnedStringMapUI(const COwnedStringMapUI&) = delete;
  COwnedStringMapUI& operator=(const COwnedStringMapUI&) = delete;

  // With bOptimize the entry found moves to the head of its bucket.
  T* Find(LPCWSTR key, bool bOptimize = true) const {
    return static_cast<T*>(m_map.Find(key, bOptimize));
  }
  // p replaces, and frees, the record of key. False when the map stores nothing: p is freed
  // then.
  bool Set(LPCWSTR key, T* p) {
    if (m_map.GetBucketCount() == 0) {
      Deleter()(p);
      return false;
    }
    T* pReplaced = static_cast<T*>(m_map.Set(key, p));
    if (pReplaced != nullptr && pReplaced != p) Deleter()(pReplaced);
    return true;
  }
  // The map owns p from now on. The first record of a key stays: false, and p is freed, when key
  // is present (or the map stores nothing).
  bool Insert(LPCWSTR key, T* p) {
    if (m_map.Insert(key, p)) return true;
    Deleter()(p);
    return false;
  }
  // Removes and frees the record of key.
  void Delete(LPCWSTR key) {
    T* p = Find(key, false);
    if (p != nullptr && m_map.Remove(key)) Deleter()(p);
  }
  // The first record, in enumeration order, that match accepts; the map is not reordered.
  template <class Match>
  T* FindIf(Match match) const {
    for (int i = 0; i < m_map.GetSize(); ++i) {
      T* p = Find(m_map.GetAt(i), false);
      if (p != nullptr && match(p)) return p;
    }
    return nullptr;
  }
  void Clear() {
    FindIf([](T* p) {
      Deleter()(p);
      return false;
    });
    m_map.RemoveAll();
  }
  int GetSize() const { return m_map.GetSize(); }

 private:
  CStringPtrMapUI m_map;
};

}  // namespace SkinUI

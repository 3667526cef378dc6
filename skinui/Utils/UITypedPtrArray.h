#pragma once
// Typed faces of CPtrArrayUI, so that the element type is written once, where the array is
// declared, instead of in a cast at every use.
//
// CTypedPtrArrayUI<T> is a CPtrArrayUI that takes and hands back T*; where an interface hands
// the untyped array out, it still is one. COwnedPtrArrayUI<T> holds records made with new and
// deletes what it still holds when it goes; records leave it through Take (to the caller) or
// DeleteAt and DeleteAll.

#include "Utils/UIPtrArray.h"

namespace SkinUI {

template <class T>
class CTypedPtrArrayUI : public CPtrArrayUI {
 public:
  explicit CTypedPtrArrayUI(int iPreallocSize = 0) : CPtrArrayUI(iPreallocSize) {}

  bool Add(T* p) { return CPtrArrayUI::Add(p); }
  bool InsertAt(int iIndex, T* p) { return CPtrArrayUI::InsertAt(iIndex, p); }
  int Find(T* p) const { return CPtrArrayUI::Find(p); }
  // Null when the index is out of range.
  T* GetAt(int iIndex) const { return static_cast<T*>(CPtrArrayUI::GetAt(iIndex)); }
  T* operator[](int iIndex) const { return static_cast<T*>(CPtrArrayUI::operator[](iIndex)); }
  // The first occurrence of p goes; false when p is not listed.
  bool RemoveFirst(T* p) {
    const int iIndex = Find(p);
    return iIndex >= 0 && Remove(iIndex);
  }
};

template <class T>
class COwnedPtrArrayUI : private CTypedPtrArrayUI<T> {
  typedef CTypedPtrArrayUI<T> Base;

 public:
  COwnedPtrArrayUI() = default;
  ~COwnedPtrArrayUI() { DeleteAll(); }
  COwnedPtrArrayUI(const COwnedPtrArrayUI&) = delete;
  COwnedPtrArrayUI& operator=(const COwnedPtrArrayUI&) = delete;

  using Base::Find;
  using Base::GetAt;
  using Base::GetSize;
  using Base::IsEmpty;
  using Base::operator[];

  // The array owns p from now on, unless it could not be listed (false): then the caller still
  // does.
  bool Add(T* p) { return Base::Add(p); }
  // Hands the record at a valid index back to the caller.
  T* Take(int iIndex) {
    T* p = Base::operator[](iIndex);
    Base::Remove(iIndex);
    return p;
  }
  void DeleteAt(int iIndex) {
    static_assert(sizeof(T) > 0, "records are deleted where their type is complete");
    delete Take(iIndex);
  }
  // First to last. Each record leaves the array before it is deleted, so that a destructor
  // that reaches back to the array's owner never finds it listed.
  void DeleteAll() {
    while (!IsEmpty()) DeleteAt(0);
    Base::Empty();
  }
};

}  // namespace SkinUI

#pragma once
// CControlFactory: the element names a skin may use for controls, and what makes each one. The
// builder and the container ask it; the layers above Core fill it (Control/UIControlCatalog and
// Layout/UILayoutCatalog), so Core never names a control of theirs. A program registers the
// controls it wants before it builds a skin: only those are linked into it.

#include <windows.h>

namespace SkinUI {

class CControlUI;

class CControlFactory {
 public:
  typedef CControlUI* (*MakeProc)();

  // Names compare without regard to letter case unless bExactCase. A name registered again
  // takes the new maker. False when the table is full or an argument is missing.
  static bool Register(LPCWSTR pstrName, MakeProc pfnMake, bool bExactCase = false);
  // A new control for the element name, or null when no maker is registered for it.
  static CControlUI* Create(LPCWSTR pstrName);
  static bool IsRegistered(LPCWSTR pstrName);
  // The names a skin may use now, Core's own included, in registration order.
  static int GetCount();
  static LPCWSTR GetNameAt(int iIndex);
};

template <class T>
CControlUI* MakeControl() {
  return new T;
}

// Registers T under one element name.
template <class T>
bool RegisterControl(LPCWSTR pstrName, bool bExactCase = false) {
  return CControlFactory::Register(pstrName, &MakeControl<T>, bExactCase);
}

}  // namespace SkinUI

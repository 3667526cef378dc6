#pragma once
// IHostShadow: what a window host needs of its window's drop shadow. The shadow itself
// (Utils/UIShadow) sits on Core; the host makes one through the maker a program registers
// (CShadowUI::RegisterAsHostShadow), and without a maker its window has no shadow.

#include <windows.h>

#include "Core/UISkinBuildObserver.h"

namespace SkinUI {

class CWindowHostUI;

class IHostShadow {
 public:
  typedef IHostShadow* (*MakeProc)();

  virtual ~IHostShadow() = default;
  // One attribute of the skin's "Window" element; false when the name is no shadow attribute.
  virtual bool ApplyWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) = 0;
  // The i-th "Window" attribute the shadow reads, null past the last (for skin diagnostics).
  virtual const SkinAttributeInfo* WindowAttributeAt(int /*iIndex*/) const { return nullptr; }
  // The host has a control tree on its window: the shadow starts following the window.
  virtual void AttachToHost(CWindowHostUI* pHost) = 0;
};

}  // namespace SkinUI

#pragma once
// The host of one window's control tree, and the framework-wide settings every host shares.

#include <windows.h>

namespace SkinUI {

class CWindowHostUI {
 public:
  // The module whose resources the framework loads (skins, images, icons, strings).
  static void SetModuleInstance(HINSTANCE instance);
  static HINSTANCE GetModuleInstance();

 private:
  static HINSTANCE m_hInstance;
};

}  // namespace SkinUI

#pragma once
// What the command line asks of skinview: the skin, what to do with it, and at what DPI, size
// and contrast.

#include <windows.h>

#include <string>
#include <vector>

struct SkinViewOptions {
  std::wstring skinPath;  // as given
  bool bCheck = false;    // --check: list the skin's problems
  bool bTree = false;     // --tree: print the control tree
  std::wstring pngPath;   // --png OUT.png: save a picture
  UINT uDpi = 0;          // --dpi N; 0: the screen's (the window), 96 (the pictures and the tree)
  SIZE size = {0, 0};     // --size W,H in skin pixels; 0: the skin's own
  bool bContrast = false; // --contrast: draw as in the system's high-contrast mode

  // No window: the skin is built off screen and the program ends.
  bool IsBatch() const { return bCheck || bTree || !pngPath.empty(); }
};

// The options of argv[1..], or false with a one-line reason in *pError.
bool ParseSkinViewOptions(const std::vector<std::wstring>& args, SkinViewOptions* pOptions,
                          std::wstring* pError);

// The skin's folder, which becomes the skin folder (its images and the skins it names are found
// there), and the file's name in it.
struct SkinLocation {
  std::wstring folder;  // absolute, ending in a backslash
  std::wstring file;
};
SkinLocation LocateSkin(const std::wstring& path);

// How skinview is used, for a command line it cannot take.
extern const wchar_t kSkinViewUsage[];

#pragma once
// COffscreenSkin: a skin built into a window that is never shown, its control tree laid out at a
// chosen DPI and size, and its picture as that window would show it. For previews at densities
// the screen does not have, pictures of skins kept and compared in CI, and the control tree of a
// skin at a given size.

#include <windows.h>

#include <memory>

#include "Core/UIDlgBuilder.h"
#include "Core/UIManager.h"
#include "Core/UIRenderSurface.h"

namespace SkinUI {

class COffscreenSkin {
 public:
  COffscreenSkin();
  ~COffscreenSkin();
  COffscreenSkin(const COffscreenSkin&) = delete;
  COffscreenSkin& operator=(const COffscreenSkin&) = delete;

  // Builds pstrSkin (a skin file, found as a skinned window finds its own, or markup text) at
  // uDpi into a window of the skin's size or, when szSkin is not empty, of that size in skin
  // pixels, and lays it out as the window's first paint would. With bHighContrast the controls
  // draw as in the system's high-contrast mode. False when the skin cannot be read or parsed or
  // makes no control (GetBuilder() says why). The host and the builder are there before the
  // first build (an observer may look things up in the host); a second build starts anew, with
  // a new window, host and builder.
  bool Build(LPCWSTR pstrSkin, UINT uDpi, SIZE szSkin, bool bHighContrast,
             IDialogBuilderCallback* pCallback = nullptr);

  CWindowHostUI& GetHost() { return *m_pHost; }
  CSkinBuilder& GetBuilder() { return *m_pBuilder; }
  // The window's client size in its pixels (the skin's size at the DPI).
  SIZE GetSize() const;

  // The client area as the window would show it, into a new surface: opaque, unless the skin
  // makes a layered window, whose picture keeps its alpha. False when nothing was built.
  bool Print(DibSurface& picture);

 private:
  void Release();

  HWND m_hWnd;
  std::unique_ptr<CWindowHostUI> m_pHost;
  std::unique_ptr<CSkinBuilder> m_pBuilder;
  bool m_bBuilt;
};

}  // namespace SkinUI

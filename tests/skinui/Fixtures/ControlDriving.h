#pragma once
// Driving controls as their window host would: solid-colour skin images made on request, so
// that a test can tell by a pixel's colour which state image a control drew (an image named
// "RRGGBB.png" is 8 x 8 pixels of that opaque colour, "RRGGBB-WxH.png" gives its size), input
// events, and a fixture that owns controls attached to a host on a real window.

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "ControlFixture.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "support/DibCanvas.h"

namespace control_testing {

inline SkinUI::LoadedImage* MakeSolidImage(LPCWSTR pstrName, LPCWSTR /*pstrType*/,
                                           DWORD /*dwMask*/) {
  if (IS_INTRESOURCE(pstrName)) return nullptr;
  const std::wstring name = pstrName;
  if (name.size() < 6) return nullptr;
  for (int i = 0; i < 6; ++i) {
    if (!std::iswxdigit(name[i])) return nullptr;  // "missing.png" and the like fail to load
  }
  const uint32_t rgb = static_cast<uint32_t>(std::wcstoul(name.substr(0, 6).c_str(), nullptr, 16));
  int width = 8;
  int height = 8;
  const size_t dash = name.find(L'-');
  if (dash != std::wstring::npos) {
    width = std::wcstol(name.c_str() + dash + 1, nullptr, 10);
    const size_t x = name.find(L'x', dash);
    if (x != std::wstring::npos) height = std::wcstol(name.c_str() + x + 1, nullptr, 10);
  }
  void* pBits = nullptr;
  HBITMAP hBitmap = testing_support::CreateTopDownDib(width, height, &pBits);
  if (hBitmap == nullptr) return nullptr;
  DWORD* pPixels = static_cast<DWORD*>(pBits);
  for (int i = 0; i < width * height; ++i) pPixels[i] = 0xFF000000u | rgb;
  SkinUI::LoadedImage* pImage = new SkinUI::LoadedImage;
  pImage->hBitmap = hBitmap;
  pImage->pPixels = pPixels;
  pImage->nWidth = width;
  pImage->nHeight = height;
  return pImage;
}

// Installs the solid-colour loader for the lifetime of the object.
class SolidImageLoaderScope {
 public:
  SolidImageLoaderScope() { SkinUI::CWindowHostUI::SetImageLoader(&MakeSolidImage); }
  ~SolidImageLoaderScope() {
    SkinUI::CWindowHostUI::SetImageLoader(&SkinUI::CSkinRenderer::LoadSkinImage);
  }
};

inline SkinUI::InputEvent MakeEvent(int iKind, int x = 0, int y = 0, WPARAM wParam = 0) {
  SkinUI::InputEvent event = {};
  event.iKind = iKind;
  event.ptMouse = POINT{x, y};
  event.wParam = wParam;
  event.dwTimestamp = ::GetTickCount();
  return event;
}

// Controls attached to the fixture's host at a given place, destroyed before the host.
class ControlDriveTest : public ControlHostTest {
 protected:
  template <typename T>
  T* Adopt(T* pControl, RECT rc = RECT{10, 10, 60, 40}) {
    pControl->SetHost(&m_host, nullptr, true);
    pControl->SetPosition(rc);
    m_owned.emplace_back(pControl);
    return pControl;
  }
  void Send(SkinUI::CControlUI* pControl, int iKind, int x = 0, int y = 0, WPARAM wParam = 0) {
    SkinUI::InputEvent event = MakeEvent(iKind, x, y, wParam);
    event.pSender = pControl;
    pControl->DispatchEvent(event);
  }

  SolidImageLoaderScope m_images;
  std::vector<std::unique_ptr<SkinUI::CControlUI>> m_owned;
};

}  // namespace control_testing

#pragma once
// A window host attached to a real window, an image loader that makes small bitmaps on demand,
// and the clean-up of the framework-wide registries the tests fill.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/UIManager.h"
#include "WindowWndTestWindow.h"
#include "support/DibCanvas.h"

namespace skin_testing {

// Loads every name except "missing.png" as a 2 x 3 bitmap; Load also remembers what it was
// asked, Make allocates nothing beyond the image itself.
struct FakeImageLoader {
  static std::vector<std::wstring>& Requests() {
    static std::vector<std::wstring> requests;
    return requests;
  }
  static SkinUI::LoadedImage* Load(LPCWSTR pstrName, LPCWSTR pstrType, DWORD dwMask) {
    const std::wstring request = IS_INTRESOURCE(pstrName)
                                     ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(pstrName))
                                     : std::wstring(pstrName);
    Requests().push_back(request + L"|" + (pstrType != nullptr ? pstrType : L"-") + L"|" +
                         std::to_wstring(dwMask));
    return Make(pstrName, pstrType, dwMask);
  }
  static SkinUI::LoadedImage* Make(LPCWSTR pstrName, LPCWSTR /*pstrType*/, DWORD /*dwMask*/) {
    if (!IS_INTRESOURCE(pstrName) && std::wstring(pstrName) == L"missing.png") return nullptr;
    void* pBits = nullptr;
    HBITMAP hBitmap = testing_support::CreateTopDownDib(2, 3, &pBits);
    if (hBitmap == nullptr) return nullptr;
    DWORD* pPixels = static_cast<DWORD*>(pBits);
    for (int i = 0; i < 6; ++i) pPixels[i] = 0xFF000000u | static_cast<DWORD>(i * 40);
    SkinUI::LoadedImage* pImage = new SkinUI::LoadedImage;
    pImage->hBitmap = hBitmap;
    pImage->pPixels = pPixels;
    pImage->nWidth = 2;
    pImage->nHeight = 3;
    return pImage;
  }
};

class HostResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseTestModule();
    ASSERT_NE(m_window.Create(nullptr, L"host", WS_POPUP, 0, 0, 0, 120, 90), nullptr);
    m_host.AttachWindow(m_window);
    SkinUI::CWindowHostUI::SetImageLoader(&FakeImageLoader::Load);
    FakeImageLoader::Requests().clear();
  }
  void TearDown() override {
    m_host.RemoveAllFonts(true);
    m_host.RemoveAllImages(true);
    m_host.RemoveAllDefaultAttributeLists(true);
  }

  RecordingWindow m_window{L"QuillTestHost"};
  SkinUI::CWindowHostUI m_host;
};

inline bool IsLiveGdiObject(HGDIOBJ hObject) { return ::GetObjectType(hObject) != 0; }

}  // namespace skin_testing

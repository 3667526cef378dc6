#pragma once
// A bare installer window: the installer's window base with one of the real skins from the
// archive in the test program's resources, recording which elements the builder could not
// make itself, shown above other windows at a fixed place; and how tests find the boxes the
// installer shows over its main window.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"
#include "windows/XMLWnd.h"

namespace installer_window_testing {

class BareXMLWnd : public CXMLWnd {
 public:
  explicit BareXMLWnd(LPCWSTR pstrSkinFile) : CXMLWnd(pstrSkinFile) {}
  ~BareXMLWnd() override {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  }

  // With the installer's own styles; the skin sets the size.
  HWND CreateShown(int x = kLeft, int y = kTop) {
    if (Create(nullptr, L"QMWnd", 0x10CF0000, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT, CW_USEDEFAULT) == nullptr) {
      return nullptr;
    }
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
    ::UpdateWindow(m_hWnd);
    return m_hWnd;
  }

  SkinUI::CControlUI* Find(LPCWSTR pstrName) { return m_Host.FindControlByName(pstrName); }

  static constexpr int kLeft = 100;
  static constexpr int kTop = 100;
  std::vector<std::wstring> customElements;

 protected:
  SkinUI::CControlUI* CreateCustomControl(LPCWSTR pstrClass) override {
    customElements.push_back(pstrClass);
    return CXMLWnd::CreateCustomControl(pstrClass);
  }
};

// What the window's client area shows on the screen.
inline void CaptureClient(HWND hWnd, testing_support::DibCanvas& canvas) {
  HDC hdcWindow = ::GetDC(hWnd);
  ::BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), hdcWindow, 0, 0, SRCCOPY);
  ::ReleaseDC(hWnd, hdcWindow);
  ::GdiFlush();
}

// Kept as "screenshot_<label>.png" in the working folder.
inline void SaveScreenshot(const testing_support::DibCanvas& canvas, const std::string& label) {
  testing_support::TestImage image(canvas.width(), canvas.height());
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) image.at(x, y) = 0xFF000000 | canvas.Rgb(x, y);
  }
  const std::wstring path = testing_support::CurrentFolder() + L"\\screenshot_" +
                            std::wstring(label.begin(), label.end()) + L".png";
  EXPECT_TRUE(testing_support::WriteFileBytes(path, testing_support::EncodePng(image, false)));
}

// FNV-1a (64 bits) over the size and every pixel's red, green and blue, row by row: two pictures
// with the same value are the same picture.
inline uint64_t PixelHash(const testing_support::DibCanvas& canvas) {
  uint64_t hash = 0xCBF29CE484222325ull;
  auto mix = [&hash](uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (value >> shift) & 0xFF;
      hash *= 0x100000001B3ull;
    }
  };
  mix(static_cast<uint32_t>(canvas.width()));
  mix(static_cast<uint32_t>(canvas.height()));
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) mix(canvas.Rgb(x, y));
  }
  return hash;
}

// The installer window of this thread that `hOwner` owns, as the boxes over the main window
// are; null when there is none.
inline HWND FindInstallerWindowOwnedBy(HWND hOwner) {
  struct Search {
    HWND hOwner;
    HWND hFound;
  } search = {hOwner, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto* pSearch = reinterpret_cast<Search*>(lParam);
        wchar_t szClass[16] = {};
        ::GetClassNameW(hWnd, szClass, 16);
        if (::GetWindow(hWnd, GW_OWNER) != pSearch->hOwner || wcscmp(szClass, L"QMWnd") != 0) return TRUE;
        pSearch->hFound = hWnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.hFound;
}

// The skinned window object behind an installer window's handle.
inline SkinUI::WindowImplBase* InstallerWindowOf(HWND hWnd) {
  return dynamic_cast<SkinUI::WindowImplBase*>(
      reinterpret_cast<SkinUI::CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA)));
}

class InstallerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  }
};

}  // namespace installer_window_testing

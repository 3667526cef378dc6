#pragma once
// A skinned window whose skin source the test chooses, and a fixture that starts each test with
// the framework's process-wide skin folder and archive cleared (a skinned window sets both for
// every later window).

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/WinImplBase.h"

namespace skinned_window_testing {

// The skins of the tests lie in this folder below the test program, alone and zipped into
// "window_skins.zip"; the program's resources hold the same skins as "xml" resource 201 and
// "ZIPRES" resource 129, an empty "xml" resource 202 and an empty "ZIPRES" resource 130.
const wchar_t kSkinFolder[] = L"window_skins\\";
const wchar_t kSkinArchive[] = L"window_skins.zip";
const UINT kSkinXmlResource = 201;
const UINT kEmptyXmlResource = 202;
const UINT kSkinArchiveResource = 129;
const UINT kEmptyArchiveResource = 130;

struct SkinSource {
  const char* label;
  int iKind;
  std::wstring file;  // file name, or the decimal resource id for "xml" resources
  UINT nArchiveResource = 0;
};

// The skin's "Probe" element: a control that counts the destructions of its kind.
class ProbeControl : public SkinUI::CControlUI {
 public:
  ~ProbeControl() override { ++destroyed; }
  static inline int destroyed = 0;
};

class TestSkinWindow : public SkinUI::WindowImplBase {
 public:
  explicit TestSkinWindow(SkinSource source) : m_source(std::move(source)) {}
  ~TestSkinWindow() override {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  }

  // Created at a fixed place, with the installer's styles, and shown above other windows.
  HWND CreateShown() {
    if (Create(nullptr, L"skinned", 0x10CF0000, WS_EX_WINDOWEDGE, kLeft, kTop, 50, 50) == nullptr) {
      return nullptr;
    }
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::UpdateWindow(m_hWnd);
    return m_hWnd;
  }

  SkinUI::CControlUI* Find(LPCWSTR pstrName) { return m_Host.FindControlByName(pstrName); }

  static constexpr int kLeft = 120;
  static constexpr int kTop = 80;
  int skinLoaded = 0;

 protected:
  LPCWSTR WindowClassName() const override { return L"QuillSkinnedTestWindow"; }
  SkinUI::CUIString SkinFolder() const override { return kSkinFolder; }
  SkinUI::CUIString SkinFile() const override { return m_source.file.c_str(); }
  int SkinResourceKind() const override { return m_source.iKind; }
  SkinUI::CUIString SkinArchiveName() const override { return kSkinArchive; }
  LPCWSTR SkinResourceId() const override { return MAKEINTRESOURCEW(m_source.nArchiveResource); }
  void OnSkinLoaded() override { ++skinLoaded; }
  SkinUI::CControlUI* CreateCustomControl(LPCWSTR pstrClass) override {
    if (std::wstring(pstrClass) == L"Probe") return new ProbeControl;
    return WindowImplBase::CreateCustomControl(pstrClass);
  }

 private:
  SkinSource m_source;
};

// What RunModalAtMost answers when nothing closed the window within five seconds.
const int kGaveUp = 99;

inline void CALLBACK GiveUp(HWND hWnd, UINT, UINT_PTR, DWORD) {
  ::PostMessageW(hWnd, WM_CLOSE, kGaveUp, 0);
}

// The window's modal loop, ended with kGaveUp when nothing else ends it: a press that goes
// astray fails the test instead of hanging it.
inline int RunModalAtMost(SkinUI::CWindowWnd& window) {
  ::SetTimer(window, 0x5EC, 5000, GiveUp);
  return window.RunModal();
}

inline void ForgetSkinSettings() {
  SkinUI::CWindowHostUI::UseSkinArchive(L"", true);
  SkinUI::CWindowHostUI::SetSkinFolder(L"");
}

class SkinnedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
    ForgetSkinSettings();
  }
  void TearDown() override { ForgetSkinSettings(); }

  // The skin with every frame setting, from the skin folder.
  std::unique_ptr<TestSkinWindow> ShowFolderSkin(const wchar_t* file = L"skinned_window.xml") {
    auto window = std::make_unique<TestSkinWindow>(
        SkinSource{"folder", SkinUI::kSkinFromFolder, file});
    EXPECT_NE(window->CreateShown(), nullptr);
    return window;
  }
};

}  // namespace skinned_window_testing

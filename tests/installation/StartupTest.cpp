#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "Core/UIManager.h"
#include "InstallRunStandIns.h"
#include "InstallerInstance.h"
#include "engine/SetupConstants.h"
#include "installation.h"
#include "resource.h"
#include "windows/WindowConstants.h"

namespace {

// A plain native window standing in for the skinned main window: it records what start-up
// asks of it and closes itself as soon as its modal loop runs.
class RecordingMainWindow : public IMainSetupWindow {
 public:
  std::vector<std::string> calls;
  std::wstring title;
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  HINSTANCE frameworkInstanceAtCreate = nullptr;
  UINT iconId = 0;
  HWND hwnd = nullptr;

  HWND Create(HWND, const wchar_t* text, DWORD s, DWORD ex, int px, int py, int w, int h, HMENU) override {
    calls.push_back("Create");
    title = text;
    style = s, exStyle = ex, x = px, y = py, cx = w, cy = h;
    frameworkInstanceAtCreate = SkinUI::CWindowHostUI::GetModuleInstance();
    // The test creates the window hidden; start-up's style is checked from the record.
    hwnd = CreateWindowExW(0, L"STATIC", text, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    return hwnd;
  }
  void CenterOnOwner() override { calls.push_back("CenterOnOwner"); }
  void SetWindowIcon(UINT id) override {
    calls.push_back("SetWindowIcon");
    iconId = id;
  }
  UINT RunModal(bool) override {
    calls.push_back("RunModal");
    DestroyWindow(hwnd);
    return 0;
  }
  HWND GetHWND() const override { return hwnd; }
};

class TestApp : public CinstallationApp {
 public:
  RecordingMainWindow* window = nullptr;
  bool provideWindow = true;
  std::wstring requestedSkin;

 protected:
  IMainSetupWindow* CreateMainWindow(const wchar_t* skin) override {
    requestedSkin = skin;
    if (!provideWindow) return nullptr;
    window = new RecordingMainWindow;
    return window;
  }
};

}  // namespace

TEST(Startup, CreatesCentresIconsRegistersAndRunsTheMainWindow) {
  TestApp app;
  app.SetInstance(GetModuleHandleW(nullptr));
  EXPECT_FALSE(app.InitInstance()) << "start-up never enters a message loop of its own";
  ASSERT_NE(app.window, nullptr);
  RecordingMainWindow& w = *app.window;

  EXPECT_EQ(app.requestedSkin, L"installation.xml");
  EXPECT_EQ(w.calls, (std::vector<std::string>{"Create", "CenterOnOwner", "SetWindowIcon", "RunModal"}));
  EXPECT_EQ(w.title, L"引导安装程序");
  EXPECT_EQ(w.style, 0x10CF0000u);
  EXPECT_EQ(w.exStyle, 0x100u);
  EXPECT_EQ(w.x, CW_USEDEFAULT);
  EXPECT_EQ(w.y, CW_USEDEFAULT);
  EXPECT_EQ(w.cx, CW_USEDEFAULT);
  EXPECT_EQ(w.cy, CW_USEDEFAULT);
  EXPECT_EQ(w.iconId, 128u);
  EXPECT_EQ(w.frameworkInstanceAtCreate, GetModuleHandleW(nullptr)) << "the framework knows the module first";
  EXPECT_EQ(app.GetMainWindow(), w.hwnd) << "registered as the application's main window";
  EXPECT_EQ(app.GetRegistryKey(), L"应用程序向导生成的本地应用程序");
  EXPECT_TRUE(app.IsActiveXContainerEnabled());

  // The common control classes are ready for the skins' native pieces.
  WNDCLASSEXW info = {sizeof info};
  EXPECT_TRUE(GetClassInfoExW(nullptr, PROGRESS_CLASSW, &info));
  EXPECT_TRUE(GetClassInfoExW(nullptr, DATETIMEPICK_CLASSW, &info));
  delete app.window;
}

TEST(Startup, WithoutAMainWindowStartUpEndsAtOnce) {
  TestApp app;
  app.provideWindow = false;
  app.SetInstance(GetModuleHandleW(nullptr));
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(app.GetMainWindow(), nullptr);
  EXPECT_EQ(app.requestedSkin, L"installation.xml");
}

// The other installer is installer_instance.exe: it holds the name as the installer does and
// shows a window of the installer's class and title; a name held without a window is no
// longer enough to end start-up (see SingleInstanceTest.cpp).
TEST(Startup, WhileAnotherInstallerRunsStartUpEndsWithoutAWindow) {
  std::wstring commandLine = L"\"" + standin_test::HostPath(QUILL_INSTALLER_INSTANCE_EXE) + L"\" " +
                             instance_test::kIdleArgument;
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION running = {};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &running));
  CloseHandle(running.hThread);
  HWND other = nullptr;
  for (int attempt = 0; attempt < 200 && !(other = FindWindowW(setup::kWindowClassName, instance_test::kMainTitle));
       ++attempt)
    Sleep(50);
  ASSERT_NE(other, nullptr);

  TestApp app;
  app.SetInstance(GetModuleHandleW(nullptr));
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(app.requestedSkin.empty()) << "no main window is made";
  EXPECT_EQ(app.GetMainWindow(), nullptr);

  PostMessageW(other, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(running.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(running.hProcess);
}

TEST(Startup, RunEndsWithExitCodeZeroWhenStartUpDeclines) {
  TestApp app;
  app.provideWindow = false;
  EXPECT_EQ(app.Run(GetModuleHandleW(nullptr)), 0);
}

TEST(AppFramework, StringResourcesAreTheProgramsOwnTexts) {
  CWinAppEx app;
  app.SetInstance(GetModuleHandleW(nullptr));
  EXPECT_EQ(app.LoadStringResource(IDS_PACKAGE_CORRUPT), L"下载文件异常，请重新下载");
  EXPECT_EQ(app.LoadStringResource(IDS_DOWNLOAD_FAILED), L"网络异常，下载失败");
  EXPECT_EQ(app.LoadStringResource(IDS_DISK_WRITE_FAILED), L"写入磁盘失败");
  EXPECT_EQ(app.LoadStringResource(IDS_MAIN_TITLE), L"引导安装程序");
  EXPECT_EQ(app.LoadStringResource(4242), L"");
}

TEST(AppFramework, SettingsKeyIsCreatedBelowTheCurrentUserOnDemand) {
  CWinAppEx app;
  app.SetInstance(GetModuleHandleW(nullptr));
  EXPECT_EQ(app.OpenAppSettingsKey(), nullptr) << "no key before one is named";
  app.SetRegistryKey(L"应用程序向导生成的本地应用程序");
  HKEY key = app.OpenAppSettingsKey();
  ASSERT_NE(key, nullptr);
  RegCloseKey(key);
  const std::wstring path = L"Software\\应用程序向导生成的本地应用程序\\" + app.GetProfileName();
  EXPECT_EQ(app.GetProfileName(), L"test_startup");
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

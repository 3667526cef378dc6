// The main setup window and the message box in this process, on real windows: what the box
// says for each setup error and that dismissing it closes the main window; the main window
// following a real download from the test server to its end, where the uninstall prompt asks
// about the installed client and declining leaves it as it is. Screenshots of the boxes stay
// in the working folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "Control/UIProgress.h"
#include "DownloadServer.h"
#include "HttpFetchServerTest.h"
#include "InstallerWindowFixture.h"
#include "engine/SetupConstants.h"
#include "resource.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"
#include "support/RealInput.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"
#include "windows/FrameMainUI.h"
#include "windows/FrameMsgBoxUI.h"
#include "windows/WindowConstants.h"

using namespace testing_support;

namespace {

void SaveWindowPicture(HWND hWnd, const std::string& label) {
  RECT rc = {};
  ::GetClientRect(hWnd, &rc);
  DibCanvas canvas(rc.right, rc.bottom);
  HDC hdc = ::GetDC(hWnd);
  ::BitBlt(canvas.dc(), 0, 0, rc.right, rc.bottom, hdc, 0, 0, SRCCOPY);
  ::ReleaseDC(hWnd, hdc);
  ::GdiFlush();
  TestImage image(canvas.width(), canvas.height());
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) image.at(x, y) = 0xFF000000 | canvas.Rgb(x, y);
  }
  const std::wstring path = CurrentFolder() + L"\\" + std::wstring(label.begin(), label.end()) + L".png";
  EXPECT_TRUE(WriteFileBytes(path, EncodePng(image, false)));
}

// A plain top-level window standing in for the main window: it records the WM_CLOSE that the
// end of the box posts to it, and stays.
class OwnerWindow {
 public:
  OwnerWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SetupWindowsTestOwner";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 200, 200, 620, 240, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~OwnerWindow() { ::DestroyWindow(m_hWnd); }
  HWND hwnd() const { return m_hWnd; }
  int closes = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_CLOSE) {
      reinterpret_cast<OwnerWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA))->closes++;
      return 0;
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  }
  HWND m_hWnd = nullptr;
};

// What the box showed while it was up. Filled by a thread timer that runs inside the box's
// modal loop: it reads the box, saves its picture and dismisses it with a real click.
struct BoxVisit {
  HWND hOwner = nullptr;
  HWND hBox = nullptr;
  std::wstring text;
  std::wstring title;
  bool ownerDisabled = false;
  std::string pictureName;
  POINT ptDismiss = {344, 18};  // the message box's close button
  bool dismissWithReturn = false;
  std::wstring firstFocus;
};
BoxVisit* g_pVisit = nullptr;

void CALLBACK VisitBox(HWND, UINT, UINT_PTR idTimer, DWORD) {
  g_pVisit->hBox = installer_window_testing::FindInstallerWindowOwnedBy(g_pVisit->hOwner);
  if (g_pVisit->hBox == nullptr || !::IsWindowVisible(g_pVisit->hBox)) return;
  ::KillTimer(nullptr, idTimer);
  HWND hBox = g_pVisit->hBox;
  SkinUI::WindowImplBase* pBox = installer_window_testing::InstallerWindowOf(hBox);
  if (pBox == nullptr) return;
  if (SkinUI::CControlUI* pText = pBox->GetWindowHost().FindControlByName(L"main_txt")) {
    g_pVisit->text = pText->GetText().GetData();
  }
  wchar_t szTitle[32] = {};
  ::GetWindowTextW(hBox, szTitle, 32);
  g_pVisit->title = szTitle;
  g_pVisit->ownerDisabled = !::IsWindowEnabled(g_pVisit->hOwner);
  ::UpdateWindow(hBox);
  if (SkinUI::CControlUI* pFocus = pBox->GetWindowHost().GetFocusControl()) {
    g_pVisit->firstFocus = pFocus->GetName().GetData();
  }
  SaveWindowPicture(hBox, g_pVisit->pictureName);
  if (g_pVisit->dismissWithReturn) {
    SendKeyPress(VK_RETURN);
  } else {
    ClickMouse(ScreenPoint(hBox, g_pVisit->ptDismiss.x, g_pVisit->ptDismiss.y));
  }
}

struct SetupError {
  UINT nStringId;
  const wchar_t* text;
};

class MessageBoxTest : public ::testing::TestWithParam<SetupError> {
 protected:
  void SetUp() override { SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr)); }
};

// Shows the box for the string over a stand-in main window, visited and dismissed as the
// visit says; checks that it went and took the main window with it.
void RunBox(BoxVisit& visit, UINT nStringId) {
  OwnerWindow owner;
  visit.hOwner = owner.hwnd();
  g_pVisit = &visit;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitBox);
  const ULONGLONG started = ::GetTickCount64();
  ShowSetupError(owner.hwnd(), nStringId);
  ::KillTimer(nullptr, timer);
  g_pVisit = nullptr;

  ASSERT_NE(visit.hBox, nullptr) << "no box came up";
  EXPECT_FALSE(::IsWindow(visit.hBox));
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  EXPECT_EQ(owner.closes, 1) << "the main window is closed after the box";
  EXPECT_LT(::GetTickCount64() - started, 10000u);
}

TEST_P(MessageBoxTest, ShowsTheErrorsTextOverTheMainWindowAndClosesItOnceDismissed) {
  BoxVisit visit;
  visit.pictureName = "message_box_" + std::to_string(GetParam().nStringId);
  RunBox(visit, GetParam().nStringId);
  EXPECT_EQ(visit.text, GetParam().text);
  EXPECT_EQ(visit.title, L"提示") << "titled as its skin's caption says";
  EXPECT_TRUE(visit.ownerDisabled) << "the box is modal over the main window";
}

INSTANTIATE_TEST_SUITE_P(SetupErrors, MessageBoxTest,
                         ::testing::Values(SetupError{IDS_PACKAGE_CORRUPT, L"下载文件异常，请重新下载"},
                                           SetupError{IDS_DOWNLOAD_FAILED, L"网络异常，下载失败"},
                                           SetupError{IDS_DISK_WRITE_FAILED, L"写入磁盘失败"}),
                         [](const ::testing::TestParamInfo<SetupError>& info) {
                           return std::to_string(info.param.nStringId);
                         });

// The box opens on its one button, so a Return pressed first thing dismisses it as that button
// would.
TEST(MessageBoxKeyboard, ReturnRightAfterItOpensDismissesItAsItsButtonWould) {
  SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  BoxVisit visit;
  visit.pictureName = "message_box_first_focus";
  visit.dismissWithReturn = true;
  RunBox(visit, IDS_DOWNLOAD_FAILED);
  EXPECT_EQ(visit.firstFocus, setup::kCloseButtonName);
}

// The real main window on a test context; it records what it showed, and its end leaves the
// process running.
class WatchedMainWindow : public CFrameMainUI {
 public:
  explicit WatchedMainWindow(setup::SetupContext& context) : CFrameMainUI(setup::kMainSkin, context) {}

  std::set<int> percentages;  // every value the bar showed
  int finalPercent = -1;
  std::wstring finalSize;
  bool visibleAtClose = true;
  bool gone = false;
  bool painted = false;
  bool workerAtFirstPaint = false;

 protected:
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == WM_CLOSE) visibleAtClose = ::IsWindowVisible(m_hWnd) != FALSE;
    if (uMsg == WM_PAINT && !painted) {
      painted = true;
      workerAtFirstPaint = m_context.m_hWorker != nullptr;
    }
    const LRESULT lRes = CFrameMainUI::ProcessMessage(uMsg, wParam, lParam);
    if (m_pProgress != nullptr) percentages.insert(m_pProgress->GetValue());
    return lRes;
  }
  void OnWindowGone(HWND hWnd) override {
    finalPercent = m_pProgress->GetValue();
    finalSize = m_pDownloadSize->GetText().GetData();
    gone = true;
    CXMLWnd::OnWindowGone(hWnd);  // not CFrameMainUI's: that one ends the process
  }
};

class MainWindowTest : public fetch_testing::ServerBackedTest {
 protected:
  void SetUp() override {
    ServerBackedTest::SetUp();
    SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  }
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quillmere");
    ServerBackedTest::TearDown();
  }
};

bool WriteMachineString(const wchar_t* path, const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS status = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

std::wstring ReadMachineString(const wchar_t* path, const wchar_t* name) {
  wchar_t value[64] = {};
  DWORD bytes = sizeof value;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, path, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
    return std::wstring();
  return value;
}

TEST_F(MainWindowTest, FollowsTheDownloadToAFullBarAndLeavesAnInstalledClientTheUserKeeps) {
  std::vector<ZipEntry> entries(1);
  entries[0].name = "vcredist_x86.exe";
  entries[0].data = fetch_testing::RandomBytes(2500000, 7);
  entries[0].deflated = false;
  ASSERT_TRUE(WriteZipArchive(ServedPackagePath(), entries));
  const int64_t packageBytes = static_cast<int64_t>(ReadFileBytes(ServedPackagePath()).size());
  // As the vendor publishes it: the window's run checks the manifest with the build's key.
  ASSERT_TRUE(PublishManifest(fetch_testing::ReleaseManifest("2.0.1.5", ReadFileBytes(ServedPackagePath()))));
  ASSERT_TRUE(SetServerMode("package", "mode=slow"));
  const std::wstring code = L"{6F0B6C1A-2D4E-4B8F-9C3A-1E5D7F9B2C41}";
  ASSERT_TRUE(WriteMachineString(setup::kProductCodeKey, setup::kProductCodeValue, code));
  ASSERT_TRUE(WriteMachineString(setup::kProductKey, setup::kVersionValue, L"2.0.1.4"));

  setup::SetupContext context;
  auto* window = new WatchedMainWindow(context);
  ASSERT_NE(window->Create(nullptr, L"main", 0x10CF0000, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr),
            nullptr);
  EXPECT_EQ(context.m_hWorker, nullptr) << "the setup waits for the first frame";
  BoxVisit prompt;
  prompt.hOwner = window->GetHWND();
  prompt.pictureName = "uninstall_prompt";
  prompt.ptDismiss = {470, 174};  // "btn_cancle"
  g_pVisit = &prompt;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitBox);
  window->RunModal(true);
  ::KillTimer(nullptr, timer);
  g_pVisit = nullptr;
  ASSERT_TRUE(window->gone);
  EXPECT_TRUE(window->painted && !window->workerAtFirstPaint) << "the first frame comes before the setup";
  ASSERT_NE(context.m_hWorker, nullptr) << "the setup started once the window was painted";
  EXPECT_EQ(::WaitForSingleObject(context.m_hWorker, 10000), WAIT_OBJECT_0);
  ::CloseHandle(context.m_hWorker);

  EXPECT_EQ(window->finalPercent, 100);
  wchar_t expected[64];
  swprintf(expected, 64, L"%.1f/%.1f KB", packageBytes / 1000.0, packageBytes / 1000.0);
  EXPECT_EQ(window->finalSize, expected);
  EXPECT_GE(window->percentages.size(), 4u) << "the bar moved on its way";
  EXPECT_FALSE(window->visibleAtClose) << "the window hides before the installation steps";
  ASSERT_NE(prompt.hBox, nullptr) << "no uninstall prompt asked";
  EXPECT_NE(prompt.text.find(L"已安装版本：2.0.1.4，最新版本：" + context.m_strPublishedVersion), std::wstring::npos)
      << testing::PrintToString(prompt.text);
  EXPECT_TRUE(prompt.ownerDisabled) << "the prompt is modal over the main window";
  EXPECT_EQ(ReadMachineString(setup::kProductCodeKey, setup::kProductCodeValue), code);
  EXPECT_EQ(ReadMachineString(setup::kProductKey, setup::kVersionValue), L"2.0.1.4");
  EXPECT_TRUE(FolderExists(fetch_testing::DataFolder() + L"\\setup")) << "nothing was installed from it";
  delete window;
}

}  // namespace

// The control gallery. Run plainly it is a window to look at and click; with
// "--selftest FILE.bmp" it shows every page in turn, saves a picture of each (FILE_basics.bmp,
// ...) and exits with the number of problems found (debug checks reported, controls missing,
// a page or a button that did not answer). "--selftest FILE.bmp --dpi N" also counts it a
// problem when the window is not drawn for N DPI: another DPI, a size that is not the skin's
// scaled, or a status bar that says otherwise.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <set>
#include <string>

#include "Control/UIControlCatalog.h"
#include "Control/UIOption.h"
#include "Control/UIProgress.h"
#include "Control/UISlider.h"
#include "Core/UIControl.h"
#include "GalleryWindow.h"
#include "Layout/UITabLayout.h"
#include "Utils/UIDebug.h"

namespace {

int g_nChecks = 0;

void CountCheck(const char* pstrUnit, int iLine, const char* pstrCondition) {
  ++g_nChecks;
  std::fprintf(stderr, "debug check failed: %s:%d %s\n", pstrUnit, iLine, pstrCondition);
}

void PumpFor(DWORD ms) {
  const DWORD dwStart = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - dwStart < ms) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!SkinUI::CWindowHostUI::TranslateForHosts(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    ::Sleep(10);
  }
}

// False when the picture could not be saved or does not show the whole window.
bool SaveWindowPicture(HWND hWnd, const wchar_t* pstrPath) {
  RECT rc = {};
  ::GetWindowRect(hWnd, &rc);
  const int cx = rc.right - rc.left;
  const int cy = rc.bottom - rc.top;
  HDC hScreen = ::GetDC(nullptr);
  HDC hDC = ::CreateCompatibleDC(hScreen);
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* pBits = nullptr;
  HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
  // The window prints itself: what the screen shows may still be waiting for the display.
  ::PrintWindow(hWnd, hDC, 0);
  ::GdiFlush();
  ::SelectObject(hDC, hOld);
  // The window is opaque on screen: a pixel its picture leaves see-through is one it lost.
  int nSeeThrough = 0;
  const DWORD* pPixels = static_cast<const DWORD*>(pBits);
  for (int i = 0; i < cx * cy; ++i) nSeeThrough += (pPixels[i] >> 24) != 0xFF ? 1 : 0;
  if (nSeeThrough > 0) std::fprintf(stderr, "picture: %d pixels see-through\n", nSeeThrough);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(bmi.bmiHeader);
  const DWORD cbPixels = static_cast<DWORD>(cx) * cy * 4;
  file.bfSize = file.bfOffBits + cbPixels;
  bool bSaved = false;
  FILE* pFile = _wfopen(pstrPath, L"wb");
  if (pFile != nullptr) {
    bSaved = std::fwrite(&file, sizeof(file), 1, pFile) == 1 &&
             std::fwrite(&bmi.bmiHeader, sizeof(bmi.bmiHeader), 1, pFile) == 1 &&
             std::fwrite(pBits, cbPixels, 1, pFile) == 1;
    bSaved = std::fclose(pFile) == 0 && bSaved;
  }
  bSaved = bSaved && nSeeThrough == 0;
  ::DeleteObject(hBitmap);
  ::DeleteDC(hDC);
  ::ReleaseDC(nullptr, hScreen);
  return bSaved;
}

// The picture of one page: "gallery.bmp" and "tab_input" give "gallery_input.bmp".
std::wstring PagePicture(const wchar_t* pstrPicture, const wchar_t* pstrTab) {
  std::wstring path = pstrPicture;
  const size_t iDot = path.rfind(L'.');
  const std::wstring suffix = iDot == std::wstring::npos ? L"" : path.substr(iDot);
  if (iDot != std::wstring::npos) path.erase(iDot);
  return path + L"_" + (pstrTab + 4) + suffix;
}

// Counts the controls of the shown page that were not built or have no place in the window.
int CountMissingControls(SkinUI::CWindowHostUI& host, const wchar_t* const* ppNames) {
  RECT rcClient = {};
  ::GetClientRect(host.GetHostWindow(), &rcClient);
  int nMissing = 0;
  for (; *ppNames != nullptr; ++ppNames) {
    SkinUI::CControlUI* pControl = host.FindControlByName(*ppNames);
    RECT rcShown = {};
    if (pControl == nullptr || !pControl->IsVisible() ||
        !::IntersectRect(&rcShown, &pControl->GetPosition(), &rcClient) ||
        !::EqualRect(&rcShown, &pControl->GetPosition())) {
      std::fprintf(stderr, "control missing or out of sight: %ls\n", *ppNames);
      ++nMissing;
    }
  }
  return nMissing;
}

// Presses Tab as the modal loop delivers it, many more times than the page has stops, and
// counts the page's keyboard controls the focus never reached.
int CountUnreachedByTab(SkinUI::CWindowHostUI& host, const wchar_t* const* ppNames) {
  std::set<std::wstring> reached;
  for (int i = 0; i < 30; ++i) {
    HWND hTarget = ::GetFocus() != nullptr ? ::GetFocus() : host.GetHostWindow();
    for (UINT uMsg : {WM_KEYDOWN, WM_KEYUP}) {
      MSG msg = {hTarget, uMsg, VK_TAB, uMsg == WM_KEYUP ? 0xC0000001 : 1};
      if (!SkinUI::CWindowHostUI::TranslateForHosts(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    PumpFor(20);
    if (SkinUI::CControlUI* pFocus = host.GetFocusControl()) reached.insert(pFocus->GetName().GetData());
  }
  int nUnreached = 0;
  for (; *ppNames != nullptr; ++ppNames) {
    if (reached.count(*ppNames) == 0) {
      std::fprintf(stderr, "Tab never reaches %ls\n", *ppNames);
      ++nUnreached;
    }
  }
  return nUnreached;
}

// The window's DPI, its size against the skin's (860 by 600) and the status bar's DPI line.
int CountDpiProblems(CGalleryWindow& window, UINT uExpected) {
  SkinUI::CWindowHostUI& host = window.GetWindowHost();
  int nProblems = 0;
  if (host.GetDpi() != uExpected) {
    std::fprintf(stderr, "drawn for %u DPI, not %u\n", host.GetDpi(), uExpected);
    ++nProblems;
  }
  RECT rc = {};
  ::GetClientRect(window, &rc);
  const int cx = ::MulDiv(860, static_cast<int>(uExpected), 96);
  const int cy = ::MulDiv(600, static_cast<int>(uExpected), 96);
  if (rc.right != cx || rc.bottom != cy) {
    std::fprintf(stderr, "window %ld x %ld, not %d x %d\n", rc.right, rc.bottom, cx, cy);
    ++nProblems;
  }
  wchar_t szLine[40];
  std::swprintf(szLine, 40, L"DPI %u (%u %%)", uExpected, (uExpected * 100 + 48) / 96);
  SkinUI::CControlUI* pLine = host.FindControlByName(L"dpi");
  if (pLine == nullptr || !(pLine->GetText() == szLine)) {
    std::fprintf(stderr, "the status bar does not say \"%ls\"\n", szLine);
    ++nProblems;
  }
  return nProblems;
}

// Shows each page the way a click on its tab does, checks its controls, saves its picture and
// walks it with Tab; then presses one button and checks that the program answered.
int SelfTest(CGalleryWindow& window, const wchar_t* pstrPicture, UINT uExpectedDpi) {
  SkinUI::CWindowHostUI& host = window.GetWindowHost();
  auto* pPages = static_cast<SkinUI::CTabLayoutUI*>(host.FindControlByName(L"pages"));
  if (pPages == nullptr) {
    std::fprintf(stderr, "the skin has no \"pages\"\n");
    return 1;
  }
  int nProblems = uExpectedDpi != 0 ? CountDpiProblems(window, uExpectedDpi) : 0;
  for (int i = 0; i < CGalleryWindow::kPageCount; ++i) {
    const CGalleryWindow::Page& page = CGalleryWindow::kPages[i];
    auto* pTab = static_cast<SkinUI::COptionUI*>(host.FindControlByName(page.pstrTab));
    if (pTab == nullptr || !pTab->Activate()) {
      std::fprintf(stderr, "tab %ls cannot be clicked\n", page.pstrTab);
      ++nProblems;
      continue;
    }
    // Painting lays the page out; the animation and the hosted windows get a moment too.
    PumpFor(700);
    if (pPages->GetCurSel() != i) {
      std::fprintf(stderr, "tab %ls shows page %d\n", page.pstrTab, pPages->GetCurSel());
      ++nProblems;
    }
    nProblems += CountMissingControls(host, page.ppControls);
    if (pstrPicture != nullptr &&
        !SaveWindowPicture(window, PagePicture(pstrPicture, page.pstrTab).c_str())) {
      ++nProblems;
    }
    // After the picture, which shows the page as the mouse left it, without a focus outline.
    nProblems += CountUnreachedByTab(host, page.ppKeyboard);
  }
  // Back on the first page, where the button is shown and so can be pressed.
  SkinUI::CControlUI* pFirstTab = host.FindControlByName(CGalleryWindow::kPages[0].pstrTab);
  if (pFirstTab != nullptr) pFirstTab->Activate();
  PumpFor(200);
  auto* pProgress = static_cast<SkinUI::CProgressUI*>(host.FindControlByName(L"progress"));
  auto* pSlider = static_cast<SkinUI::CSliderUI*>(host.FindControlByName(L"slider"));
  SkinUI::CControlUI* pButton = host.FindControlByName(L"btn_add");
  const int nBefore = pProgress != nullptr ? pProgress->GetValue() : 0;
  if (pProgress == nullptr || pSlider == nullptr || pButton == nullptr || !pButton->Activate() ||
      pProgress->GetValue() != nBefore + 10 || pSlider->GetValue() != nBefore + 10) {
    std::fprintf(stderr, "\"Add 10 %%\" did not move the bar and the slider from %d by 10\n",
                 nBefore);
    ++nProblems;
  }
  ::DestroyWindow(window);
  PumpFor(100);
  std::printf("gallery self-test: %d debug checks, %d other problems\n", g_nChecks, nProblems);
  return g_nChecks + nProblems;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const bool bSelfTest = argc >= 2 && ::lstrcmpW(argv[1], L"--selftest") == 0;
  if (bSelfTest) SkinUI::SetCheckReportProc(&CountCheck);

  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  ::InitCommonControlsEx(&icc);
  ::OleInitialize(nullptr);
  SkinUI::CWindowHostUI::SetModuleInstance(hInstance);
  SkinUI::RegisterAllControls();

  int nResult = 0;
  {
    CGalleryWindow window;
    // The skin gives the size; a skin that cannot be built ends the program in Create.
    if (window.Create(nullptr, L"skinui gallery", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                      0, 0) == nullptr) {
      nResult = 1;
    } else {
      window.CenterOnOwner();
      if (bSelfTest) {
        window.Show(true, true);
        const bool bDpi = argc >= 5 && ::lstrcmpW(argv[3], L"--dpi") == 0;
        nResult = SelfTest(window, argc >= 3 ? argv[2] : nullptr,
                           bDpi ? static_cast<UINT>(::_wtoi(argv[4])) : 0);
      } else {
        window.RunModal(true);
      }
    }
  }
  ::OleUninitialize();
  ::LocalFree(argv);
  return nResult;
}

// The control gallery. Run plainly it is a window to look at and click; with
// "--selftest FILE.bmp" it shows itself for a moment, saves a picture of itself and exits with
// the number of problems found (debug checks reported, controls missing).

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "GalleryWindow.h"
#include "Core/UIControl.h"
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

int SelfTest(CGalleryWindow& window, const wchar_t* pstrPicture) {
  int nProblems = 0;
  for (const wchar_t* const* ppName = CGalleryWindow::kControlNames; *ppName != nullptr; ++ppName) {
    SkinUI::CControlUI* pControl = window.Host().FindControlByName(*ppName);
    if (pControl == nullptr || !pControl->IsVisible()) {
      std::fprintf(stderr, "control missing: %ls\n", *ppName);
      ++nProblems;
    }
  }
  PumpFor(1500);
  if (pstrPicture != nullptr && !SaveWindowPicture(window, pstrPicture)) ++nProblems;
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

  int nResult = 0;
  {
    CGalleryWindow window;
    if (window.Create(nullptr, L"skinui gallery", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 40,
                      40, 720, 520) == nullptr) {
      std::fprintf(stderr, "the gallery skin could not be built\n");
      nResult = 1;
    } else if (bSelfTest) {
      window.Show(true, true);
      ::InvalidateRect(window, nullptr, FALSE);
      nResult = SelfTest(window, argc >= 3 ? argv[2] : nullptr);
    } else {
      window.RunModal(true);
    }
  }
  ::OleUninitialize();
  ::LocalFree(argv);
  return nResult;
}

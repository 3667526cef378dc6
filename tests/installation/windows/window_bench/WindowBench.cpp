// Start-up of a skinned installer window: from Create of the 620 x 240 main skin
// ("installation.xml", from the archive in this program's resources) to the end of its first
// paint, in-process. The platform's own start-up in the process (its first window and its
// first Chinese text, which under Wine load the display driver and the font cache) is timed
// first and apart. Then the first skinned window (nothing of the framework cached yet) and the
// median of the later ones are reported, split into what the creation handler spends (archive reading,
// parsing and building), the first paint, and the rest of the window's creation; then archive
// reading, parsing and building each timed alone. Beside the skinned windows, a native window
// of the same size and styles with a plain first paint is timed the same way: the floor.
//   bench_skinned_window.exe [windows, default 30]
// Figures are milliseconds.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "Control/UIControlCatalog.h"
#include "Core/UIControl.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UIManager.h"
#include "Core/UIMarkup.h"
#include "Core/UISkinArchive.h"
#include "resource.h"
#include "support/BenchTiming.h"
#include "windows/XMLWnd.h"

using SkinUI::CControlUI;
using SkinUI::CSkinBuilder;
using SkinUI::CWindowHostUI;
using bench_timing::NowMs;

namespace {

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The main window's skin in a bare installer window that notes when its creation handler and
// its first paint begin and end.
class TimedWindow : public CXMLWnd {
 public:
  TimedWindow() : CXMLWnd(L"installation.xml") {}
  double createStart = 0, createEnd = 0, paintStart = 0, paintEnd = 0;

 protected:
  LRESULT HandleCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override {
    createStart = NowMs();
    const LRESULT lRes = CXMLWnd::HandleCreate(uMsg, wParam, lParam, bHandled);
    createEnd = NowMs();
    return lRes;
  }
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    const bool bFirstPaint = uMsg == WM_PAINT && paintEnd == 0;
    if (bFirstPaint) paintStart = NowMs();
    const LRESULT lRes = CXMLWnd::ProcessMessage(uMsg, wParam, lParam);
    if (bFirstPaint) {
      GdiFlush();
      paintEnd = NowMs();
    }
    return lRes;
  }
};

struct WindowTimes {
  double total, create, paint;
};

WindowTimes TimeOneWindow() {
  TimedWindow window;
  const double start = NowMs();
  window.Create(nullptr, L"bench", 0x10CF0000, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT);
  UpdateWindow(window);
  WindowTimes times = {window.paintEnd - start, window.createEnd - window.createStart,
                       window.paintEnd - window.paintStart};
  DestroyWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  return times;
}

double MedianMs(int runs, const std::function<void()>& work) {
  work();
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    work();
    times.push_back(NowMs() - start);
  }
  return Median(times);
}

void Require(bool bOk, const char* pstrWhat) {
  if (bOk) return;
  std::fprintf(stderr, "failed: %s\n", pstrWhat);
  std::exit(1);
}

// What the creation handler does to the resource: find it, copy it out, open it as an archive.
void ReadArchive() {
  const HMODULE hModule = GetModuleHandleW(nullptr);
  const HRSRC hResource = FindResourceW(hModule, MAKEINTRESOURCEW(IDR_SKIN_ARCHIVE), L"ZIPRES");
  const HGLOBAL hGlobal = LoadResource(hModule, hResource);
  const DWORD dwSize = SizeofResource(hModule, hResource);
  void* pCopy = HeapAlloc(GetProcessHeap(), 0, dwSize);
  std::memcpy(pCopy, LockResource(hGlobal), dwSize);
  SkinUI::CSkinArchiveUI* pArchive = SkinUI::CSkinArchiveUI::OpenMemory(pCopy, dwSize);
  Require(pArchive != nullptr, "archive resource");
  delete pArchive;
  HeapFree(GetProcessHeap(), 0, pCopy);
}

// A plain native window with the skins' font measuring Chinese text: what every program pays
// once before its first window shows, skinned or not.
double StartPlatform() {
  const double start = NowMs();
  HWND hWnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 620, 240, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  HDC hDC = GetDC(hWnd);
  HFONT hFont = CreateFontW(-18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                            0, L"微软雅黑");
  HGDIOBJ hOld = SelectObject(hDC, hFont);
  SIZE size;
  GetTextExtentPoint32W(hDC, L"引导安装程序", 6, &size);
  SelectObject(hDC, hOld);
  DeleteObject(hFont);
  ReleaseDC(hWnd, hDC);
  DestroyWindow(hWnd);
  return NowMs() - start;
}

// The reference: a native window of the same size and styles whose first paint fills it white,
// from CreateWindowEx to the end of that paint. What any window costs here, skinned or not.
LRESULT CALLBACK PlainWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_PAINT) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  PAINTSTRUCT ps;
  HDC hDC = BeginPaint(hWnd, &ps);
  FillRect(hDC, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EndPaint(hWnd, &ps);
  GdiFlush();
  return 0;
}

double TimePlainWindow() {
  static const ATOM atom = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillBenchPlain";
    return RegisterClassW(&wc);
  }();
  Require(atom != 0, "plain window class");
  const double start = NowMs();
  HWND hWnd = CreateWindowExW(WS_EX_WINDOWEDGE, L"QuillBenchPlain", L"bench", 0x10CF0000, CW_USEDEFAULT,
                              CW_USEDEFAULT, 620, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  UpdateWindow(hWnd);
  const double elapsed = NowMs() - start;
  DestroyWindow(hWnd);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  const int windows = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;
  CWindowHostUI::SetModuleInstance(GetModuleHandleW(nullptr));
  SkinUI::RegisterAllControls();

  std::printf("platform start-up (first plain window and first Chinese text): %.2f\n\n",
              StartPlatform());
  // Interleaved with the skinned windows, so that a change in the machine's load touches both.
  std::vector<WindowTimes> all;
  std::vector<double> plain;
  for (int i = 0; i < windows; ++i) {
    all.push_back(TimeOneWindow());
    plain.push_back(TimePlainWindow());
  }
  std::vector<double> total, create, paint;
  for (size_t i = 1; i < all.size(); ++i) {
    total.push_back(all[i].total);
    create.push_back(all[i].create);
    paint.push_back(all[i].paint);
  }
  const WindowTimes& first = all.front();
  const WindowTimes later = {Median(total), Median(create), Median(paint)};
  std::printf("Create to end of first paint, 620 x 240 \"installation.xml\" from the resource archive\n");
  std::printf("%-24s %8s %16s %12s %8s\n", "", "total", "create handler", "first paint", "rest");
  for (const auto& row : {std::make_pair("first window", first),
                          std::make_pair("later windows (median)", later)}) {
    const WindowTimes& t = row.second;
    std::printf("%-24s %8.2f %16.2f %12.2f %8.2f\n", row.first, t.total, t.create, t.paint,
                t.total - t.create - t.paint);
  }
  plain.erase(plain.begin());
  std::printf("%-24s %8.2f   (a native window of the same size and styles, filled white)\n",
              "plain window (median)", Median(plain));

  // The windows above have made the resource archive the framework's skin archive.
  const double archive = MedianMs(50, ReadArchive);
  const double parse = MedianMs(50, [] {
    SkinUI::CSkinMarkup markup;
    Require(markup.ParseSkinFile(L"installation.xml", SkinUI::SkinTextEncoding::Utf8), "parse");
  });
  HWND hWnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 620, 240, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  CWindowHostUI host;
  const double parseAndBuild = MedianMs(50, [&] {
    host.AttachWindow(hWnd);
    CSkinBuilder builder;
    CControlUI* pRoot = builder.Build(L"installation.xml", nullptr, nullptr, &host);
    Require(pRoot != nullptr, "build");
    delete pRoot;
  });
  DestroyWindow(hWnd);
  const double build = parseAndBuild - parse;
  std::printf("\nalone (median of 50): archive reading %.3f, parsing %.3f, building %.3f\n",
              archive, parse, build);
  // A later window reads no archive: the copy of the resource and the open archive are kept.
  std::printf("first window %.2f: archive reading %.1f%%, parsing and building %.1f%%, first "
              "paint %.1f%%, the rest (native window) %.1f%%\n",
              first.total, 100 * archive / first.total, 100 * (first.create - archive) / first.total,
              100 * first.paint / first.total, 100 * (first.total - first.create - first.paint) / first.total);
  std::printf("later window %.2f: parsing %.1f%%, building %.1f%%, first paint %.1f%%, the rest "
              "(native window, host attachment) %.1f%%\n",
              later.total, 100 * parse / later.total, 100 * build / later.total,
              100 * later.paint / later.total,
              100 * (later.total - parse - build - later.paint) / later.total);
  return 0;
}

// List timings on a real 640 x 480 window under its window host: a list of text rows in three
// columns with a vertical scroll bar.
//   bench_list.exe [rows, default 10000] [pages, default 40]
// Figures: building the rows and the first layout and paint; scrolling by a page (the scroll
// itself) and painting that page (the window's WM_PAINT), each as mean and worst over the pages;
// heap bytes per row. Reference: a page scrolled and a page painted within 16 ms each, one frame
// at 60 Hz.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "Control/UIControlCatalog.h"
#include "Control/UIList.h"
#include "Control/UIListHeaderItem.h"
#include "Control/UIListTextElement.h"
#include "Core/UIManager.h"
#include "support/BenchTiming.h"

using namespace SkinUI;

namespace {

using bench_timing::NowMs;

// Live heap bytes allocated through operator new, counted in a header before each block.
long long g_nLiveBytes = 0;
const size_t kHeader = 16;

LRESULT CALLBACK BenchWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowHostUI* pHost = reinterpret_cast<CWindowHostUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (pHost != nullptr) {
    LRESULT lRes = 0;
    if (pHost->HandleWindowMessage(uMsg, wParam, lParam, lRes)) return lRes;
  }
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

struct Spread {
  double total = 0;
  double worst = 0;
  void Add(double ms) {
    total += ms;
    worst = std::max(worst, ms);
  }
};

}  // namespace

void* operator new(size_t cb) {
  unsigned char* p = static_cast<unsigned char*>(std::malloc(cb + kHeader));
  if (p == nullptr) throw std::bad_alloc();
  *reinterpret_cast<size_t*>(p) = cb;
  g_nLiveBytes += static_cast<long long>(cb);
  return p + kHeader;
}

void operator delete(void* pv) noexcept {
  if (pv == nullptr) return;
  unsigned char* p = static_cast<unsigned char*>(pv) - kHeader;
  g_nLiveBytes -= static_cast<long long>(*reinterpret_cast<size_t*>(p));
  std::free(p);
}

void operator delete(void* pv, size_t) noexcept { operator delete(pv); }
void* operator new[](size_t cb) { return operator new(cb); }
void operator delete[](void* pv) noexcept { operator delete(pv); }
void operator delete[](void* pv, size_t) noexcept { operator delete(pv); }

int main(int argc, char** argv) {
  SkinUI::RegisterAllControls();
  const int nRows = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int nPages = argc > 2 ? std::atoi(argv[2]) : 40;
  CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));

  WNDCLASSW wc = {};
  wc.lpfnWndProc = BenchWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuillListBench";
  ::RegisterClassW(&wc);
  HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP, 0, 0, 640, 480, nullptr,
                                nullptr, wc.hInstance, nullptr);
  CWindowHostUI* pHost = new CWindowHostUI;
  pHost->AttachWindow(hWnd);
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pHost));
  ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);

  const double tStart = NowMs();
  CListUI* pList = new CListUI;
  pList->ApplyAttribute(L"vscrollbar", L"true");
  for (int c = 0; c < 3; ++c) {
    CListHeaderItemUI* pColumn = new CListHeaderItemUI;
    pColumn->SetFixedWidth(200);
    pColumn->SetText((L"Column " + std::to_wstring(c)).c_str());
    pList->AddItem(pColumn);
  }
  const long long nBytesBefore = g_nLiveBytes;
  for (int r = 0; r < nRows; ++r) {
    CListTextElementUI* pRow = new CListTextElementUI;
    for (int c = 0; c < 3; ++c) {
      pRow->SetColumnText(c, (L"Row " + std::to_wstring(r) + L", column " + std::to_wstring(c)).c_str());
    }
    pList->AddItem(pRow);
  }
  const double nBytesPerRow = static_cast<double>(g_nLiveBytes - nBytesBefore) / nRows;
  pHost->AttachRoot(pList);
  ::UpdateWindow(hWnd);
  const double tBuilt = NowMs();

  Spread scroll;
  Spread paint;
  int nPainted = 0;
  for (int p = 0; p < nPages; ++p) {
    const double t0 = NowMs();
    pList->ScrollPageDown();
    const double t1 = NowMs();
    ::UpdateWindow(hWnd);
    ::GdiFlush();
    const double t2 = NowMs();
    scroll.Add(t1 - t0);
    paint.Add(t2 - t1);
    ++nPainted;
  }

  std::printf("rows: %d, pages scrolled: %d, scroll position %ld of %ld\n", nRows, nPainted,
              pList->GetScrollPosition().cy, pList->GetScrollRange().cy);
  std::printf("build (rows, first layout and paint): %.1f ms\n", tBuilt - tStart);
  std::printf("scroll a page: mean %.3f ms, worst %.3f ms (reference 16 ms)\n",
              scroll.total / nPainted, scroll.worst);
  std::printf("paint a page:  mean %.3f ms, worst %.3f ms (reference 16 ms)\n",
              paint.total / nPainted, paint.worst);
  std::printf("heap per row: %.0f bytes\n", nBytesPerRow);

  delete pHost;
  ::DestroyWindow(hWnd);
  return 0;
}

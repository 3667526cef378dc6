// Rich edit timings in a real 600 x 400 window with a vertical bar, on 100 KB of text (51,200
// UTF-16 characters, Chinese and Latin mixed, a paragraph break about every 80 characters):
//   - setting the text (the engine wraps it at once);
//   - scrolling one page down, the repaint included;
//   - repainting the whole window.
//   bench_richedit.exe [repetitions, default 5]
// Figures are milliseconds, the best of the repetitions; page and paint figures are the mean of
// 20 pages or paints within a repetition.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "Control/UIControlCatalog.h"
#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UIManager.h"
#include "support/BenchTiming.h"

namespace {

using bench_timing::NowMs;

const int kWidth = 600;
const int kHeight = 400;
const size_t kTextChars = 100 * 1024 / sizeof(wchar_t);
const int kRounds = 20;

// Best of `repetitions` runs of `work` after `prepare`, in milliseconds per round.
double BestMs(int repetitions, int rounds, const std::function<void()>& prepare,
              const std::function<void()>& work) {
  double best = 1e300;
  for (int r = 0; r < repetitions; ++r) {
    prepare();
    const double start = NowMs();
    for (int i = 0; i < rounds; ++i) work();
    best = std::min(best, (NowMs() - start) / rounds);
  }
  return best;
}

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto* pHost = reinterpret_cast<SkinUI::CWindowHostUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  LRESULT lRes = 0;
  if (pHost != nullptr && pHost->HandleWindowMessage(uMsg, wParam, lParam, lRes)) return lRes;
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

std::wstring BenchText() {
  const std::wstring sentence =
      L"Quillmere企业云盘已经安装，如果您需要升级请点击“确认”。The quick brown fox jumps. ";
  std::wstring text;
  while (text.size() < kTextChars) {
    text += sentence;
    if (text.size() % 80 < sentence.size()) text += L"\r\n";
  }
  text.resize(kTextChars);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  SkinUI::RegisterAllControls();
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuillRichEditBench";
  ::RegisterClassW(&wc);
  HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                                kHeight, nullptr, nullptr, wc.hInstance, nullptr);
  SkinUI::CWindowHostUI host;
  host.AttachWindow(hWnd);
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
  SkinUI::CSkinBuilder builder;
  host.AttachRoot(builder.Build(L"<Window><VerticalLayout><RichEdit name=\"edit\" "
                                L"vscrollbar=\"true\" bkcolor=\"#FFFFFFFF\"/></VerticalLayout>"
                                L"</Window>",
                                nullptr, nullptr, &host));
  ::UpdateWindow(hWnd);
  auto* pEdit = static_cast<SkinUI::CRichEditUI*>(
      host.FindControlByName(L"edit")->QueryNamedInterface(L"RichEdit"));
  if (pEdit == nullptr || pEdit->GetTextHost() == nullptr) {
    std::fprintf(stderr, "no rich edit engine\n");
    return 1;
  }
  auto repaint = [hWnd] { ::UpdateWindow(hWnd); };

  const std::wstring text = BenchText();
  const double setMs = BestMs(
      repetitions, 1, [pEdit] { pEdit->SetText(L""); }, [pEdit, &text] { pEdit->SetText(text.c_str()); });
  repaint();
  const int nChars = pEdit->GetText().GetLength();
  const double paintMs = BestMs(
      repetitions, kRounds, [] {}, [hWnd, &repaint] {
        ::InvalidateRect(hWnd, nullptr, FALSE);
        repaint();
      });
  const double pageMs = BestMs(
      repetitions, kRounds,
      [pEdit, &repaint] {
        pEdit->ScrollToTop();
        repaint();
      },
      [pEdit, &repaint] {
        pEdit->ScrollPageDown();
        repaint();
      });
  auto* pBar = pEdit->GetVerticalScrollBar();

  std::printf("rich edit, %d x %d window, %zu characters (%zu KB UTF-16), %d read back\n", kWidth,
              kHeight, text.size(), text.size() * sizeof(wchar_t) / 1024, nChars);
  std::printf("  scroll range %d px, position after the pages %d\n",
              pBar != nullptr ? pBar->GetScrollRange() : 0, pBar != nullptr ? pBar->GetScrollValue() : 0);
  std::printf("  set text        %9.2f ms\n", setMs);
  std::printf("  scroll a page   %9.2f ms (page down plus repaint)\n", pageMs);
  std::printf("  paint           %9.2f ms (whole window)\n", paintMs);
  ::DestroyWindow(hWnd);
  return 0;
}

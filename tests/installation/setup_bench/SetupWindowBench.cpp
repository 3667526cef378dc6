// The main setup window over a real download, in this process: the real CFrameMainUI on the
// real worker, watched but not changed, stopped when the package is ready (nothing is
// installed). Run by run-setup-bench.sh, never by ctest.
//   bench_setup_window.exe [--window] the main window
//   bench_setup_window.exe --bare     the reference: the same worker reporting to a bare
//                                     message window that only takes the figures
//   bench_setup_window.exe --flood    the main window while another thread also publishes
//                                     progress figures as fast as it can, during the download
//   bench_setup_window.exe --empty    the platform's own share: a plain window's first frame
//                                     and the working set of a process that shows one
// Prints one line of figures (milliseconds, seconds, MiB):
//   first_frame_since_start_ms first_frame_since_main_ms download_s ui_cpu_percent repaints
//   repaints_per_s progress_messages peak_ws_download_mib peak_ws_ready_mib
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <thread>

#include "Control/UIProgress.h"
#include "Core/UIManager.h"
#include "engine/FolderTree.h"
#include "engine/SetupConstants.h"
#include "engine/SetupWorker.h"
#include "support/BenchTiming.h"
#include "support/MessageWindow.h"
#include "windows/FrameMainUI.h"
#include "windows/SetupProgress.h"
#include "windows/SetupWindowObserver.h"
#include "windows/WindowConstants.h"

using bench_timing::FileTimeMs;
using bench_timing::NowMs;
using bench_timing::ProcessAgeMs;

namespace {

double g_mainStartMs = 0;

double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  return FileTimeMs(kernel) + FileTimeMs(user);
}

double PeakWorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
}

// The download is timed from the start of the setup (manifest included) to the full bar; the
// UI thread's time and the paints are counted in between.
struct Figures {
  double firstFrameSinceStart = -1, firstFrameSinceMain = -1;
  double downloadStart = 0, downloadEnd = 0, cpuStart = 0, cpuEnd = 0;
  long repaints = 0, messages = 0;
  double peakDownload = 0, peakReady = 0;
  bool ready = false;

  void OnSetupStarted() {
    downloadStart = NowMs();
    cpuStart = ThreadCpuMs();
  }
  // A progress message arrived; `percent` is what the bar shows.
  void OnProgress(int percent) {
    ++messages;
    OnBar(percent);
  }
  void OnBar(int percent) {
    if (percent >= 100 && downloadEnd == 0) {
      downloadEnd = NowMs();
      cpuEnd = ThreadCpuMs();
      peakDownload = PeakWorkingSetMiB();
    }
  }
  void Print() const {
    const double seconds = (downloadEnd - downloadStart) / 1000.0;
    printf("%.1f %.1f %.3f %.2f %ld %.1f %ld %.1f %.1f\n", firstFrameSinceStart, firstFrameSinceMain, seconds,
           seconds > 0 ? 100.0 * (cpuEnd - cpuStart) / (downloadEnd - downloadStart) : -1.0, repaints,
           seconds > 0 ? repaints / seconds : -1.0, messages, peakDownload, peakReady);
  }
};

class WatchedMainWindow : public CFrameMainUI {
 public:
  WatchedMainWindow(setup::SetupContext& context, Figures& figures)
      : CFrameMainUI(setup::kMainSkin, context), m_figures(figures) {}

 protected:
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == setup::WM_SETUP_PACKAGE_READY) {
      // Under a flood the transfer's own last figures may never be shown: the package's
      // arrival (checked and extracted) ends the download then.
      m_figures.OnBar(100);
      m_figures.peakReady = PeakWorkingSetMiB();
      m_figures.ready = true;
      Close(0);
      return 0;
    }
    const LRESULT lRes = CFrameMainUI::ProcessMessage(uMsg, wParam, lParam);
    if (uMsg == WM_PAINT) {
      if (m_figures.firstFrameSinceStart < 0) {
        m_figures.firstFrameSinceStart = ProcessAgeMs();
        m_figures.firstFrameSinceMain = NowMs() - g_mainStartMs;
      }
      if (m_figures.downloadStart != 0 && m_figures.downloadEnd == 0) ++m_figures.repaints;
    }
    // Figures arrive with the message or, paced, with the window's timer.
    if (uMsg == setup::WM_SETUP_PROGRESS) m_figures.OnProgress(m_pProgress->GetValue());
    if (uMsg == WM_TIMER && m_figures.downloadStart != 0) m_figures.OnBar(m_pProgress->GetValue());
    return lRes;
  }
  void OnWindowGone(HWND hWnd) override { CXMLWnd::OnWindowGone(hWnd); }  // the process goes on

 private:
  Figures& m_figures;
};

void RunMainWindow(setup::SetupContext& context, Figures& figures, bool flood) {
  auto* window = new WatchedMainWindow(context, figures);
  const HWND hWnd = window->Create(nullptr, L"bench", 0x10CF0000, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  figures.OnSetupStarted();  // the setup starts once the window is painted, in the loop below
  std::atomic<bool> stop{false};
  std::thread flooder;
  if (flood) {
    // Figures that never reach 100: only the real transfer ends the download.
    flooder = std::thread([&] {
      for (int i = 0; !stop; ++i) setup::g_setupProgress.Publish(hWnd, i % 99, "1.0/2.0 KB");
    });
  }
  window->RunModal(true);
  stop = true;
  if (flooder.joinable()) flooder.join();
  delete window;
}

void RunBareWindow(setup::SetupContext& context, Figures& figures) {
  testing_support::MessageWindow window;
  window.onMessage = [&](const testing_support::MessageWindow::Message& m) {
    if (m.msg == setup::WM_SETUP_PROGRESS) figures.OnProgress(setup::TakeSetupProgress().nPercent);
    if (m.msg == setup::WM_SETUP_PACKAGE_READY || m.msg == setup::WM_SETUP_ERROR) {
      figures.peakReady = PeakWorkingSetMiB();
      figures.ready = m.msg == setup::WM_SETUP_PACKAGE_READY;
    }
  };
  // The same observer the main window uses, reporting to a bare message window.
  static setup::CSetupWindowObserver* const observer = new setup::CSetupWindowObserver(setup::g_setupProgress);
  observer->Attach(window.hwnd());
  if (!setup::BeginSetup(context, observer, setup::SetupWorkerProc)) return;
  figures.OnSetupStarted();
  window.PumpUntil([&] { return figures.peakReady != 0; }, 1800000);
}

Figures* g_pEmptyFigures = nullptr;

LRESULT CALLBACK EmptyWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_PAINT) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hWnd, &paint);
  FillRect(hdc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EndPaint(hWnd, &paint);
  if (g_pEmptyFigures->firstFrameSinceStart < 0) {
    g_pEmptyFigures->firstFrameSinceStart = ProcessAgeMs();
    g_pEmptyFigures->firstFrameSinceMain = NowMs() - g_mainStartMs;
  }
  return 0;
}

// A plain window of the main window's size, painted white, shown for a moment.
void RunEmptyWindow(Figures& figures) {
  g_pEmptyFigures = &figures;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = EmptyWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchEmptyWindow";
  RegisterClassW(&wc);
  HWND hWnd = CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, 100, 100, 620, 240, nullptr,
                              nullptr, wc.hInstance, nullptr);
  testing_support::MessageWindow pump;
  pump.PumpFor(300);
  figures.peakDownload = figures.peakReady = PeakWorkingSetMiB();
  figures.ready = true;
  DestroyWindow(hWnd);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  g_mainStartMs = NowMs();
  SkinUI::CWindowHostUI::SetModuleInstance(GetModuleHandleW(nullptr));
  const bool bare = argc > 1 && wcscmp(argv[1], L"--bare") == 0;
  const bool empty = argc > 1 && wcscmp(argv[1], L"--empty") == 0;
  const bool flood = argc > 1 && wcscmp(argv[1], L"--flood") == 0;
  auto* context = new setup::SetupContext();  // the worker may outlive a failed run
  Figures figures;
  if (empty) {
    RunEmptyWindow(figures);
  } else if (bare) {
    RunBareWindow(*context, figures);
  } else {
    RunMainWindow(*context, figures, flood);
  }
  if (context->m_hWorker) WaitForSingleObject(context->m_hWorker, 600000);
  // The next run downloads afresh.
  if (context->m_szDataDir[0] != L'\0') setup::DeleteFolderTree(context->m_szDataDir);
  figures.Print();
  return figures.ready ? 0 : 1;
}

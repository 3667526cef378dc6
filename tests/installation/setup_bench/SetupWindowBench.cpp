// The main setup window over a real download, in this process: the real CFrameMainUI on the
// real worker, watched but not changed, stopped when the package is ready (nothing is
// installed). Run by run-setup-bench.sh, never by ctest.
//   bench_setup_window.exe            the main window
//   bench_setup_window.exe --bare     the reference: the same worker reporting to a bare
//                                     message window that only takes the figures
// Prints one line of figures (milliseconds, seconds, MiB):
//   first_frame_since_start_ms first_frame_since_main_ms download_s ui_cpu_percent repaints
//   repaints_per_s progress_messages peak_ws_download_mib peak_ws_ready_mib
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>

#include "Control/UIProgress.h"
#include "Core/UIManager.h"
#include "FolderTree.h"
#include "FrameMainUI.h"
#include "SetupConstants.h"
#include "SetupProgress.h"
#include "SetupWorker.h"
#include "support/BenchTiming.h"
#include "support/MessageWindow.h"

using bench_timing::NowMs;

namespace {

double g_mainStartMs = 0;

double FileTimeMs(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;
}

// Milliseconds since the process was created, by the system's clock.
double ProcessAgeMs() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  return FileTimeMs(now) - FileTimeMs(created);
}

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

// The download is timed from the first figures to the full bar; the UI thread's time and the
// paints are counted in between.
struct Figures {
  double firstFrameSinceStart = -1, firstFrameSinceMain = -1;
  double downloadStart = 0, downloadEnd = 0, cpuStart = 0, cpuEnd = 0;
  long repaints = 0, messages = 0;
  double peakDownload = 0, peakReady = 0;
  bool ready = false;

  // A progress message arrived; `percent` is what the bar shows.
  void OnProgress(int percent) {
    ++messages;
    OnBar(percent);
  }
  void OnBar(int percent) {
    if (downloadStart == 0) {
      downloadStart = NowMs();
      cpuStart = ThreadCpuMs();
    }
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

void RunMainWindow(setup::SetupContext& context, Figures& figures) {
  auto* window = new WatchedMainWindow(context, figures);
  window->Create(nullptr, L"bench", 0x10CF0000, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                 CW_USEDEFAULT, nullptr);
  window->RunModal(true);
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
  if (!setup::BeginSetup(context, window.hwnd(), setup::SetupWorkerProc)) return;
  window.PumpUntil([&] { return figures.peakReady != 0; }, 1800000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  g_mainStartMs = NowMs();
  SkinUI::CWindowHostUI::SetModuleInstance(GetModuleHandleW(nullptr));
  const bool bare = argc > 1 && wcscmp(argv[1], L"--bare") == 0;
  auto* context = new setup::SetupContext();  // the worker may outlive a failed run
  Figures figures;
  if (bare) {
    RunBareWindow(*context, figures);
  } else {
    RunMainWindow(*context, figures);
  }
  if (context->m_hWorker) WaitForSingleObject(context->m_hWorker, 600000);
  // The next run downloads afresh.
  setup::DeleteFolderTree(context->m_szDataDir);
  figures.Print();
  return figures.ready ? 0 : 1;
}

// Package transfer throughput: DownloadPackage run the way the worker runs it, reporting to
// the installer windows' observer, with a message window on this thread taking every
// progress message the way the main window will. Run by run-download-bench.sh, never by ctest.
//   package_download_bench.exe ADDRESS OUTPUT_PATH
// Prints one line: "bytes=N seconds=S bytes_per_second=B progress_messages=M
// messages_per_second=R result=C".
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "engine/HttpFetch.h"
#include "engine/SetupContext.h"
#include "support/MessageWindow.h"
#include "windows/SetupProgress.h"
#include "windows/SetupWindowObserver.h"

#include <curl/curl.h>

using namespace setup;

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: package_download_bench ADDRESS OUTPUT_PATH\n");
    return 2;
  }
  char address[1024];
  WideCharToMultiByte(CP_ACP, 0, argv[1], -1, address, sizeof address, nullptr, nullptr);
  const wchar_t* output = argv[2];

  testing_support::MessageWindow window;
  long taken = 0;
  window.onMessage = [&](const testing_support::MessageWindow::Message& m) {
    if (m.msg != WM_SETUP_PROGRESS) return;
    TakeSetupProgress();
    ++taken;
  };
  CSetupWindowObserver observer(g_setupProgress);
  observer.Attach(window.hwnd());
  SetupContext context;
  context.m_pObserver = &observer;
  g_setupProgress.Reset();
  context.m_bRunning = true;
  curl_global_init(CURL_GLOBAL_ALL);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::atomic<bool> done{false};
  int result = 0;
  QueryPerformanceCounter(&start);
  std::thread worker([&] {
    result = DownloadPackage(address, output, &context, false);
    done = true;
  });
  window.PumpUntil([&] { return done.load(); }, 600000);
  worker.join();
  QueryPerformanceCounter(&end);
  window.PumpFor(50);

  const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  const int64_t bytes = MeasureFile(output);
  const long posted = g_setupProgress.PostedCount();
  printf("bytes=%lld seconds=%.4f bytes_per_second=%.0f progress_messages=%ld messages_per_second=%.1f "
         "taken=%ld result=%d\n",
         static_cast<long long>(bytes), seconds, bytes / seconds, posted, posted / seconds, taken, result);
  curl_global_cleanup();
  return result == 0 ? 0 : 1;
}

#pragma once
// Download progress handed from the worker thread to the main window's thread.
//
// The worker publishes the latest figures and posts WM_SETUP_PROGRESS to the window only
// when no such message is waiting; the window takes the figures when the message arrives.
// However fast the transfer calls back, at most one message is in the window's queue and
// the window always shows the newest figures.

#include <windows.h>

#include <atomic>
#include <mutex>

namespace setup {

// Posted to the notify window; wParam and lParam are 0. The window answers with
// TakeSetupProgress and applies the figures to its progress bar and size label.
inline constexpr UINT WM_SETUP_PROGRESS = WM_USER + 1002;

inline constexpr int kSizeTextBytes = 64;  // "%.1f/%.1f KB" of two 64-bit byte counts fits

struct ProgressFigures {
  int nPercent = 0;
  char szSizeText[kSizeTextBytes] = {};  // "received/total KB", ASCII
};

class SetupProgress {
 public:
  // Worker side: keeps the figures and posts WM_SETUP_PROGRESS unless one is still waiting.
  // True when a message was posted by this call.
  bool Publish(HWND window, int percent, const char* sizeText);

  // Window side: the latest figures. After this call the next Publish posts again.
  ProgressFigures Take();

  // Forgets figures and the waiting message (a new run, or a window that was never told).
  void Reset();

  // Messages posted since the last Reset; for measurements.
  long PostedCount() const { return m_nPosted.load(); }

 private:
  std::mutex m_lock;  // guards m_latest only; held for a copy of a few bytes
  ProgressFigures m_latest;
  std::atomic<bool> m_bMessageWaiting{false};
  std::atomic<long> m_nPosted{0};
};

// The one progress channel of the process, like the one setup run it belongs to. It is never
// destroyed: a worker still transferring while the process ends publishes into it after the
// runtime's exit handlers have run.
extern SetupProgress& g_setupProgress;

inline ProgressFigures TakeSetupProgress() { return g_setupProgress.Take(); }

}  // namespace setup

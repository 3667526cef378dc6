#include "windows/SetupProgress.h"

#include <cstring>

namespace setup {

SetupProgress& g_setupProgress = *new SetupProgress();

bool SetupProgress::Publish(HWND window, int percent, const char* sizeText) {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_latest.nPercent = percent;
    strncpy(m_latest.szSizeText, sizeText ? sizeText : "", kSizeTextBytes - 1);
    m_latest.szSizeText[kSizeTextBytes - 1] = '\0';
  }
  if (m_bMessageWaiting.exchange(true)) return false;  // the waiting message will carry these
  if (!PostMessageW(window, WM_SETUP_PROGRESS, 0, 0)) {
    // No window (or its queue is gone): nothing is waiting, so a later call may try again.
    m_bMessageWaiting.store(false);
    return false;
  }
  ++m_nPosted;
  return true;
}

ProgressFigures SetupProgress::Take() {
  // Cleared before the copy: figures published after this point post a fresh message, so
  // none are stranded between the copy and the clear.
  m_bMessageWaiting.store(false);
  std::lock_guard<std::mutex> hold(m_lock);
  return m_latest;
}

void SetupProgress::Reset() {
  std::lock_guard<std::mutex> hold(m_lock);
  m_latest = ProgressFigures();
  m_bMessageWaiting.store(false);
  m_nPosted.store(0);
}

}  // namespace setup

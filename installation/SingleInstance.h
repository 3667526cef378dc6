#pragma once
// One installer at a time on the machine: two would download into the same package file
// and run the same installers over each other. The first one holds a named mutex in the
// global namespace (seen from every session); a second one brings the first one's window
// to the front and ends.

#include <windows.h>

#include "Common/tool.h"

namespace setup {

class SingleInstance {
 public:
  SingleInstance() = default;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Claims the name for this process, for as long as the object lives (or the process
  // runs). False when another process holds it already, or holds it in a way this one may
  // not even open.
  bool Claim(const wchar_t* name);

 private:
  ScopedHandle m_mutex;
};

// Finds the running installer's window among the visible top-level windows: one of the
// class with the title, else any of the class (a message box or prompt it shows), and
// brings it to the front, restored when minimised. The other installer may not have made its
// window yet, so it is looked for until `waitMs` has passed. The window, or null.
HWND BringRunningInstallerToFront(const wchar_t* windowClass, const wchar_t* title, DWORD waitMs);

}  // namespace setup

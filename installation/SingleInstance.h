#pragma once
// One installer at a time on the machine: two would download into the same package file
// and run the same installers over each other. The first one holds a named mutex in the
// global namespace (seen from every session); a second one brings the first one's window
// to the front and ends. Any program of any user can create that name first, so the name
// alone proves nothing: its holder counts as an installer only when the object is one an
// installer makes, and a running installer only when one of its windows answers.

#include <windows.h>

#include "Common/tool.h"

namespace setup {

class SingleInstance {
 public:
  SingleInstance() = default;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Claims the name for this process, for as long as the object lives (or the process
  // runs), as an object that only SYSTEM and Administrators may open. False when the name is
  // held already (or names another kind of object); HeldByInstaller then says by whom.
  bool Claim(const wchar_t* name);

  // After a failed claim: whether the object under the name is one an installer makes (see
  // IsInstallerObjectSecurity). An object this process may not even read, or of another
  // kind, is not.
  bool HeldByInstaller() const { return m_bHeldByInstaller; }

 private:
  ScopedHandle m_mutex;
  bool m_bHeldByInstaller = false;
};

// The security an installer gives the name: owned by Administrators, and a protected list
// that grants SYSTEM and Administrators alone. Freed with LocalFree; null when it cannot be
// built.
PSECURITY_DESCRIPTOR NewInstanceSecurity();

// Whether a named object with this security can be an installer's: its owner is SYSTEM or
// Administrators, which only an elevated program can name, and its list grants nothing to
// anyone else, so no one else can keep it alive by holding it open.
bool IsInstallerObjectSecurity(PSECURITY_DESCRIPTOR security);

// Finds the running installer's window among the top-level windows of other processes: a
// visible one of the class with the title, else a visible one of the class (a message box or
// prompt it shows), else a hidden one of the class (its main window while the installers' own
// windows are up, or a quiet installer's marker). The other installer may not have made its
// window yet, so it is looked for until `waitMs` has passed. The window, or null.
HWND FindRunningInstallerWindow(const wchar_t* windowClass, const wchar_t* title, DWORD waitMs);

// The window FindRunningInstallerWindow finds, brought to the front and restored when
// minimised if it is visible; a hidden one is left as it is.
HWND BringRunningInstallerToFront(const wchar_t* windowClass, const wchar_t* title, DWORD waitMs);

// The start-up's answer to a name it could not claim. False when a running installer
// answers with a window (brought to the front as above): this one ends. True, with a line in
// the setup log, when this one goes on as the only installer: the name's holder is no
// installer and no installer window is up, or the holder may be one but no window of it
// answered within `waitMs`.
bool GoOnBesideNameHolder(const SingleInstance& instance, const wchar_t* windowClass, const wchar_t* title,
                          DWORD waitMs);

}  // namespace setup

#pragma once
// Registry scans and string helpers shared by the installation steps.

#include <windows.h>

#include <functional>
#include <string>

namespace setup {

// Registry views. The client in the field is a 32-bit program: on a 64-bit system its
// package writes its keys and its uninstall entry to the 32-bit view, and a 64-bit package
// of it to the other. Both are searched, the 32-bit view first, and what is found is acted
// on in the view it was found in, whichever build of the installer reads them. The x86
// runtime registers in the 32-bit view of the uninstall list. (The flags are ignored on a
// 32-bit system, where both entries name the one view.)
inline constexpr REGSAM kClientRegistryViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
inline constexpr REGSAM kRuntimeRegistryView = KEY_WOW64_32KEY;

// Owns an open registry key; closes it when it goes.
class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() { Close(); }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  // Opens root\path; false (and nothing held) when it cannot.
  bool Open(HKEY root, const wchar_t* path, REGSAM access);
  void Close();
  HKEY get() const { return m_hKey; }

 private:
  HKEY m_hKey = nullptr;
};

// Owns a kernel handle (process, thread, token, snapshot); closes it when it goes.
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : m_hHandle(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE get() const { return m_hHandle; }
  HANDLE* receive() { reset(); return &m_hHandle; }
  // Gives the handle up without closing it.
  HANDLE release() {
    HANDLE handle = m_hHandle;
    m_hHandle = nullptr;
    return handle;
  }
  bool valid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }
  void reset(HANDLE handle = nullptr);

 private:
  HANDLE m_hHandle = nullptr;
};

// Reads a string value (REG_SZ or REG_EXPAND_SZ, not expanded) whatever its stored length.
// A value stored without its terminator still comes back as exactly its characters, and
// one cut off by an embedded terminator ends there. False when the value is missing, is not
// a string, or keeps changing size while it is read.
bool ReadRegistryString(HKEY key, const wchar_t* name, std::wstring& value);

// The same, for root\path opened with read access (plus `view`, e.g. KEY_WOW64_32KEY).
bool ReadRegistryString(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring& value,
                        REGSAM view = 0);

// Calls `visit` with each sub-key of root\path (opened with `access`) that can be opened
// for reading, in enumeration order, until `visit` returns true. Sub-keys that cannot be
// opened are passed over. Returns whether a visit returned true; false also when root\path
// cannot be opened.
bool FindSubkey(HKEY root, const wchar_t* path, REGSAM access,
                const std::function<bool(HKEY subkey)>& visit);

// Reads the value from the first client registry view in which root\path has it; `view`,
// when given, gets that view.
bool ReadClientRegistryString(const wchar_t* path, const wchar_t* name, std::wstring& value,
                              REGSAM* view = nullptr);

// Whether the text is exactly one braced Windows Installer product code,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in hexadecimal digits: what may follow "/x" on
// an uninstall command line without adding anything else to it.
bool IsProductCode(const std::wstring& text);

// Case-insensitive comparison of two texts in the invariant locale.
bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b);

// The text as UTF-8 (for the setup log, whose other lines are ASCII).
std::string Utf8Text(const std::wstring& text);
// UTF-8 text as a wide string.
std::wstring WideText(const std::string& utf8);

// The text without the spaces, tabs and line breaks around it.
std::string TrimmedText(const std::string& text);

// The text from its first "{" to the end; the whole text when it has no "{".
std::wstring TextFromFirstBrace(const std::wstring& text);

// The string resource `id` of `module`; empty when the module has no such string.
std::wstring LoadStringResource(HINSTANCE module, UINT id);

// The system folder (GetSystemDirectoryW), without a trailing separator; empty when the
// platform cannot tell.
std::wstring SystemFolder();

}  // namespace setup

#pragma once
// The small application layer the installer starts on: one application object per
// process with a start-up override, a per-user settings key, the main window registration,
// string resources and the switch that prepares the process to host ActiveX controls.

#include <windows.h>

#include <string>

class CWinAppEx {
 public:
  CWinAppEx();
  virtual ~CWinAppEx();
  CWinAppEx(const CWinAppEx&) = delete;
  CWinAppEx& operator=(const CWinAppEx&) = delete;

  // Start-up override. When it returns FALSE the process ends without a message loop.
  virtual BOOL InitInstance();
  // Clean-up; its result is the process exit code.
  virtual int ExitInstance();

  // Runs start-up and, when that succeeds, the message loop; returns the exit code.
  int Run(HINSTANCE instance);

  // Names the per-user settings key "Software\<company>\<application>". Nothing is written
  // until a setting is stored.
  void SetRegistryKey(const wchar_t* company);
  const std::wstring& GetRegistryKey() const { return m_strRegistryKey; }
  const std::wstring& GetProfileName() const { return m_strProfileName; }
  // Opens (creating it when missing) the per-user settings key; null on failure.
  HKEY OpenAppSettingsKey() const;

  // Prepares the process to host ActiveX controls (OLE on this thread).
  void EnableActiveXContainer();
  bool IsActiveXContainerEnabled() const { return m_bOleInitialized; }

  void SetMainWindow(HWND window) { m_hMainWnd = window; }
  HWND GetMainWindow() const { return m_hMainWnd; }

  HINSTANCE GetInstance() const { return m_hInstance; }
  void SetInstance(HINSTANCE instance) { m_hInstance = instance; }
  std::wstring LoadStringResource(UINT id) const;

  // The process's application object, or null before one exists.
  static CWinAppEx* GetApp();

 private:
  HINSTANCE m_hInstance = nullptr;
  HWND m_hMainWnd = nullptr;
  std::wstring m_strRegistryKey;
  std::wstring m_strProfileName;
  bool m_bOleInitialized = false;
};

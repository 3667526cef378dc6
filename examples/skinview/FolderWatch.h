#pragma once
// The platform's change notifications for a folder and every folder below it, turned into a
// message to a window: a thread waits for any of them to change and posts the message for each
// change it is told of. No polling: between changes the thread sleeps in the wait.

#include <windows.h>

#include <string>
#include <vector>

class CFolderWatch {
 public:
  CFolderWatch() = default;
  ~CFolderWatch();
  CFolderWatch(const CFolderWatch&) = delete;
  CFolderWatch& operator=(const CFolderWatch&) = delete;

  // Watches file and folder names, sizes and write times in pstrFolder and the folders below
  // it; false when the platform refuses (the folder is gone, or its file system tells nothing).
  bool Start(LPCWSTR pstrFolder, HWND hWnd, UINT uMessage);
  void Stop();

 private:
  // One wait handle per folder, at most what one wait takes beside the stop event; a folder
  // made or removed later is found by the next arming, which every change causes.
  bool Arm();
  void Disarm();
  static DWORD WINAPI Run(LPVOID pParam);

  std::wstring m_folder;
  std::vector<HANDLE> m_changes;
  HANDLE m_hStop = nullptr;
  HANDLE m_hThread = nullptr;
  HWND m_hWnd = nullptr;
  UINT m_uMessage = 0;
};

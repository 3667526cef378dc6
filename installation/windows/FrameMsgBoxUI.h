#pragma once
// CFrameMsgBoxUI: the small skinned box that tells the user why the setup stopped, and
// ShowSetupError, which shows it over the main window and then closes that window.

#include <windows.h>

#include <string>

#include "windows/XMLWnd.h"

class CFrameMsgBoxUI : public CXMLWnd {
 public:
  explicit CFrameMsgBoxUI(LPCWSTR pstrSkinFile);

 protected:
  // The box owns itself once created: it goes with its window.
  void OnWindowGone(HWND hWnd) override;
  // It opens on its one button, which dismisses it, and tells its message unasked.
  void OnSkinLoaded() override;
};

// Shows the program's string `nStringId` (an id without a string shows an empty text) in a
// message box over `hMainWnd`, waits until the user dismisses it, then posts WM_CLOSE to
// `hMainWnd`. When the box cannot be made the main window stays open.
void ShowSetupError(HWND hMainWnd, UINT nStringId);

// The same with a text of its own (a string formatted with what the run found out).
void ShowSetupMessage(HWND hMainWnd, const std::wstring& text);

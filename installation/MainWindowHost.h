#pragma once
// What start-up needs of the main setup window: the native window operations it drives,
// in the order it drives them.

#include <windows.h>

class IMainSetupWindow {
 public:
  virtual ~IMainSetupWindow() = default;
  virtual HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                      int cx, int cy, HMENU menu) = 0;
  virtual void CenterOnOwner() = 0;
  virtual void SetWindowIcon(UINT iconId) = 0;
  virtual UINT RunModal(bool enableOwner) = 0;
  virtual HWND GetHWND() const = 0;
};

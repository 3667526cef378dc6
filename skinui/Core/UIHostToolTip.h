#pragma once
// The tooltip window of one window host: created on first use, owned by the host window, one
// tool that follows the control under the mouse.

#include <windows.h>
#include <commctrl.h>

#include "Utils/UIString.h"

namespace SkinUI {

class CHostToolTip {
 public:
  CHostToolTip() = default;
  ~CHostToolTip();
  CHostToolTip(const CHostToolTip&) = delete;
  CHostToolTip& operator=(const CHostToolTip&) = delete;

  // How long the mouse rests before a hover is reported: the tooltip's own initial delay once
  // the window exists.
  DWORD HoverTime() const;
  // Shows pstrText over rcTool (client coordinates of hWndOwner), at most nMaxWidth pixels wide.
  void Show(HWND hWndOwner, HINSTANCE hInstance, LPCWSTR pstrText, const RECT& rcTool,
            int nMaxWidth);
  void Hide();
  void Destroy();

 private:
  HWND m_hWnd = nullptr;
  TOOLINFOW m_tool = {};
  // The tool record points at the text it shows: it lives as long as the record.
  CUIString m_sText;
  // Applied when the window is created; -1 leaves the window's own.
  int m_iMaxWidth = -1;
};

}  // namespace SkinUI

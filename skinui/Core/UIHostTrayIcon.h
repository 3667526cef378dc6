#pragma once
// A window's notification-area icon: added from an icon resource, its tip kept across a
// re-add, and taken off the notification area when the record goes.

#include <windows.h>
#include <shellapi.h>

namespace SkinUI {

class CTrayIcon {
 public:
  static const UINT kCallbackMessage = 0x0803;

  CTrayIcon();
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // Shows icon resource nIconId of hInstance for hWnd; a tip set before stays with it.
  bool Add(HWND hWnd, HINSTANCE hInstance, UINT nIconId);
  // At most 127 characters; an icon already shown is updated.
  void SetTip(LPCWSTR pstrText);
  bool IsShown() const { return m_bShown; }
  // Takes the icon off the notification area and returns the record to its initial state.
  void Reset();

 private:
  NOTIFYICONDATAW m_data;
  bool m_bShown;
};

}  // namespace SkinUI

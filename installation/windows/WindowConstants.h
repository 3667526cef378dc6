#pragma once
// The installer's windows: their class, their skins, and the messages that carry a setup
// run's outcome to the main window (SetupWindowObserver.h posts them).

#include <windows.h>

namespace setup {

inline constexpr const wchar_t* kWindowClassName = L"QMWnd";
inline constexpr const wchar_t* kMainSkin = L"installation.xml";
inline constexpr const wchar_t* kMessageBoxSkin = L"msgbox.xml";
inline constexpr const wchar_t* kUninstallPromptSkin = L"uninstall_tip.xml";
inline constexpr const wchar_t* kProxyLoginSkin = L"proxy_login.xml";
// The controls every skin has in its title bar, and the one that tells each window's message.
inline constexpr const wchar_t* kTitleControlName = L"titlename";
inline constexpr const wchar_t* kCloseButtonName = L"closebtn";
inline constexpr const wchar_t* kMessageControlName = L"main_txt";

inline constexpr UINT WM_SETUP_PACKAGE_READY = WM_USER + 1000;  // 2024
inline constexpr UINT WM_SETUP_ERROR = WM_USER + 1001;          // 2025, wParam = the string to show
// Sent (not posted) by the worker when a proxy asks for a login; lParam = ProxyLoginRequest*.
inline constexpr UINT WM_SETUP_PROXY_LOGIN = WM_USER + 1003;

}  // namespace setup

#pragma once
// What installer_instance.exe (InstallerInstance.cpp) tells the test that started it.

namespace instance_test {

// The main window's title, as the installer's string resource gives it ("引导安装程序").
inline constexpr const wchar_t* kMainTitle = L"\u5F15\u5BFC\u5B89\u88C5\u7A0B\u5E8F";

// Argument: only show the window, until it is closed.
inline constexpr const wchar_t* kIdleArgument = L"--idle";

// Exit codes.
inline constexpr int kRanToTheEnd = 0;         // this one ran the setup (or stood idle) until its window closed
inline constexpr int kBroughtToFront = 10;     // another one ran; its window is now the foreground window
inline constexpr int kFoundButNotInFront = 11;  // another one ran; its window could not be brought to the front
inline constexpr int kSetupFailed = 20;        // this one ran the setup, which reported an error

}  // namespace instance_test

#include "Core/UIHostTrayIcon.h"

namespace SkinUI {

CTrayIcon::CTrayIcon() : m_data(), m_bShown(false) { Reset(); }

CTrayIcon::~CTrayIcon() { Reset(); }

bool CTrayIcon::Add(HWND hWnd, HINSTANCE hInstance, UINT nIconId) {
  if (m_bShown) ::Shell_NotifyIconW(NIM_DELETE, &m_data);
  m_data.hWnd = hWnd;
  m_data.uID = nIconId;
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_data.hIcon = ::LoadIconW(hInstance, MAKEINTRESOURCEW(nIconId));
  m_bShown = ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
  return m_bShown;
}

void CTrayIcon::SetTip(LPCWSTR pstrText) {
  ::lstrcpynW(m_data.szTip, pstrText != nullptr ? pstrText : L"", 128);
  if (!m_bShown) return;
  m_data.uFlags = NIF_TIP;
  ::Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

void CTrayIcon::Reset() {
  if (m_bShown) ::Shell_NotifyIconW(NIM_DELETE, &m_data);
  m_bShown = false;
  m_data = NOTIFYICONDATAW();
  m_data.cbSize = NOTIFYICONDATAW_V3_SIZE;
  m_data.uCallbackMessage = kCallbackMessage;
}

}  // namespace SkinUI

#include "Core/UIHostToolTip.h"

namespace SkinUI {

namespace {

const DWORD kDefaultHoverTime = 1000;  // ms

}  // namespace

CHostToolTip::~CHostToolTip() { Destroy(); }

DWORD CHostToolTip::HoverTime() const {
  if (m_hWnd == nullptr) return kDefaultHoverTime;
  return static_cast<DWORD>(::SendMessageW(m_hWnd, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
}

void CHostToolTip::Show(HWND hWndOwner, HINSTANCE hInstance, LPCWSTR pstrText,
                        const RECT& rcTool, int nMaxWidth) {
  m_sText = pstrText;
  m_tool.cbSize = TTTOOLINFOW_V1_SIZE;
  m_tool.uFlags = TTF_IDISHWND;
  m_tool.hwnd = hWndOwner;
  m_tool.uId = reinterpret_cast<UINT_PTR>(hWndOwner);
  m_tool.hinst = hInstance;
  m_tool.lpszText = const_cast<LPWSTR>(m_sText.GetData());
  m_tool.rect = rcTool;
  if (m_hWnd == nullptr) {
    m_hWnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               hWndOwner, nullptr, hInstance, nullptr);
    if (m_hWnd == nullptr) return;
    if (m_iMaxWidth >= 0) {
      m_iMaxWidth =
          static_cast<int>(::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, m_iMaxWidth));
    }
    ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_tool));
  }
  ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, nMaxWidth);
  ::SendMessageW(m_hWnd, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_tool));
  ::SendMessageW(m_hWnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_tool));
}

void CHostToolTip::Hide() {
  if (m_hWnd != nullptr) {
    ::SendMessageW(m_hWnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_tool));
  }
}

void CHostToolTip::Destroy() {
  if (m_hWnd != nullptr) {
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
  }
}

}  // namespace SkinUI

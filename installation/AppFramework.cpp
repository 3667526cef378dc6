#include "AppFramework.h"

#include <ole2.h>

#include <cwchar>

#include "Common/tool.h"

namespace {
CWinAppEx* g_pApp = nullptr;

std::wstring ModuleBaseName(HINSTANCE instance) {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"application";
  std::wstring name(path);
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}
}  // namespace

CWinAppEx::CWinAppEx() { g_pApp = this; }

CWinAppEx::~CWinAppEx() {
  if (m_bOleInitialized) OleUninitialize();
  if (g_pApp == this) g_pApp = nullptr;
}

CWinAppEx* CWinAppEx::GetApp() { return g_pApp; }

BOOL CWinAppEx::InitInstance() { return TRUE; }

int CWinAppEx::ExitInstance() { return 0; }

int CWinAppEx::Run(HINSTANCE instance) {
  m_hInstance = instance;
  if (!InitInstance()) return ExitInstance();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ExitInstance();
  return static_cast<int>(msg.wParam);
}

void CWinAppEx::SetRegistryKey(const wchar_t* company) {
  m_strRegistryKey = company ? company : L"";
  m_strProfileName = ModuleBaseName(m_hInstance);
}

HKEY CWinAppEx::OpenAppSettingsKey() const {
  if (m_strRegistryKey.empty()) return nullptr;
  const std::wstring path = L"Software\\" + m_strRegistryKey + L"\\" + m_strProfileName;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

void CWinAppEx::EnableActiveXContainer() {
  if (m_bOleInitialized) return;
  m_bOleInitialized = SUCCEEDED(OleInitialize(nullptr));
}

std::wstring CWinAppEx::LoadStringResource(UINT id) const {
  return setup::LoadStringResource(m_hInstance, id);
}

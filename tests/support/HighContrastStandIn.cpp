#include "support/HighContrastStandIn.h"

namespace testing_support {

namespace {

typedef BOOL(WINAPI* SystemParametersProc)(UINT uiAction, UINT uiParam, PVOID pvParam,
                                           UINT fWinIni);

SystemParametersProc g_pfnReal = nullptr;
bool g_bOn = false;

BOOL CALLBACK SendSettingChange(HWND hWnd, LPARAM /*lParam*/) {
  ::SendMessageW(hWnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  return TRUE;
}

BOOL WINAPI StandIn(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  if (uiAction != SPI_GETHIGHCONTRAST && uiAction != SPI_SETHIGHCONTRAST) {
    return g_pfnReal(uiAction, uiParam, pvParam, fWinIni);
  }
  auto* pInfo = static_cast<HIGHCONTRASTW*>(pvParam);
  if (pInfo == nullptr || pInfo->cbSize != sizeof(HIGHCONTRASTW)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (uiAction == SPI_GETHIGHCONTRAST) {
    pInfo->dwFlags = HCF_AVAILABLE | (g_bOn ? HCF_HIGHCONTRASTON : 0);
    pInfo->lpszDefaultScheme = nullptr;
    return TRUE;
  }
  g_bOn = (pInfo->dwFlags & HCF_HIGHCONTRASTON) != 0;
  if ((fWinIni & SPIF_SENDCHANGE) != 0) {
    ::EnumThreadWindows(::GetCurrentThreadId(), SendSettingChange, 0);
  }
  return TRUE;
}

// The slot of this program's import address table that holds pfnTarget, or null.
void** ImportSlot(void* pfnTarget) {
  BYTE* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
  const auto* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
  const auto* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* pImport = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
       pImport->Name != 0; ++pImport) {
    for (auto* pThunk = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->FirstThunk);
         pThunk->u1.Function != 0; ++pThunk) {
      if (reinterpret_cast<void*>(pThunk->u1.Function) == pfnTarget) {
        return reinterpret_cast<void**>(&pThunk->u1.Function);
      }
    }
  }
  return nullptr;
}

void WriteSlot(void** ppSlot, void* pValue) {
  DWORD dwOld = 0;
  if (!::VirtualProtect(ppSlot, sizeof(void*), PAGE_READWRITE, &dwOld)) return;
  *ppSlot = pValue;
  ::VirtualProtect(ppSlot, sizeof(void*), dwOld, &dwOld);
}

}  // namespace

const std::vector<std::pair<int, COLORREF>>& HighContrastStandIn::BlackScheme() {
  static const std::vector<std::pair<int, COLORREF>> scheme = {
      {COLOR_WINDOW, RGB(0, 0, 0)},          {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
      {COLOR_HIGHLIGHT, RGB(0x1A, 0xEB, 0xFF)}, {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
      {COLOR_BTNFACE, RGB(0, 0, 0)},         {COLOR_BTNTEXT, RGB(255, 255, 255)},
      {COLOR_GRAYTEXT, RGB(0x3F, 0xF2, 0x3F)}, {COLOR_HOTLIGHT, RGB(0xFF, 0xFF, 0)},
  };
  return scheme;
}

HighContrastStandIn::HighContrastStandIn() {
  const HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
  m_pfnReal = reinterpret_cast<void*>(::GetProcAddress(hUser, "SystemParametersInfoW"));
  m_ppSlot = m_pfnReal != nullptr ? ImportSlot(m_pfnReal) : nullptr;
  if (m_ppSlot == nullptr) return;
  for (const auto& entry : BlackScheme()) {
    m_savedColors.emplace_back(entry.first, ::GetSysColor(entry.first));
  }
  g_pfnReal = reinterpret_cast<SystemParametersProc>(m_pfnReal);
  g_bOn = false;
  WriteSlot(m_ppSlot, reinterpret_cast<void*>(&StandIn));
}

HighContrastStandIn::~HighContrastStandIn() {
  if (m_ppSlot == nullptr) return;
  if (g_bOn) Switch(false);
  WriteSlot(m_ppSlot, m_pfnReal);
}

void HighContrastStandIn::Switch(bool bOn) {
  const auto& colors = bOn ? BlackScheme() : m_savedColors;
  std::vector<int> indexes;
  std::vector<COLORREF> values;
  for (const auto& entry : colors) {
    indexes.push_back(entry.first);
    values.push_back(entry.second);
  }
  // The system changes the colours with the scheme, which sends WM_SYSCOLORCHANGE too.
  ::SetSysColors(static_cast<int>(indexes.size()), indexes.data(), values.data());
  HIGHCONTRASTW info = {};
  info.cbSize = sizeof(info);
  info.dwFlags = bOn ? HCF_HIGHCONTRASTON : 0;
  ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(info), &info, SPIF_SENDCHANGE);
}

}  // namespace testing_support

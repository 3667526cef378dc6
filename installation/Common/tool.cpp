#include "Common/tool.h"

#include <cwchar>
#include <vector>

namespace setup {

bool ScopedRegKey::Open(HKEY root, const wchar_t* path, REGSAM access) {
  Close();
  if (RegOpenKeyExW(root, path, 0, access, &m_hKey) != ERROR_SUCCESS) {
    m_hKey = nullptr;
    return false;
  }
  return true;
}

void ScopedRegKey::Close() {
  if (m_hKey) RegCloseKey(m_hKey);
  m_hKey = nullptr;
}

void ScopedHandle::reset(HANDLE handle) {
  if (valid()) CloseHandle(m_hHandle);
  m_hHandle = handle;
}

bool ReadRegistryString(HKEY key, const wchar_t* name, std::wstring& value) {
  value.clear();
  if (!key) return false;
  // Room for the terminator the value may lack; the query tells the size it needs when the
  // value does not fit, and the value may change between two queries, hence the bound.
  std::vector<wchar_t> buffer(257);
  for (int read = 0; read < 10; ++read) {
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
      buffer.assign(bytes / sizeof(wchar_t) + 2, L'\0');
      continue;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    const size_t stored = bytes / sizeof(wchar_t);
    value.assign(buffer.data(), wcsnlen(buffer.data(), stored));
    return true;
  }
  return false;
}

bool ReadRegistryString(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring& value,
                        REGSAM view) {
  value.clear();
  ScopedRegKey key;
  return key.Open(root, path, KEY_READ | view) && ReadRegistryString(key.get(), name, value);
}

bool ReadClientRegistryString(const wchar_t* path, const wchar_t* name, std::wstring& value, REGSAM* view) {
  for (REGSAM candidate : kClientRegistryViews) {
    if (ReadRegistryString(HKEY_LOCAL_MACHINE, path, name, value, candidate)) {
      if (view) *view = candidate;
      return true;
    }
  }
  return false;
}

bool IsProductCode(const std::wstring& text) {
  // ASCII digits only: the platform's own digit test also accepts full-width forms.
  const auto hex = [](wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
  };
  static const wchar_t kShape[] = L"{________-____-____-____-____________}";
  if (text.size() != wcslen(kShape)) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == L'_' ? !hex(text[i]) : text[i] != kShape[i]) return false;
  }
  return true;
}

bool FindSubkey(HKEY root, const wchar_t* path, REGSAM access,
                const std::function<bool(HKEY subkey)>& visit) {
  ScopedRegKey list;
  if (!list.Open(root, path, access)) return false;
  // Sub-keys are opened with the list's registry view and nothing more than reading.
  const REGSAM subAccess = KEY_READ | (access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY));
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];  // the longest key name the registry allows, and its terminator
    DWORD chars = 256;
    if (RegEnumKeyExW(list.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return false;
    ScopedRegKey subkey;
    if (!subkey.Open(list.get(), name, subAccess)) continue;
    if (visit(subkey.get())) return true;
  }
}

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

std::string Utf8Text(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

std::wstring WideText(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], chars);
  return wide;
}

std::string TrimmedText(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::wstring TextFromFirstBrace(const std::wstring& text) {
  const size_t brace = text.find(L'{');
  return brace == std::wstring::npos ? text : text.substr(brace);
}

std::wstring SystemFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  UINT n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.assign(n + 1, L'\0');
    n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (n == 0 || n >= buffer.size()) return std::wstring();
  std::wstring folder(buffer.data(), n);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

std::wstring LoadStringResource(HINSTANCE module, UINT id) {
  // A length request of 0 hands back a pointer into the read-only resource itself.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return std::wstring();
  return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace setup

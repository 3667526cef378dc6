#include "Common/LongPath.h"

#include <windows.h>

namespace setup {
namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";
constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";
constexpr size_t kLongPrefixChars = 4;
constexpr size_t kLongUncPrefixChars = 8;

bool StartsWith(const std::wstring& text, const wchar_t* prefix, size_t chars) {
  return text.size() >= chars && text.compare(0, chars, prefix) == 0;
}

// The long form with its prefix taken off, as the ordinary path it stands for.
std::wstring WithoutLongPrefix(const std::wstring& path) {
  if (StartsWith(path, kLongUncPrefix, kLongUncPrefixChars)) return L"\\\\" + path.substr(kLongUncPrefixChars);
  if (StartsWith(path, kLongPrefix, kLongPrefixChars)) return path.substr(kLongPrefixChars);
  return path;
}

}  // namespace

bool IsLongPathName(const std::wstring& path) { return StartsWith(path, kLongPrefix, kLongPrefixChars); }

bool IsFullPathName(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
    const wchar_t drive = static_cast<wchar_t>(path[0] | 0x20);
    return drive >= L'a' && drive <= L'z';
  }
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}

std::wstring FullPathName(const std::wstring& path) {
  if (path.empty()) return std::wstring();
  const std::wstring ordinary = WithoutLongPrefix(path);
  // The wide call takes inputs of any length; the size it asks for includes the terminator,
  // and the path may change (the current folder) between the two calls.
  DWORD chars = GetFullPathNameW(ordinary.c_str(), 0, nullptr, nullptr);
  for (int attempt = 0; chars != 0 && attempt < 3; ++attempt) {
    std::wstring full(chars, L'\0');
    const DWORD written = GetFullPathNameW(ordinary.c_str(), chars, &full[0], nullptr);
    if (written == 0) break;
    if (written < chars) {
      full.resize(written);
      return full;
    }
    chars = written;
  }
  return std::wstring();
}

std::wstring LongPathName(const std::wstring& path) {
  if (IsLongPathName(path) || StartsWith(path, kDevicePrefix, kLongPrefixChars)) return path;
  const std::wstring full = FullPathName(path);
  if (full.size() < 3) return std::wstring();
  if (full[0] == L'\\' && full[1] == L'\\') return kLongUncPrefix + full.substr(2);
  return kLongPrefix + full;
}

}  // namespace setup

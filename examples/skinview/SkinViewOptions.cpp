#include "SkinViewOptions.h"

#include <cwchar>

const wchar_t kSkinViewUsage[] =
    L"usage: skinview SKIN.xml [--dpi N] [--size W,H] [--contrast]\n"
    L"         shows the skin and reloads it whenever a file in its folder changes\n"
    L"       skinview SKIN.xml --check\n"
    L"         lists what the skin gets wrong; exit code 1 when there is anything\n"
    L"       skinview SKIN.xml --tree [--dpi N] [--size W,H]\n"
    L"         prints the control tree: class, name and place of each control\n"
    L"       skinview SKIN.xml --png OUT.png [--dpi N] [--size W,H] [--contrast]\n"
    L"         saves the window's picture without showing it\n"
    L"  --dpi N     the screen's dots per inch, 72 to 480 (96 is 100 %, 120, 144, 192 is 200 %)\n"
    L"  --size W,H  the window's size in the skin's pixels instead of the skin's own\n"
    L"  --contrast  as in the system's high-contrast mode (the \"High Contrast Black\" colours)\n";

namespace {

// A whole decimal number, nothing before or after it.
bool ReadNumber(const std::wstring& text, size_t* pPos, long* pValue) {
  const wchar_t* pstrStart = text.c_str() + *pPos;
  wchar_t* pstrEnd = nullptr;
  if (*pstrStart < L'0' || *pstrStart > L'9') return false;
  *pValue = std::wcstol(pstrStart, &pstrEnd, 10);
  *pPos += static_cast<size_t>(pstrEnd - pstrStart);
  return true;
}

bool ReadSize(const std::wstring& text, SIZE* pSize) {
  size_t pos = 0;
  long cx = 0;
  long cy = 0;
  if (!ReadNumber(text, &pos, &cx) || pos >= text.size() || text[pos] != L',') return false;
  ++pos;
  if (!ReadNumber(text, &pos, &cy) || pos != text.size()) return false;
  if (cx < 1 || cy < 1 || cx > 16384 || cy > 16384) return false;
  *pSize = SIZE{cx, cy};
  return true;
}

bool Refuse(std::wstring* pError, const std::wstring& reason) {
  *pError = reason;
  return false;
}

}  // namespace

bool ParseSkinViewOptions(const std::vector<std::wstring>& args, SkinViewOptions* pOptions,
                          std::wstring* pError) {
  SkinViewOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const bool bHasValue = i + 1 < args.size();
    if (arg == L"--check") {
      options.bCheck = true;
    } else if (arg == L"--tree") {
      options.bTree = true;
    } else if (arg == L"--contrast") {
      options.bContrast = true;
    } else if (arg == L"--png") {
      if (!bHasValue) return Refuse(pError, L"--png needs a file name");
      options.pngPath = args[++i];
    } else if (arg == L"--dpi") {
      size_t pos = 0;
      long nDpi = 0;
      if (!bHasValue || !ReadNumber(args[i + 1], &pos, &nDpi) || pos != args[i + 1].size() ||
          nDpi < 72 || nDpi > 480) {
        return Refuse(pError, L"--dpi needs a number from 72 to 480");
      }
      options.uDpi = static_cast<UINT>(nDpi);
      ++i;
    } else if (arg == L"--size") {
      if (!bHasValue || !ReadSize(args[i + 1], &options.size)) {
        return Refuse(pError, L"--size needs W,H, two numbers from 1 to 16384");
      }
      ++i;
    } else if (arg.size() > 1 && arg[0] == L'-' && arg[1] == L'-') {
      return Refuse(pError, L"unknown option " + arg);
    } else if (options.skinPath.empty()) {
      options.skinPath = arg;
    } else {
      return Refuse(pError, L"one skin at a time: " + arg);
    }
  }
  if (options.skinPath.empty()) return Refuse(pError, L"no skin file given");
  *pOptions = options;
  return true;
}

SkinLocation LocateSkin(const std::wstring& path) {
  wchar_t szFull[MAX_PATH * 4] = {};
  wchar_t* pstrFile = nullptr;
  const DWORD cch = ::GetFullPathNameW(path.c_str(), MAX_PATH * 4, szFull, &pstrFile);
  if (cch == 0 || cch >= MAX_PATH * 4 || pstrFile == nullptr) return SkinLocation{L"", path};
  SkinLocation location;
  location.file = pstrFile;
  location.folder.assign(szFull, static_cast<size_t>(pstrFile - szFull));
  return location;
}

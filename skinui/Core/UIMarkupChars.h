#pragma once
// Character classes of the skin markup, shared by the parser and the node's attribute walk so
// that both read a start tag the same way.

#include <windows.h>

namespace SkinUI {
namespace markup {

// Every code of 32 or less is blank, except the terminator.
inline bool IsBlank(WCHAR ch) { return ch != L'\0' && ch <= L' '; }

// Letters and digits of any script, "_" and ":"; "-" and "." end a name.
inline bool IsNameChar(WCHAR ch) {
  if (ch < 0x80) {
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
           ch == L'_' || ch == L':';
  }
  return ::IsCharAlphaNumericW(ch) != FALSE;
}

// The platform's next-character step, so a character made of several units (a base with
// combining marks) is treated as a whole. Two plain ASCII units need no platform call.
inline LPWSTR NextChar(LPWSTR p) {
  if (p[0] != L'\0' && p[0] < 0x80 && p[1] < 0x80) return p + 1;
  return ::CharNextW(p);
}

inline void SkipBlanks(LPWSTR& p) {
  while (IsBlank(*p)) ++p;
}

inline void SkipName(LPWSTR& p) {
  while (*p != L'\0' && IsNameChar(*p)) p = NextChar(p);
}

// Line and column (from 1) of the character at iOffset of pstrText, as an editor counts them:
// "\r\n", "\n" and a lone "\r" end a line; a surrogate pair is one character, a tab one. An
// offset past the end of the text is taken as its end.
void LocateInText(LPCWSTR pstrText, ULONG iOffset, int* pnLine, int* pnColumn);

}  // namespace markup
}  // namespace SkinUI

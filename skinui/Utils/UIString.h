#pragma once
// CUIString: the framework's wide string. Short texts (up to 62 characters) live in an inline
// buffer; longer ones in a heap block sized exactly for them. The length is never stored.

#include <windows.h>

namespace SkinUI {

class CUIString {
 public:
  // Texts shorter than this stay in the inline buffer.
  static constexpr int kHeapThreshold = 63;

  CUIString();
  // iLength -1 takes the text up to its terminator; a null text is the empty string.
  CUIString(LPCWSTR lpsz, int iLength = -1);
  CUIString(const CUIString& src);
  ~CUIString();

  int GetLength() const;
  bool IsEmpty() const;
  WCHAR GetAt(int iIndex) const;
  LPCWSTR GetData() const;
  operator LPCWSTR() const;

  void Assign(LPCWSTR pstr, int iLength = -1);
  void Append(LPCWSTR pstr);
  void Empty();

  CUIString& operator=(const CUIString& src);
  CUIString& operator=(LPCWSTR lpStr);
  CUIString& operator+=(const CUIString& src);
  CUIString& operator+=(LPCWSTR lpStr);
  CUIString& operator+=(WCHAR ch);

  int Compare(LPCWSTR lpsz) const;
  int CompareNoCase(LPCWSTR lpsz) const;
  bool operator==(LPCWSTR str) const;
  bool operator!=(LPCWSTR str) const;

  void MakeLower();

  int Find(WCHAR ch, int iPos = 0) const;
  int Find(LPCWSTR pstrSub, int iPos = 0) const;
  int ReverseFind(WCHAR ch) const;

  CUIString Left(int iLength) const;
  CUIString Mid(int iPos, int iLength = -1) const;

  int Replace(LPCWSTR pstrFrom, LPCWSTR pstrTo);

  // Formats into a 64-character buffer: longer results are cut to 63 characters.
  int __cdecl Format(LPCWSTR pstrFormat, ...);

 private:
  bool IsInline() const { return m_pstr == m_szBuffer; }
  bool PointsIntoData(LPCWSTR pstr) const;
  void ReturnToInline();

  LPWSTR m_pstr;
  WCHAR m_szBuffer[64];
};

}  // namespace SkinUI

#include "Utils/UIString.h"

#include <shlwapi.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

LPWSTR AllocateChars(int iChars) {
  void* p = std::malloc(static_cast<size_t>(iChars) * sizeof(WCHAR));
  if (p == nullptr) throw std::bad_alloc();
  return static_cast<LPWSTR>(p);
}

void CopyChars(LPWSTR pstrDest, LPCWSTR pstrSrc, int iChars) {
  std::memmove(pstrDest, pstrSrc, static_cast<size_t>(iChars) * sizeof(WCHAR));
}

}  // namespace

CUIString::CUIString() : m_pstr(m_szBuffer) { m_szBuffer[0] = L'\0'; }

CUIString::CUIString(LPCWSTR lpsz, int iLength) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = L'\0';
  if (iLength < 0) UI_CHECK(!::IsBadStringPtrW(lpsz,-1) || lpsz==0);
  Assign(lpsz, iLength);
}

CUIString::CUIString(const CUIString& src) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = L'\0';
  Assign(src.m_pstr);
}

CUIString::~CUIString() {
  if (!IsInline()) std::free(m_pstr);
}

int CUIString::GetLength() const { return static_cast<int>(std::wcslen(m_pstr)); }

bool CUIString::IsEmpty() const { return m_pstr[0] == L'\0'; }

WCHAR CUIString::GetAt(int iIndex) const { return m_pstr[iIndex]; }

LPCWSTR CUIString::GetData() const { return m_pstr; }

CUIString::operator LPCWSTR() const { return m_pstr; }

bool CUIString::PointsIntoData(LPCWSTR pstr) const {
  return pstr >= m_pstr && pstr <= m_pstr + GetLength();
}

void CUIString::ReturnToInline() {
  if (IsInline()) return;
  std::free(m_pstr);
  m_pstr = m_szBuffer;
}

void CUIString::Assign(LPCWSTR pstr, int iLength) {
  if (pstr == nullptr) pstr = L"";
  // A length that runs past the text's terminator is cut there rather than read beyond it.
  const int iNewLength = iLength < 0 ? static_cast<int>(std::wcslen(pstr))
                                     : static_cast<int>(wcsnlen(pstr, static_cast<size_t>(iLength)));
  if (iNewLength < kHeapThreshold) {
    // The source may lie in our own heap block: copy before the block goes.
    CopyChars(m_szBuffer, pstr, iNewLength);
    m_szBuffer[iNewLength] = L'\0';
    ReturnToInline();
    return;
  }
  if (IsInline() || GetLength() < iNewLength) {
    LPWSTR pstrBlock = AllocateChars(iNewLength + 1);
    CopyChars(pstrBlock, pstr, iNewLength);
    pstrBlock[iNewLength] = L'\0';
    if (!IsInline()) std::free(m_pstr);
    m_pstr = pstrBlock;
    return;
  }
  CopyChars(m_pstr, pstr, iNewLength);
  m_pstr[iNewLength] = L'\0';
}

void CUIString::Append(LPCWSTR pstr) {
  if (pstr == nullptr) return;
  const int iLength = GetLength();
  const size_t cchAdd = std::wcslen(pstr);
  if (cchAdd > static_cast<size_t>(INT_MAX - 1 - iLength)) throw std::bad_alloc();
  const int iAdd = static_cast<int>(cchAdd);
  const int iNewLength = iLength + iAdd;
  if (iNewLength >= kHeapThreshold) {
    if (IsInline()) {
      // The inline buffer stays intact while we copy, even when pstr points into it.
      LPWSTR pstrBlock = AllocateChars(iNewLength + 1);
      CopyChars(pstrBlock, m_szBuffer, iLength);
      CopyChars(pstrBlock + iLength, pstr, iAdd);
      m_pstr = pstrBlock;
    } else {
      const bool bSelf = PointsIntoData(pstr);
      const ptrdiff_t nOffset = pstr - m_pstr;
      void* pGrown = std::realloc(m_pstr, static_cast<size_t>(iNewLength + 1) * sizeof(WCHAR));
      if (pGrown == nullptr) throw std::bad_alloc();
      m_pstr = static_cast<LPWSTR>(pGrown);
      if (bSelf) pstr = m_pstr + nOffset;
      CopyChars(m_pstr + iLength, pstr, iAdd);
    }
    m_pstr[iNewLength] = L'\0';
    return;
  }
  if (!IsInline()) {
    // A heap text that became short: bring it home before appending.
    CopyChars(m_szBuffer, m_pstr, iLength);
    CopyChars(m_szBuffer + iLength, pstr, iAdd);
    m_szBuffer[iNewLength] = L'\0';
    ReturnToInline();
    return;
  }
  CopyChars(m_szBuffer + iLength, pstr, iAdd);
  m_szBuffer[iNewLength] = L'\0';
}

void CUIString::Empty() {
  ReturnToInline();
  m_szBuffer[0] = L'\0';
}

CUIString& CUIString::operator=(const CUIString& src) {
  Assign(src.m_pstr);
  return *this;
}

CUIString& CUIString::operator=(LPCWSTR lpStr) {
  if (lpStr != nullptr) UI_CHECK(!::IsBadStringPtrW(lpStr,-1));
  Assign(lpStr);
  return *this;
}

CUIString& CUIString::operator+=(const CUIString& src) {
  Append(src.m_pstr);
  return *this;
}

CUIString& CUIString::operator+=(LPCWSTR lpStr) {
  if (lpStr != nullptr) UI_CHECK(!::IsBadStringPtrW(lpStr,-1));
  Append(lpStr);
  return *this;
}

CUIString& CUIString::operator+=(WCHAR ch) {
  const WCHAR str[] = {ch, L'\0'};
  Append(str);
  return *this;
}

int CUIString::Compare(LPCWSTR lpsz) const {
  return std::wcscmp(m_pstr, lpsz != nullptr ? lpsz : L"");
}

int CUIString::CompareNoCase(LPCWSTR lpsz) const {
  const int iResult = ::CompareStringOrdinal(m_pstr, -1, lpsz != nullptr ? lpsz : L"", -1, TRUE);
  return iResult == 0 ? 0 : iResult - CSTR_EQUAL;
}

bool CUIString::operator==(LPCWSTR str) const { return Compare(str) == 0; }

bool CUIString::operator!=(LPCWSTR str) const { return Compare(str) != 0; }

void CUIString::MakeLower() {
  const int iLength = GetLength();
  if (iLength > 0) ::CharLowerBuffW(m_pstr, static_cast<DWORD>(iLength));
}

int CUIString::Find(WCHAR ch, int iPos) const {
  const int iLength = GetLength();
  UI_CHECK(iPos>=0 && iPos<=GetLength());
  if (iPos != 0 && (iPos < 0 || iPos >= iLength)) return -1;
  for (int i = iPos; i < iLength; ++i) {
    if (m_pstr[i] == ch) return i;
  }
  return -1;
}

int CUIString::Find(LPCWSTR pstrSub, int iPos) const {
  UI_CHECK(!::IsBadStringPtrW(pstrSub,-1));
  UI_CHECK(iPos>=0 && iPos<=GetLength());
  if (pstrSub == nullptr) return -1;
  if (iPos != 0 && (iPos < 0 || iPos > GetLength())) return -1;
  // Some runtimes find no empty substring at the end of a text.
  if (pstrSub[0] == L'\0') return iPos;
  LPCWSTR p = std::wcsstr(m_pstr + iPos, pstrSub);
  return p == nullptr ? -1 : static_cast<int>(p - m_pstr);
}

int CUIString::ReverseFind(WCHAR ch) const {
  for (int i = GetLength() - 1; i >= 0; --i) {
    if (m_pstr[i] == ch) return i;
  }
  return -1;
}

CUIString CUIString::Left(int iLength) const {
  const int iHave = GetLength();
  if (iLength < 0) iLength = 0;
  if (iLength > iHave) iLength = iHave;
  return CUIString(m_pstr, iLength);
}

CUIString CUIString::Mid(int iPos, int iLength) const {
  const int iHave = GetLength();
  // A position outside the text would address memory that is not ours.
  if (iPos < 0) iPos = 0;
  if (iPos > iHave) iPos = iHave;
  if (iLength < 0) iLength = iHave - iPos;
  if (iLength > iHave - iPos) iLength = iHave - iPos;
  if (iLength <= 0) return CUIString();
  return CUIString(m_pstr + iPos, iLength);
}

int CUIString::Replace(LPCWSTR pstrFrom, LPCWSTR pstrTo) {
  // An empty pattern would match forever.
  if (pstrFrom == nullptr || pstrFrom[0] == L'\0') return 0;
  // Either text may point into this string, which changes below.
  const CUIString sFrom(pstrFrom);
  const CUIString sTo(pstrTo);
  const int iFromLength = sFrom.GetLength();
  const int iToLength = sTo.GetLength();
  int iCount = 0;
  int iPos = Find(sFrom.m_pstr, 0);
  while (iPos >= 0) {
    CUIString sResult = Left(iPos);
    sResult += sTo;
    sResult += Mid(iPos + iFromLength);
    Assign(sResult.m_pstr);
    iPos = Find(sFrom.m_pstr, iPos + iToLength);
    ++iCount;
  }
  return iCount;
}

int __cdecl CUIString::Format(LPCWSTR pstrFormat, ...) {
  if (pstrFormat == nullptr) {
    Empty();
    return 0;
  }
  WCHAR szBuffer[64] = {};
  va_list args;
  va_start(args, pstrFormat);
  ::wvnsprintfW(szBuffer, static_cast<int>(sizeof(szBuffer) / sizeof(szBuffer[0])), pstrFormat, args);
  va_end(args);
  szBuffer[63] = L'\0';
  Assign(szBuffer);
  return GetLength();
}

}  // namespace SkinUI

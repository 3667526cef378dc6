#include "Core/UIMarkup.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "Core/UIMarkupChars.h"

namespace SkinUI {

using markup::IsBlank;
using markup::NextChar;
using markup::SkipBlanks;
using markup::SkipName;

namespace {

struct MarkupEntity {
  LPCWSTR pstrName;  // after the "&", including the ";"
  int cchName;
  WCHAR chValue;
};

const MarkupEntity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

// Compares without reading past a terminator in the text: a NUL never matches a name character.
bool StartsWith(LPCWSTR pstrText, LPCWSTR pstrPrefix, int cchPrefix) {
  for (int i = 0; i < cchPrefix; ++i) {
    if (pstrText[i] != pstrPrefix[i]) return false;
  }
  return true;
}

// Copies text from pstrText to pstrDest (which trails it) up to chEnd or the terminator,
// decoding the five entities. The characters freed by decoding become blanks; the caller
// terminates the decoded text at pstrDest.
void ReadText(LPWSTR& pstrText, LPWSTR& pstrDest, WCHAR chEnd) {
  while (*pstrText != L'\0' && *pstrText != chEnd) {
    if (*pstrText == L'&') {
      const MarkupEntity* pEntity = nullptr;
      for (const MarkupEntity& entity : kEntities) {
        if (StartsWith(pstrText + 1, entity.pstrName, entity.cchName)) {
          pEntity = &entity;
          break;
        }
      }
      if (pEntity != nullptr) {
        *pstrDest++ = pEntity->chValue;
        pstrText += 1 + pEntity->cchName;
        continue;
      }
    }
    LPWSTR pstrNext = NextChar(pstrText);
    while (pstrText < pstrNext) *pstrDest++ = *pstrText++;
  }
  for (LPWSTR p = pstrDest; p < pstrText; ++p) *p = L' ';
}

// Skips a comment ("<!" up to "->") or a processing instruction ("<?" up to "?>"), starting at
// the "!" or "?" itself. Without a closing pair the rest of the text goes.
void SkipDeclaration(LPWSTR& pstrText) {
  const WCHAR chClose = *pstrText == L'!' ? L'-' : L'?';
  while (*pstrText != L'\0' && !(pstrText[0] == chClose && pstrText[1] == L'>')) {
    pstrText = NextChar(pstrText);
  }
  if (*pstrText != L'\0') pstrText += 2;
}

// One open level of the document: the element whose children are being read (0 = the document
// itself), the last child seen so far, and where the parent's text content has to be ended
// once its children no longer need the "<" that follows it.
struct MarkupLevel {
  ULONG iParent;
  ULONG iLastChild;
  LPWSTR pstrContentEnd;
};

}  // namespace

namespace markup {

void LocateInText(LPCWSTR pstrText, ULONG iOffset, int* pnLine, int* pnColumn) {
  int nLine = 1;
  int nColumn = 1;
  for (ULONG i = 0; i < iOffset && pstrText[i] != L'\0'; ++i) {
    const WCHAR ch = pstrText[i];
    const bool bLowSurrogate = ch >= 0xDC00 && ch <= 0xDFFF && i > 0 && pstrText[i - 1] >= 0xD800 &&
                               pstrText[i - 1] <= 0xDBFF;
    if (ch == L'\n' || (ch == L'\r' && pstrText[i + 1] != L'\n')) {
      ++nLine;
      nColumn = 1;
    } else if (ch != L'\r' && !bLowSurrogate) {
      ++nColumn;
    }
  }
  *pnLine = nLine;
  *pnColumn = nColumn;
}

}  // namespace markup

CSkinMarkup::CSkinMarkup(LPCWSTR pstrText)
    : m_pstrXML(nullptr),
      m_pElements(nullptr),
      m_nElements(0),
      m_nReservedElements(0),
      m_nGeneration(0),
      m_bKeepSource(false),
      m_pstrSource(nullptr) {
  ResetError();
  if (pstrText != nullptr) ParseText(pstrText);
}

CSkinMarkup::~CSkinMarkup() { Clear(); }

void CSkinMarkup::Clear() {
  std::free(m_pstrXML);
  std::free(m_pElements);
  std::free(m_pstrSource);
  m_pstrSource = nullptr;
  m_pstrXML = nullptr;
  m_pElements = nullptr;
  m_nElements = 0;
  m_nReservedElements = 0;
  ++m_nGeneration;
}

bool CSkinMarkup::IsValid() const { return m_pstrXML != nullptr && m_nElements > 1; }

CSkinMarkupNode CSkinMarkup::GetRootNode() {
  if (!IsValid()) return CSkinMarkupNode();
  return CSkinMarkupNode(this, 1);
}

LPCWSTR CSkinMarkup::GetLastErrorMessage() const { return m_szErrorMsg; }

LPCWSTR CSkinMarkup::GetLastErrorLocation() const { return m_szErrorXML; }

int CSkinMarkup::GetLastErrorLine() const { return m_nErrorLine; }

int CSkinMarkup::GetLastErrorColumn() const { return m_nErrorColumn; }

void CSkinMarkup::ResetError() {
  m_szErrorMsg[0] = L'\0';
  m_szErrorXML[0] = L'\0';
  m_iErrorOffset = kNoOffset;
  m_nErrorLine = 0;
  m_nErrorColumn = 0;
}

bool CSkinMarkup::Fail(LPCWSTR pstrMessage, LPCWSTR pstrLocation, LPCWSTR pstrAt) {
  ::lstrcpynW(m_szErrorMsg, pstrMessage, static_cast<int>(sizeof(m_szErrorMsg) / sizeof(WCHAR)));
  ::lstrcpynW(m_szErrorXML, pstrLocation != nullptr ? pstrLocation : L"",
              static_cast<int>(sizeof(m_szErrorXML) / sizeof(WCHAR)));
  if (pstrAt == nullptr) pstrAt = pstrLocation;
  // Only a place inside the document being parsed has an offset; messages about files and
  // memory have none.
  if (pstrAt != nullptr && m_pstrXML != nullptr && pstrAt >= m_pstrXML) {
    m_iErrorOffset = OffsetOf(pstrAt);
  }
  return false;
}

void CSkinMarkup::KeepSourceText(bool bKeep) { m_bKeepSource = bKeep; }

bool CSkinMarkup::LocateOffset(ULONG iOffset, int* pnLine, int* pnColumn) const {
  if (m_pstrSource == nullptr || iOffset == kNoOffset) return false;
  markup::LocateInText(m_pstrSource, iOffset, pnLine, pnColumn);
  return true;
}

void CSkinMarkup::LocateError(LPCWSTR pstrOriginal) {
  if (m_iErrorOffset == kNoOffset || pstrOriginal == nullptr) return;
  markup::LocateInText(pstrOriginal, m_iErrorOffset, &m_nErrorLine, &m_nErrorColumn);
}

bool CSkinMarkup::ParseText(LPCWSTR pstrText) {
  Clear();
  ResetError();
  if (pstrText == nullptr) pstrText = L"";
  const SIZE_T cchText = std::wcslen(pstrText);
  LPWSTR pstrXML = static_cast<LPWSTR>(std::malloc((cchText + 1) * sizeof(WCHAR)));
  if (pstrXML == nullptr) return Fail(L"Out of memory");
  std::memcpy(pstrXML, pstrText, (cchText + 1) * sizeof(WCHAR));
  if (ParseOwnedBuffer(pstrXML, cchText)) return true;
  LocateError(pstrText);
  return false;
}

bool CSkinMarkup::ParseOwnedBuffer(LPWSTR pstrXML, SIZE_T cchText) {
  Clear();
  ResetError();
  m_pstrXML = pstrXML;
  // Offsets into the document are 32-bit.
  if (cchText >= 0xFFFFFFFFu) {
    Clear();
    return Fail(L"File too large");
  }
  if (m_bKeepSource) {
    m_pstrSource = static_cast<LPWSTR>(std::malloc((cchText + 1) * sizeof(WCHAR)));
    if (m_pstrSource == nullptr) {
      Clear();
      return Fail(L"Out of memory");
    }
    std::memcpy(m_pstrSource, pstrXML, (cchText + 1) * sizeof(WCHAR));
  }
  if (!ParseDocument()) {
    Clear();
    return false;
  }
  return true;
}

ULONG CSkinMarkup::OffsetOf(LPCWSTR pstr) const { return static_cast<ULONG>(pstr - m_pstrXML); }

ULONG CSkinMarkup::AppendElement(ULONG iStart, ULONG iParent) {
  if (m_nElements >= m_nReservedElements) {
    const ULONGLONG nGrown = static_cast<ULONGLONG>(m_nReservedElements) + m_nReservedElements / 2 + 500;
    if (nGrown > 0xFFFFFFFFu) return 0;
    void* pGrown = std::realloc(m_pElements, static_cast<size_t>(nGrown) * sizeof(XMLELEMENT));
    if (pGrown == nullptr) return 0;
    m_pElements = static_cast<XMLELEMENT*>(pGrown);
    m_nReservedElements = static_cast<ULONG>(nGrown);
  }
  const ULONG iPos = m_nElements++;
  XMLELEMENT& element = m_pElements[iPos];
  element.iStart = iStart;
  element.iChild = 0;
  element.iNext = 0;
  element.iParent = iParent;
  element.iData = 0;
  return iPos;
}

// The document is read iteratively with an explicit stack of open levels, so deeply nested
// input cannot exhaust the thread's stack.
bool CSkinMarkup::ParseDocument() {
  // Record 0 is a placeholder so that index 0 can mean "none".
  if (AppendElement(0, 0) != 0) return Fail(L"Out of memory");
  std::vector<MarkupLevel> levels;
  levels.push_back(MarkupLevel{0, 0, nullptr});
  LPWSTR pstrText = m_pstrXML;
  for (;;) {
    MarkupLevel& level = levels.back();
    SkipBlanks(pstrText);
    if (*pstrText == L'\0') {
      // Only the document level and the root's children may run to the end of the text.
      if (level.iParent > 1) return Fail(L"Expected start tag", pstrText);
      break;
    }
    if (*pstrText != L'<') return Fail(L"Expected start tag", pstrText);
    if (pstrText[1] == L'/') {
      // At the document level nothing is left to close.
      if (level.iParent == 0) break;
      if (!ParseEndTag(pstrText, level.iParent)) return false;
      if (level.pstrContentEnd != nullptr) *level.pstrContentEnd = L'\0';
      levels.pop_back();
      continue;
    }
    ++pstrText;
    SkipBlanks(pstrText);
    if (*pstrText == L'!' || *pstrText == L'?') {
      SkipDeclaration(pstrText);
      continue;
    }

    const ULONG iParent = level.iParent;
    const ULONG iPos = AppendElement(OffsetOf(pstrText), iParent);
    if (iPos == 0) return Fail(L"Out of memory");
    if (level.iLastChild != 0) {
      m_pElements[level.iLastChild].iNext = iPos;
    } else if (iParent != 0) {
      m_pElements[iParent].iChild = iPos;
    }
    level.iLastChild = iPos;

    SkipName(pstrText);
    if (*pstrText == L'\0') return Fail(L"Error parsing element name", pstrText);
    if (pstrText[0] == L'/' && pstrText[1] == L'>') {
      m_pElements[iPos].iData = OffsetOf(pstrText);
      *pstrText = L'\0';
      pstrText += 2;
      continue;
    }
    if (*pstrText != L'>') {
      // One character separates the name from the attributes; it also ends the name.
      *pstrText++ = L'\0';
      if (!ParseAttributes(pstrText)) return false;
    }
    SkipBlanks(pstrText);
    if (pstrText[0] == L'/' && pstrText[1] == L'>') {
      m_pElements[iPos].iData = OffsetOf(pstrText);
      *pstrText = L'\0';
      pstrText += 2;
      continue;
    }
    if (*pstrText != L'>') return Fail(L"Expected start-tag closing", pstrText);
    m_pElements[iPos].iData = OffsetOf(pstrText) + 1;
    *pstrText++ = L'\0';

    LPWSTR pstrDest = pstrText;
    ReadText(pstrText, pstrDest, L'<');
    if (*pstrText == L'\0') {
      // The root and its direct children may run to the end of the text.
      if (iParent > 1) return Fail(L"Expected end-tag start", pstrText);
      *pstrDest = L'\0';
      break;
    }
    if (pstrText[1] != L'/') {
      levels.push_back(MarkupLevel{iPos, 0, pstrDest});
      continue;
    }
    if (!ParseEndTag(pstrText, iPos)) return false;
    *pstrDest = L'\0';
  }
  for (const MarkupLevel& open : levels) {
    if (open.pstrContentEnd != nullptr) *open.pstrContentEnd = L'\0';
  }
  return true;
}

bool CSkinMarkup::ParseAttributes(LPWSTR& pstrText) {
  for (;;) {
    SkipBlanks(pstrText);
    if (*pstrText == L'\0' || *pstrText == L'>' || *pstrText == L'/') return true;
    LPWSTR pstrName = pstrText;
    SkipName(pstrText);
    LPWSTR pstrNameEnd = pstrText;
    SkipBlanks(pstrText);
    if (*pstrText != L'=') return Fail(L"Error while parsing attributes", pstrText);
    // An empty name keeps its "=", so the attribute walk can tell it from a terminator.
    if (pstrNameEnd != pstrName) *pstrNameEnd = L'\0';
    ++pstrText;
    SkipBlanks(pstrText);
    if (*pstrText != L'"') {
      // The location starts after the offending character, unless that is the end of the text.
      return Fail(L"Expected attribute value", *pstrText != L'\0' ? pstrText + 1 : pstrText, pstrText);
    }
    ++pstrText;
    LPWSTR pstrDest = pstrText;
    ReadText(pstrText, pstrDest, L'"');
    if (*pstrText == L'\0') return Fail(L"Error while parsing attribute string", pstrText);
    *pstrDest = L'\0';
    *pstrText++ = L'\0';
  }
}

bool CSkinMarkup::ParseEndTag(LPWSTR& pstrText, ULONG iElement) {
  pstrText += 2;
  SkipBlanks(pstrText);
  LPCWSTR pstrName = m_pstrXML + m_pElements[iElement].iStart;
  const SIZE_T cchName = std::wcslen(pstrName);
  LPWSTR pstrEndName = pstrText;
  SkipName(pstrText);
  if (static_cast<SIZE_T>(pstrText - pstrEndName) != cchName ||
      std::wmemcmp(pstrEndName, pstrName, cchName) != 0) {
    return Fail(L"Unmatched closing tag", pstrEndName);
  }
  SkipBlanks(pstrText);
  if (*pstrText != L'>') return Fail(L"Unmatched closing tag", pstrText);
  ++pstrText;
  return true;
}

}  // namespace SkinUI

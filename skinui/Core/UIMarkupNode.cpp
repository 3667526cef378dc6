#include <cstring>
#include <cwchar>

#include "Core/UIMarkup.h"
#include "Core/UIMarkupChars.h"

namespace SkinUI {

namespace {
// Marks an attribute whose name is empty: no offset in the document holds that text.
const ULONG kEmptyText = 0xFFFFFFFFu;
}  // namespace

CSkinMarkupNode::CSkinMarkupNode() : m_pOwner(nullptr), m_iPos(0), m_nGeneration(0), m_nAttributes(0) {}

CSkinMarkupNode::CSkinMarkupNode(CSkinMarkup* pOwner, ULONG iPos)
    : m_pOwner(pOwner), m_iPos(iPos), m_nGeneration(pOwner->m_nGeneration), m_nAttributes(0) {}

// A node outlives neither its document nor a later parse of the same markup object.
bool CSkinMarkupNode::IsValid() const {
  return m_pOwner != nullptr && m_pOwner->m_nGeneration == m_nGeneration && m_pOwner->m_pstrXML != nullptr &&
         m_iPos < m_pOwner->m_nElements;
}

CSkinMarkupNode CSkinMarkupNode::NextSibling() const {
  if (!IsValid()) return CSkinMarkupNode();
  const ULONG iNext = m_pOwner->m_pElements[m_iPos].iNext;
  return iNext != 0 ? CSkinMarkupNode(m_pOwner, iNext) : CSkinMarkupNode();
}

CSkinMarkupNode CSkinMarkupNode::FirstChild() const {
  if (!IsValid()) return CSkinMarkupNode();
  const ULONG iChild = m_pOwner->m_pElements[m_iPos].iChild;
  return iChild != 0 ? CSkinMarkupNode(m_pOwner, iChild) : CSkinMarkupNode();
}

bool CSkinMarkupNode::HasChildren() const { return IsValid() && m_pOwner->m_pElements[m_iPos].iChild != 0; }

LPCWSTR CSkinMarkupNode::GetTagName() const {
  if (!IsValid()) return nullptr;
  return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
}

LPCWSTR CSkinMarkupNode::TextAt(ULONG iOffset) const {
  return iOffset == kEmptyText ? L"" : m_pOwner->m_pstrXML + iOffset;
}

// The parser leaves the start tag as: name, terminator, then per attribute blanks, the name
// (terminated unless empty), blanks, "=", blanks, the opening quote, the decoded value and its
// terminator, blanks freed by entity decoding, and the terminated closing quote. The walk never
// passes the end of the attribute area.
void CSkinMarkupNode::MapAttributes() const {
  m_nAttributes = 0;
  const CSkinMarkup::XMLELEMENT& element = m_pOwner->m_pElements[m_iPos];
  LPWSTR pstrXML = m_pOwner->m_pstrXML;
  LPWSTR pstrEnd = pstrXML + element.iData;
  LPWSTR p = pstrXML + element.iStart;
  markup::SkipName(p);
  if (p >= pstrEnd) return;
  ++p;  // the separator after the element name
  while (m_nAttributes < kMaxAttributes) {
    while (p < pstrEnd && (*p == L'\0' || markup::IsBlank(*p))) ++p;
    if (p >= pstrEnd || *p == L'/' || *p == L'>') return;
    LPWSTR pstrName = p;
    markup::SkipName(p);
    const ULONG iName = p == pstrName ? kEmptyText : static_cast<ULONG>(pstrName - pstrXML);
    while (p < pstrEnd && (*p == L'\0' || *p == L'=' || markup::IsBlank(*p))) ++p;
    if (p >= pstrEnd || *p != L'"') return;
    ++p;
    m_aAttributes[m_nAttributes].iName = iName;
    m_aAttributes[m_nAttributes].iValue = static_cast<ULONG>(p - pstrXML);
    ++m_nAttributes;
    while (p < pstrEnd && *p != L'\0') ++p;
  }
}

bool CSkinMarkupNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CSkinMarkupNode::GetAttributeCount() const {
  if (!IsValid()) return 0;
  if (m_nAttributes == 0) MapAttributes();
  return m_nAttributes;
}

LPCWSTR CSkinMarkupNode::GetAttributeNameAt(int iIndex) const {
  if (!IsValid()) return nullptr;
  if (iIndex < 0 || iIndex >= GetAttributeCount()) return L"";
  return TextAt(m_aAttributes[iIndex].iName);
}

LPCWSTR CSkinMarkupNode::GetAttributeValueAt(int iIndex) const {
  if (!IsValid()) return nullptr;
  if (iIndex < 0 || iIndex >= GetAttributeCount()) return L"";
  return TextAt(m_aAttributes[iIndex].iValue);
}

ULONG CSkinMarkupNode::GetSourceOffset() const {
  return IsValid() ? m_pOwner->m_pElements[m_iPos].iStart : CSkinMarkup::kNoOffset;
}

ULONG CSkinMarkupNode::GetAttributeSourceOffsetAt(int iIndex) const {
  if (!IsValid() || iIndex < 0 || iIndex >= GetAttributeCount()) return CSkinMarkup::kNoOffset;
  const XMLATTRIBUTE& attribute = m_aAttributes[iIndex];
  // An attribute without a name is found by its value's opening quote.
  return attribute.iName != kEmptyText ? attribute.iName : attribute.iValue - 1;
}

bool CSkinMarkupNode::FindAttribute(LPCWSTR pstrName, LPWSTR pstrValue, SIZE_T cchMax) const {
  if (pstrName == nullptr) return false;
  const int nAttributes = GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    if (std::wcscmp(TextAt(m_aAttributes[i].iName), pstrName) != 0) continue;
    if (pstrValue != nullptr && cchMax > 0) {
      std::wcsncpy(pstrValue, TextAt(m_aAttributes[i].iValue), cchMax);
    }
    return true;
  }
  return false;
}

}  // namespace SkinUI

#pragma once
// CSkinIssueList: a skin lint. Observing a build (CSkinBuildScope), it keeps what the build
// ignored or could not use: elements no control is made of, attribute names nothing reads (with
// the nearest name the element does read), values that are not of their attribute's kind,
// images that cannot be read and skins that other skins name but that cannot be read. Each issue
// says where it is, in lines and columns of the document as it was written.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "Core/UISkinBuildObserver.h"
#include "Utils/UIString.h"

namespace SkinUI {

class CWindowHostUI;

enum class SkinIssueKind {
  kUnknownElement,
  kUnknownAttribute,
  kBadValue,
  kMissingImage,
  kUnreadableSkin,
};

struct SkinIssue {
  SkinIssueKind kind;
  CUIString sSource;  // the skin file as the build named it; empty for markup text
  int nLine;          // from 1; 0 when the issue has no place in a document
  int nColumn;
  CUIString sElement;     // as written
  CUIString sAttribute;   // empty for elements and skins
  CUIString sValue;       // the value, the image's name or the unreadable skin's name
  CUIString sSuggestion;  // the nearest name the element reads, for an unknown attribute
  CUIString sExpected;    // the kind a bad value should be; why a skin could not be read

  // One line in words, without the place: unknown attribute "bordersise" on Button; did you
  // mean "bordersize"?
  CUIString Describe() const;
};

class CSkinIssueList : public ISkinBuildObserver {
 public:
  // Images named in attributes are looked for in pHost's registry first (an "Image" element may
  // have registered them by name), then where the renderer would load them from.
  explicit CSkinIssueList(CWindowHostUI* pHost = nullptr);
  virtual ~CSkinIssueList() = default;

  int GetCount() const { return static_cast<int>(m_issues.size()); }
  const SkinIssue& GetAt(int iIndex) const { return m_issues[static_cast<size_t>(iIndex)]; }
  void Clear();

  void OnUnknownElement(const SkinSourcePlace& place) override;
  void OnControlAttribute(const SkinSourcePlace& place, CControlUI& control,
                          const AttributeEntry* pEntry, LPCWSTR pstrName,
                          LPCWSTR pstrValue) override;
  void OnElementAttribute(const SkinSourcePlace& place, const SkinAttributeInfo* pInfo,
                          const SkinAttributeInfo* aKnown, int nKnown, LPCWSTR pstrName,
                          LPCWSTR pstrValue) override;
  void OnImageNotRead(const SkinSourcePlace& place, LPCWSTR pstrImage) override;
  void OnSkinNotRead(const SkinSourcePlace& place, LPCWSTR pstrSource,
                     const CSkinMarkup& markup) override;

 private:
  // An issue of the kind at the place, its details still to fill in.
  static SkinIssue Begin(SkinIssueKind kind, const SkinSourcePlace& place);
  // Lists the issue unless the same one is listed at the same place already: default attributes
  // are applied to every control of their element name, and told at their "Default" element.
  void Add(const SkinIssue& issue);
  void AddUnknownAttribute(const SkinSourcePlace& place, LPCWSTR pstrName, LPCWSTR pstrValue,
                           const CUIString& sSuggestion);
  void CheckValue(const SkinSourcePlace& place, LPCWSTR pstrKind, LPCWSTR pstrName,
                  LPCWSTR pstrValue);
  // An image attribute's picture can be had; each name is tried once.
  bool ImageExists(LPCWSTR pstrValue);

  CWindowHostUI* m_pHost;
  std::vector<SkinIssue> m_issues;
  std::map<std::wstring, bool> m_imagesTried;
};

}  // namespace SkinUI

#include "Core/UISkinIssues.h"

#include <cwchar>
#include <string>

#include "Core/UIAttributeTable.h"
#include "Core/UIAttributeValueCheck.h"
#include "Core/UIControl.h"
#include "Core/UIImageAttribute.h"
#include "Core/UIManager.h"
#include "Core/UIMarkup.h"
#include "Core/UIRender.h"
#include "Utils/UIEditDistance.h"

namespace SkinUI {

namespace {

// The nearest of the names, or empty when none is near enough to have been meant.
class NearestName {
 public:
  explicit NearestName(LPCWSTR pstrName) : m_pstrName(pstrName) {}
  void Offer(LPCWSTR pstrCandidate) {
    int nDistance = 0;
    if (IsNearName(m_pstrName, pstrCandidate, &nDistance) && nDistance < m_nBest) {
      m_nBest = nDistance;
      m_sBest = pstrCandidate;
    }
  }
  const CUIString& Best() const { return m_sBest; }

 private:
  LPCWSTR m_pstrName;
  int m_nBest = 0x7FFFFFFF;
  CUIString m_sBest;
};

std::wstring Quoted(LPCWSTR pstr) { return L"\"" + std::wstring(pstr) + L"\""; }

}  // namespace

CUIString SkinIssue::Describe() const {
  const std::wstring element = sElement.GetData();
  std::wstring s;
  switch (kind) {
    case SkinIssueKind::kUnknownElement:
      s = L"unknown element " + Quoted(sElement) + L"; it is skipped with all it holds";
      break;
    case SkinIssueKind::kUnknownAttribute:
      s = L"unknown attribute " + Quoted(sAttribute) + L" on " + element;
      if (!sSuggestion.IsEmpty()) s += L"; did you mean " + Quoted(sSuggestion) + L"?";
      break;
    case SkinIssueKind::kBadValue:
      s = sAttribute.GetData() + (L"=" + Quoted(sValue)) + L" on " + element + L": expected " +
          sExpected.GetData();
      break;
    case SkinIssueKind::kMissingImage:
      s = L"image " + Quoted(sValue) + L" (" +
          (sAttribute.IsEmpty() ? std::wstring() : sAttribute.GetData() + std::wstring(L" on ")) +
          element + L") cannot be read";
      break;
    case SkinIssueKind::kUnreadableSkin:
      s = L"skin " + Quoted(sValue) + L" named by " + element + L" cannot be read: " +
          sExpected.GetData();
      break;
  }
  return CUIString(s.c_str());
}

CSkinIssueList::CSkinIssueList(CWindowHostUI* pHost) : m_pHost(pHost) {}

void CSkinIssueList::Clear() {
  m_issues.clear();
  m_imagesTried.clear();
}

SkinIssue CSkinIssueList::Begin(SkinIssueKind kind, const SkinSourcePlace& place) {
  SkinIssue issue;
  issue.kind = kind;
  issue.sSource = place.pstrSource;
  issue.nLine = 0;
  issue.nColumn = 0;
  if (place.pMarkup != nullptr) place.pMarkup->LocateOffset(place.iOffset, &issue.nLine, &issue.nColumn);
  issue.sElement = place.pstrElement;
  return issue;
}

void CSkinIssueList::Add(const SkinIssue& issue) {
  const CUIString sText = issue.Describe();
  for (const SkinIssue& listed : m_issues) {
    if (listed.nLine == issue.nLine && listed.nColumn == issue.nColumn &&
        listed.sSource == issue.sSource && listed.Describe() == sText) {
      return;
    }
  }
  m_issues.push_back(issue);
}

void CSkinIssueList::OnUnknownElement(const SkinSourcePlace& place) {
  Add(Begin(SkinIssueKind::kUnknownElement, place));
}

void CSkinIssueList::OnControlAttribute(const SkinSourcePlace& place, CControlUI& control,
                                        const AttributeEntry* pEntry, LPCWSTR pstrName,
                                        LPCWSTR pstrValue) {
  if (pEntry != nullptr) {
    CheckValue(place, pEntry->pstrValueKind, pstrName, pstrValue);
    return;
  }
  NearestName nearest(pstrName);
  for (const AttributeTable* pTable = control.GetAttributeTable(); pTable != nullptr;
       pTable = pTable->pfnGetBase != nullptr ? pTable->pfnGetBase() : nullptr) {
    for (int i = 0; i < pTable->nEntries; ++i) nearest.Offer(pTable->pEntries[i].pstrName);
  }
  AddUnknownAttribute(place, pstrName, pstrValue, nearest.Best());
}

void CSkinIssueList::OnElementAttribute(const SkinSourcePlace& place, const SkinAttributeInfo* pInfo,
                                        const SkinAttributeInfo* aKnown, int nKnown,
                                        LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (pInfo != nullptr) {
    CheckValue(place, pInfo->pstrValueKind, pstrName, pstrValue);
    return;
  }
  NearestName nearest(pstrName);
  for (int i = 0; i < nKnown; ++i) nearest.Offer(aKnown[i].pstrName);
  AddUnknownAttribute(place, pstrName, pstrValue, nearest.Best());
}

void CSkinIssueList::AddUnknownAttribute(const SkinSourcePlace& place, LPCWSTR pstrName,
                                         LPCWSTR pstrValue, const CUIString& sSuggestion) {
  SkinIssue issue = Begin(SkinIssueKind::kUnknownAttribute, place);
  issue.sAttribute = pstrName;
  issue.sValue = pstrValue;
  issue.sSuggestion = sSuggestion;
  Add(issue);
}

void CSkinIssueList::OnImageNotRead(const SkinSourcePlace& place, LPCWSTR pstrImage) {
  SkinIssue issue = Begin(SkinIssueKind::kMissingImage, place);
  issue.sValue = pstrImage;
  Add(issue);
}

void CSkinIssueList::OnSkinNotRead(const SkinSourcePlace& place, LPCWSTR pstrSource,
                                   const CSkinMarkup& markup) {
  SkinIssue issue = Begin(SkinIssueKind::kUnreadableSkin, place);
  issue.sValue = pstrSource;
  if (markup.GetLastErrorLine() > 0) {
    issue.sExpected.Format(L"%d:%d: %s", markup.GetLastErrorLine(), markup.GetLastErrorColumn(),
                           markup.GetLastErrorMessage());
  } else {
    issue.sExpected = markup.GetLastErrorMessage();
  }
  Add(issue);
}

void CSkinIssueList::CheckValue(const SkinSourcePlace& place, LPCWSTR pstrKind, LPCWSTR pstrName,
                                LPCWSTR pstrValue) {
  if (!IsValueOfKind(pstrKind, pstrValue)) {
    SkinIssue issue = Begin(SkinIssueKind::kBadValue, place);
    issue.sAttribute = pstrName;
    issue.sValue = pstrValue;
    issue.sExpected = pstrKind;
    Add(issue);
  } else if (std::wcscmp(pstrKind, kImageValue) == 0 && !ImageExists(pstrValue)) {
    ImageDrawInfo info;
    ImageSourceKeys keys;
    ParseImageAttribute(pstrValue, info, keys);
    SkinIssue issue = Begin(SkinIssueKind::kMissingImage, place);
    issue.sAttribute = pstrName;
    issue.sValue = info.sImageName;
    Add(issue);
  }
}

bool CSkinIssueList::ImageExists(LPCWSTR pstrValue) {
  ImageDrawInfo info;
  ImageSourceKeys keys;
  ParseImageAttribute(pstrValue, info, keys);
  // An empty attribute takes an image away; it names none.
  if (info.sImageName.IsEmpty()) return true;
  if (m_pHost != nullptr && m_pHost->LookupImage(info.sImageName) != nullptr) return true;
  std::wstring sKey = info.sImageName.GetData();
  if (keys.bResource) sKey += L"|" + std::wstring(keys.sResType.GetData());
  const auto it = m_imagesTried.find(sKey);
  if (it != m_imagesTried.end()) return it->second;
  // Loaded the way the host loads it, without entering its registry, so that the build draws
  // exactly what it would have drawn unobserved.
  LPCWSTR pstrSource = info.sImageName;
  LPCWSTR pstrType = nullptr;
  bool bFound = true;
  if (keys.bResource) {
    const WCHAR chFirst = info.sImageName.GetAt(0);
    bFound = !keys.sResType.IsEmpty() && chFirst >= L'0' && chFirst <= L'9';
    pstrSource = MAKEINTRESOURCEW(::_wtoi(info.sImageName));
    pstrType = keys.sResType;
  }
  const SkinImageLoadProc pfnLoad = CWindowHostUI::GetImageLoader();
  if (bFound && pfnLoad != nullptr) {
    LoadedImage* pImage = pfnLoad(pstrSource, pstrType, keys.dwMask);
    bFound = pImage != nullptr;
    if (pImage != nullptr) CSkinRenderer::FreeSkinImage(pImage);
  }
  m_imagesTried.emplace(sKey, bFound);
  return bFound;
}

}  // namespace SkinUI

// List text elements: column texts, the text source, links.

#include "Control/UIListTextElement.h"

#include "Control/UILabel.h"
#include "Core/UIManager.h"

namespace SkinUI {

CListTextElementUI::CListTextElementUI() : m_iHotLink(-1) {}

CListTextElementUI::~CListTextElementUI() = default;

LPCWSTR CListTextElementUI::ClassName() const { return L"ListTextElementUI"; }

LPVOID CListTextElementUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListTextElement") == 0) return this;
  return CListLabelElementUI::QueryNamedInterface(pstrName);
}

UINT CListTextElementUI::GetBehaviourFlags() const {
  const UINT uLinks = IsEnabled() && GetLinkCount() > 0 ? kBehaviourSetCursor : 0u;
  return kBehaviourWantReturn | uLinks;
}

CUIString CListTextElementUI::GetColumnText(int iColumn) const {
  const CUIString* pText = m_aColumnTexts.GetAt(iColumn);
  return pText != nullptr ? *pText : CUIString();
}

void CListTextElementUI::SetColumnText(int iColumn, LPCWSTR pstrText) {
  if (iColumn < 0 || iColumn >= ListInfo::kMaxColumns) return;
  while (m_aColumnTexts.GetSize() <= iColumn) {
    CUIString* pEmpty = new CUIString;
    if (!m_aColumnTexts.Add(pEmpty)) {
      delete pEmpty;
      return;
    }
  }
  m_aColumnTexts[iColumn]->Assign(pstrText);
  Invalidate();
}

int CListTextElementUI::GetLinkCount() const { return m_pLinks != nullptr ? m_pLinks->nLinks : 0; }

RECT CListTextElementUI::GetLinkRect(int iIndex) const {
  if (iIndex < 0 || iIndex >= GetLinkCount()) return RECT{0, 0, 0, 0};
  return m_pLinks->rcLinks[iIndex];
}

int CListTextElementUI::LinkAt(POINT pt) const {
  for (int i = 0; i < GetLinkCount(); ++i) {
    if (::PtInRect(&m_pLinks->rcLinks[i], pt)) return i;
  }
  return -1;
}

void CListTextElementUI::HandleEvent(InputEvent& event) {
  if (GetLinkCount() > 0 && IsEnabled() &&
      (IsMouseEnabled() || !IsMouseEventKind(event.iKind))) {
    const int iLink = LinkAt(event.ptMouse);
    switch (event.iKind) {
      case kEventSetCursor:
        if (iLink >= 0) {
          SetStandardCursor(kCursorHand);
          return;
        }
        break;
      case kEventButtonUp:
        if (iLink >= 0) {
          m_item.Notify(kNotifyLink, static_cast<WPARAM>(iLink));
          return;
        }
        break;
      case kEventMouseMove:
        if (iLink != m_iHotLink) {
          m_iHotLink = iLink;
          Invalidate();
        }
        break;
      case kEventMouseLeave:
        if (m_iHotLink != -1) {
          m_iHotLink = -1;
          Invalidate();
        }
        break;
      default:
        break;
    }
  }
  CListLabelElementUI::HandleEvent(event);
}

LPCWSTR CListTextElementUI::ColumnTextToDraw(int iColumn, CUIString& sStored) const {
  const CControlUI* pOwner = m_item.GetOwnerControl();
  IListUI* pList = pOwner != nullptr
                       ? static_cast<IListUI*>(const_cast<CControlUI*>(pOwner)->QueryNamedInterface(L"IList"))
                       : nullptr;
  IListTextSourceUI* pSource = pList != nullptr ? pList->GetItemTextSource() : nullptr;
  if (pSource != nullptr) {
    return pSource->GetItemText(const_cast<CListTextElementUI*>(this), m_item.GetIndex(), iColumn);
  }
  sStored = GetColumnText(iColumn);
  return sStored;
}

void CListTextElementUI::PaintElementText(HDC hDC, const RECT& rcText) {
  const ListInfo* pInfo = m_item.Info();
  if (pInfo == nullptr) return;
  // Without header columns (a combo box, a list without header items) the item shows its own
  // text, as a label element does.
  if (pInfo->nColumns == 0) {
    CListLabelElementUI::PaintElementText(hDC, rcText);
    return;
  }
  const DWORD dwColor = AdjustColor(m_item.TextColor());
  const UINT uStyle = pInfo->uTextStyle | kTextSingleLine;
  if (pInfo->bShowHtml && m_pLinks == nullptr) m_pLinks.reset(new LinkSet);
  if (m_pLinks != nullptr) m_pLinks->nLinks = 0;
  CUIString sStored;
  for (int c = 0; c < pInfo->nColumns; ++c) {
    LPCWSTR pstrText = ColumnTextToDraw(c, sStored);
    if (pstrText == nullptr || pstrText[0] == L'\0') continue;
    RECT rc = {pInfo->rcColumn[c].left, rcText.top, pInfo->rcColumn[c].right, rcText.bottom};
    rc = PaddedRect(rc);
    if (pInfo->bShowHtml) {
      int nLinks = kMaxLinks - m_pLinks->nLinks;
      CSkinRenderer::RenderMarkupText(hDC, m_pHost, rc, pstrText, dwColor,
                                      m_pLinks->rcLinks + m_pLinks->nLinks,
                                      m_pLinks->sLinks + m_pLinks->nLinks, nLinks, uStyle);
      m_pLinks->nLinks += nLinks;
    } else {
      CSkinRenderer::RenderText(hDC, m_pHost, rc, pstrText, dwColor, pInfo->nFont, uStyle);
    }
  }
}

}  // namespace SkinUI

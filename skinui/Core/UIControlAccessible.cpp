// The control base's side of accessibility: the plain control's description, the skin's name
// and role for it, and the changes it reports to its host.

#include <cwchar>

#include "Core/UIAccessible.h"
#include "Core/UIContainer.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

struct NamedRole {
  LPCWSTR pstrName;
  LONG lRole;
};

// The roles a skin may give a control in place of its own.
constexpr NamedRole kRoleNames[] = {
    {L"pushbutton", ROLE_SYSTEM_PUSHBUTTON},   {L"checkbox", ROLE_SYSTEM_CHECKBUTTON},
    {L"radiobutton", ROLE_SYSTEM_RADIOBUTTON}, {L"pagetab", ROLE_SYSTEM_PAGETAB},
    {L"pagetablist", ROLE_SYSTEM_PAGETABLIST}, {L"propertypage", ROLE_SYSTEM_PROPERTYPAGE},
    {L"statictext", ROLE_SYSTEM_STATICTEXT},   {L"text", ROLE_SYSTEM_TEXT},
    {L"link", ROLE_SYSTEM_LINK},               {L"graphic", ROLE_SYSTEM_GRAPHIC},
    {L"grouping", ROLE_SYSTEM_GROUPING},       {L"pane", ROLE_SYSTEM_PANE},
    {L"toolbar", ROLE_SYSTEM_TOOLBAR},         {L"statusbar", ROLE_SYSTEM_STATUSBAR},
    {L"titlebar", ROLE_SYSTEM_TITLEBAR},       {L"list", ROLE_SYSTEM_LIST},
    {L"listitem", ROLE_SYSTEM_LISTITEM},       {L"menuitem", ROLE_SYSTEM_MENUITEM},
    {L"separator", ROLE_SYSTEM_SEPARATOR},     {L"animation", ROLE_SYSTEM_ANIMATION},
    {L"progressbar", ROLE_SYSTEM_PROGRESSBAR}, {L"slider", ROLE_SYSTEM_SLIDER},
    {L"client", ROLE_SYSTEM_CLIENT},           {L"dialog", ROLE_SYSTEM_DIALOG},
};

bool IsTagLetter(WCHAR ch) { return ch >= L'a' && ch <= L'z'; }

}  // namespace

CUIString PlainTextOfMarkup(LPCWSTR pstrMarkup) {
  CUIString sPlain;
  for (LPCWSTR p = pstrMarkup; p != nullptr && *p != L'\0';) {
    // The four three-character escapes: "<{>", "<}>", "{<}", "{>}".
    const bool bEscape = (p[0] == L'<' && (p[1] == L'{' || p[1] == L'}') && p[2] == L'>') ||
                         (p[0] == L'{' && (p[1] == L'<' || p[1] == L'>') && p[2] == L'}');
    if (bEscape) {
      sPlain += p[1];
      p += 3;
      continue;
    }
    const bool bOpening = *p == L'<' || *p == L'{';
    const bool bStartTag = bOpening && IsTagLetter(p[1]) && (p[2] == L' ' || p[2] == L'>' || p[2] == L'}');
    const bool bEndTag = bOpening && p[1] == L'/' && IsTagLetter(p[2]);
    if (!bStartTag && !bEndTag) {
      sPlain += *p++;
      continue;
    }
    const bool bLineBreak = bStartTag && p[1] == L'n';
    while (*p != L'\0' && *p != L'>' && *p != L'}') ++p;
    if (*p != L'\0') ++p;
    if (bLineBreak) sPlain += L'\n';
  }
  return sPlain;
}

LONG AccessibleRoleFromName(LPCWSTR pstrName) {
  if (pstrName == nullptr) return 0;
  for (const NamedRole& role : kRoleNames) {
    if (std::wcscmp(role.pstrName, pstrName) == 0) return role.lRole;
  }
  return 0;
}

void CControlUI::DescribeAccessible(AccessibleDescription& desc) const {
  // A plain control with text reads like a label; one without is decoration.
  desc.lRole = m_sText.IsEmpty() ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_STATICTEXT;
  desc.sName = m_sText;
}

void CContainerUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_GROUPING;
  desc.sName = m_sText;
}

void CControlUI::SetAccessibleName(LPCWSTR pstrName) {
  if (m_sAccessibleName == pstrName) return;
  m_sAccessibleName = pstrName;
  NotifyAccessible(AccessibleEvent::kName);
}

void CControlUI::NotifyAccessible(AccessibleEvent event) {
  if (m_pHost != nullptr) m_pHost->NotifyAccessibleEvent(this, event);
}

}  // namespace SkinUI

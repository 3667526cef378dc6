// Skin attributes of the control base, attribute strings, custom attributes and the setters of
// purely visual fields.

#include <cwchar>

#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UISkinBuildObserver.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

using namespace attribute_values;

}  // namespace

UI_BEGIN_ROOT_ATTRIBUTES(CControlUI)
UI_ATTRIBUTE(L"pos", kPixelRectValue,
             const RECT rc = ReadRect(pstrValue);
             self.SetFixedOrigin(rc.left, rc.top);
             self.SetFixedWidth(rc.right - rc.left);
             self.SetFixedHeight(rc.bottom - rc.top))
UI_ATTRIBUTE(L"padding", kPixelRectValue, self.SetPadding(ReadRect(pstrValue)))
UI_ATTRIBUTE(L"bkcolor", kColorValue, self.SetBkColor(ReadColorAfterBlanks(pstrValue)))
UI_ATTRIBUTE(L"bkcolor1", kColorValue, self.SetBkColor(ReadColorAfterBlanks(pstrValue)))
UI_ATTRIBUTE(L"bkcolor2", kColorValue, self.SetBkColor2(ReadColorAfterBlanks(pstrValue)))
UI_ATTRIBUTE(L"bkcolor3", kColorValue, self.SetBkColor3(ReadColorAfterBlanks(pstrValue)))
UI_ATTRIBUTE(L"bordercolor", kColorValue, self.SetBorderColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"focusbordercolor", kColorValue, self.SetFocusBorderColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"colorhsl", kBoolValue, self.SetColorHSL(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"bordersize", kBorderValue,
             if (std::wcschr(pstrValue, L',') != nullptr) {
               self.SetBorderSize(ReadRect(pstrValue));
             } else {
               self.SetBorderSize(ReadInt(pstrValue));
             })
UI_ATTRIBUTE(L"borderstyle", kIntValue, self.SetBorderStyle(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"borderround", kPixelSizeValue, self.SetBorderRound(ReadSize(pstrValue)))
UI_ATTRIBUTE(L"bkimage", kImageValue, self.SetBkImage(pstrValue))
UI_ATTRIBUTE(L"width", kPixelValue, self.SetFixedWidth(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"height", kPixelValue, self.SetFixedHeight(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"minwidth", kPixelValue, self.SetMinWidth(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"minheight", kPixelValue, self.SetMinHeight(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"maxwidth", kPixelValue, self.SetMaxWidth(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"maxheight", kPixelValue, self.SetMaxHeight(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"name", kTextValue, self.SetName(pstrValue))
UI_ATTRIBUTE(L"text", kTextValue, self.SetText(pstrValue))
UI_ATTRIBUTE(L"tooltip", kTextValue, self.SetToolTip(pstrValue))
UI_ATTRIBUTE(L"accname", kTextValue, self.SetAccessibleName(pstrValue))
UI_ATTRIBUTE(L"accrole", kTextValue, self.SetAccessibleRole(AccessibleRoleFromName(pstrValue)))
UI_ATTRIBUTE(L"userdata", kTextValue, self.SetUserData(pstrValue))
UI_ATTRIBUTE(L"tag", kIntValue, self.SetTag(static_cast<UINT_PTR>(ReadInt(pstrValue))))
UI_ATTRIBUTE(L"enabled", kBoolValue, self.SetEnabled(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"mouse", kBoolValue, self.SetMouseEnabled(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"keyboard", kBoolValue, self.SetKeyboardEnabled(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"visible", kBoolValue, self.SetVisible(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"float", kFloatValue,
             if (std::wcschr(pstrValue, L',') != nullptr) {
               const double left = ReadListDouble(pstrValue);
               const double top = ReadListDouble(pstrValue);
               const double right = ReadListDouble(pstrValue);
               const double bottom = ReadListDouble(pstrValue);
               self.SetFloatRatios(left, top, right, bottom);
               self.SetFloat(true);
             } else {
               self.SetFloat(IsTrue(pstrValue));
             })
UI_ATTRIBUTE(L"shortcut", kTextValue, self.SetShortcut(pstrValue[0]))
UI_ATTRIBUTE(L"menu", kBoolValue, self.SetContextMenuEnabled(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"virtualwnd", kTextValue,
             self.SetVirtualWindowName(pstrValue);
             if (self.m_pHost != nullptr) self.m_pHost->UseVirtualWindowNames(true))
UI_END_ATTRIBUTES()

void CControlUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  const AttributeEntry* pEntry = FindAttributeEntry(GetAttributeTable(), pstrName);
  if (pEntry != nullptr) {
    if (ISkinBuildObserver* pObserver = CSkinBuildScope::Observer()) {
      pObserver->OnControlAttribute(CSkinBuildScope::Place(), *this, pEntry, pstrName, pstrValue);
    }
  }
  if (pEntry == nullptr) {
    ApplyUnlistedAttribute(pstrName, pstrValue);
  } else if (FollowsDpi(*pEntry)) {
    // Without a host the lengths stay at the DPI the control is at; joining one rescales them.
    m_dpiAttributes.Apply(pEntry, *this, pstrValue,
                          m_pHost != nullptr ? m_pHost->GetDpi() : m_dpiAttributes.GetDpi());
  } else {
    RunAttributeEntry(*pEntry, *this, pstrValue);
  }
}

void CControlUI::MatchHostDpi() {
  if (m_pHost != nullptr) m_dpiAttributes.Rescale(*this, m_pHost->GetDpi());
}

// Every class before this one has passed the name on: no table and no control reads it.
void CControlUI::ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (ISkinBuildObserver* pObserver = CSkinBuildScope::Observer()) {
    pObserver->OnControlAttribute(CSkinBuildScope::Place(), *this, nullptr, pstrName, pstrValue);
  }
  AddCustomAttribute(pstrName, pstrValue);
}


void CControlUI::ApplyAttributeString(LPCWSTR pstrList) {
  CUIString sName;
  CUIString sValue;
  while (*pstrList != L'\0') {
    sName.Empty();
    sValue.Empty();
    while (*pstrList != L'\0' && *pstrList != L'=') {
      LPCWSTR pstrNext = ::CharNextW(pstrList);
      sName.Append(CUIString(pstrList, static_cast<int>(pstrNext - pstrList)));
      pstrList = pstrNext;
    }
    UI_CHECK(*pstrList == L'=');
    if (*pstrList++ != L'=') return;
    UI_CHECK(*pstrList == L'"');
    if (*pstrList++ != L'"') return;
    while (*pstrList != L'\0' && *pstrList != L'"') {
      LPCWSTR pstrNext = ::CharNextW(pstrList);
      sValue.Append(CUIString(pstrList, static_cast<int>(pstrNext - pstrList)));
      pstrList = pstrNext;
    }
    UI_CHECK(*pstrList == L'"');
    if (*pstrList++ != L'"') return;
    ApplyAttribute(sName, sValue);
    // One blank separates pairs; anything else (the end included) ends the list.
    if (*pstrList++ != L' ') return;
  }
}

void CControlUI::AddCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (pstrName == nullptr || pstrName[0] == L'\0' || pstrValue == nullptr ||
      pstrValue[0] == L'\0') {
    return;
  }
  if (m_mCustomAttributes.Find(pstrName, false) != nullptr) return;
  m_mCustomAttributes.Insert(pstrName, new CUIString(pstrValue));
}

LPCWSTR CControlUI::GetCustomAttribute(LPCWSTR pstrName) const {
  if (pstrName == nullptr || pstrName[0] == L'\0') return nullptr;
  const CUIString* pValue = m_mCustomAttributes.Find(pstrName);
  return pValue != nullptr ? pValue->GetData() : nullptr;
}

void CControlUI::RemoveAllCustomAttributes() { m_mCustomAttributes.Clear(); }

// ---- visual setters: nothing happens for an unchanged value ----

void CControlUI::SetBkColor(DWORD dwBackColor) {
  if (m_dwBackColor == dwBackColor) return;
  m_dwBackColor = dwBackColor;
  Invalidate();
}

void CControlUI::SetBkColor2(DWORD dwBackColor) {
  if (m_dwBackColor2 == dwBackColor) return;
  m_dwBackColor2 = dwBackColor;
  Invalidate();
}

void CControlUI::SetBkColor3(DWORD dwBackColor) {
  if (m_dwBackColor3 == dwBackColor) return;
  m_dwBackColor3 = dwBackColor;
  Invalidate();
}

void CControlUI::SetBkImage(LPCWSTR pstrImage) {
  if (m_diBk.sAttribute == pstrImage && m_diBk.pImage != nullptr) return;
  m_diBk.Reset();
  m_diBk.sAttribute = pstrImage;
  // Loading now lets a floating control without a size take the image's.
  CSkinRenderer::RenderImage(nullptr, m_pHost, m_rcItem, m_rcPaint, m_diBk);
  if (m_bFloat && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0 && m_diBk.pImage != nullptr) {
    // The image's size in the window's pixels, whichever variant was found.
    m_cxyFixed.cx = ::MulDiv(m_diBk.pImage->nWidth, m_diBk.uDpi, m_diBk.uImageDpi);
    m_cxyFixed.cy = ::MulDiv(m_diBk.pImage->nHeight, m_diBk.uDpi, m_diBk.uImageDpi);
  }
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD dwBorderColor) {
  if (m_dwBorderColor == dwBorderColor) return;
  m_dwBorderColor = dwBorderColor;
  Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD dwBorderColor) {
  if (m_dwFocusBorderColor == dwBorderColor) return;
  m_dwFocusBorderColor = dwBorderColor;
  Invalidate();
}

void CControlUI::SetColorHSL(bool bColorHSL) {
  if (m_bColorHSL == bColorHSL) return;
  m_bColorHSL = bColorHSL;
  Invalidate();
}

void CControlUI::SetBorderSize(int nSize) { SetBorderSize(RECT{nSize, nSize, nSize, nSize}); }

void CControlUI::SetBorderSize(RECT rc) {
  if (::EqualRect(&m_rcBorderSize, &rc)) return;
  m_rcBorderSize = rc;
  Invalidate();
}

void CControlUI::SetBorderStyle(int nStyle) {
  if (m_nBorderStyle == nStyle) return;
  m_nBorderStyle = nStyle;
  Invalidate();
}

void CControlUI::SetBorderRound(SIZE cxyRound) {
  if (m_cxyBorderRound.cx == cxyRound.cx && m_cxyBorderRound.cy == cxyRound.cy) return;
  m_cxyBorderRound = cxyRound;
  Invalidate();
}

}  // namespace SkinUI

// Skin attributes of the control base, attribute strings, custom attributes and the setters of
// purely visual fields.

#include <cwchar>

#include "Core/UIAttributeValues.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

using namespace attribute_values;

}  // namespace

void CControlUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  const CUIString sName = pstrName;
  if (sName == L"pos") {
    const RECT rc = ReadRect(pstrValue);
    SetFixedOrigin(rc.left, rc.top);
    SetFixedWidth(rc.right - rc.left);
    SetFixedHeight(rc.bottom - rc.top);
  } else if (sName == L"padding") {
    SetPadding(ReadRect(pstrValue));
  } else if (sName == L"bkcolor" || sName == L"bkcolor1") {
    SetBkColor(ReadColorAfterBlanks(pstrValue));
  } else if (sName == L"bkcolor2") {
    SetBkColor2(ReadColorAfterBlanks(pstrValue));
  } else if (sName == L"bkcolor3") {
    SetBkColor3(ReadColorAfterBlanks(pstrValue));
  } else if (sName == L"bordercolor") {
    SetBorderColor(ReadColor(pstrValue));
  } else if (sName == L"focusbordercolor") {
    SetFocusBorderColor(ReadColor(pstrValue));
  } else if (sName == L"colorhsl") {
    SetColorHSL(IsTrue(pstrValue));
  } else if (sName == L"bordersize") {
    if (std::wcschr(pstrValue, L',') != nullptr) {
      SetBorderSize(ReadRect(pstrValue));
    } else {
      SetBorderSize(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
    }
  } else if (sName == L"borderstyle") {
    SetBorderStyle(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"borderround") {
    SIZE cxyRound;
    cxyRound.cx = ReadListInt(pstrValue);
    cxyRound.cy = ReadListInt(pstrValue);
    SetBorderRound(cxyRound);
  } else if (sName == L"bkimage") {
    SetBkImage(pstrValue);
  } else if (sName == L"width") {
    SetFixedWidth(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"height") {
    SetFixedHeight(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"minwidth") {
    SetMinWidth(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"minheight") {
    SetMinHeight(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"maxwidth") {
    SetMaxWidth(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"maxheight") {
    SetMaxHeight(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"name") {
    SetName(pstrValue);
  } else if (sName == L"text") {
    SetText(pstrValue);
  } else if (sName == L"tooltip") {
    SetToolTip(pstrValue);
  } else if (sName == L"userdata") {
    SetUserData(pstrValue);
  } else if (sName == L"tag") {
    SetTag(static_cast<UINT_PTR>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (sName == L"enabled") {
    SetEnabled(IsTrue(pstrValue));
  } else if (sName == L"mouse") {
    SetMouseEnabled(IsTrue(pstrValue));
  } else if (sName == L"keyboard") {
    SetKeyboardEnabled(IsTrue(pstrValue));
  } else if (sName == L"visible") {
    SetVisible(IsTrue(pstrValue));
  } else if (sName == L"float") {
    if (std::wcschr(pstrValue, L',') != nullptr) {
      const double left = ReadListDouble(pstrValue);
      const double top = ReadListDouble(pstrValue);
      const double right = ReadListDouble(pstrValue);
      const double bottom = ReadListDouble(pstrValue);
      SetFloatRatios(left, top, right, bottom);
      SetFloat(true);
    } else {
      SetFloat(IsTrue(pstrValue));
    }
  } else if (sName == L"shortcut") {
    SetShortcut(pstrValue[0]);
  } else if (sName == L"menu") {
    SetContextMenuEnabled(IsTrue(pstrValue));
  } else if (sName == L"virtualwnd") {
    SetVirtualWindowName(pstrValue);
    if (m_pHost != nullptr) m_pHost->UseVirtualWindowNames(true);
  } else {
    AddCustomAttribute(pstrName, pstrValue);
  }
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
    m_cxyFixed.cx = m_diBk.pImage->nWidth;
    m_cxyFixed.cy = m_diBk.pImage->nHeight;
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

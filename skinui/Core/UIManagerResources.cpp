// The registries a skin refers to by name or number: fonts, images, default attribute strings,
// custom window attributes, option groups, default colours and multi-language texts. Each
// exists per window (owned by the host) and shared by all windows (kept until process end).

#include <climits>
#include <cstring>
#include <new>

#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

struct SharedResources {
  CStringPtrMapUI mFonts{83};
  CStringPtrMapUI mImages{83};
  CStringPtrMapUI mDefaultAttributes{83};
  CStringPtrMapUI mMultiLanguage{83};
  FontInfo defaultFont = {};
  DWORD aColors[kDefaultColorCount] = {0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F,
                                       0xFFBAE4FF};
  SkinImageLoadProc pfnLoadImage = &CSkinRenderer::LoadSkinImage;
};

// Never destroyed: hosts may still be torn down while static objects go.
SharedResources& Shared() {
  static SharedResources* pShared = new SharedResources;
  return *pShared;
}

CUIString KeyOfId(int id) {
  CUIString sKey;
  sKey.Format(L"%d", id);
  return sKey;
}

// Every value of a registry, visited without reordering the registry.
template <class T, class Visit>
void ForEachValue(const CStringPtrMapUI& map, Visit visit) {
  for (int i = 0; i < map.GetSize(); ++i) {
    T* pValue = static_cast<T*>(map.Find(map.GetAt(i), false));
    if (pValue != nullptr && visit(pValue)) return;
  }
}

template <class T, class Free>
void FreeValues(CStringPtrMapUI& map, Free free) {
  ForEachValue<T>(map, [&free](T* pValue) {
    free(pValue);
    return false;
  });
  map.RemoveAll();
}

void FreeFont(FontInfo* pFontInfo) {
  ::DeleteObject(pFontInfo->hFont);
  delete pFontInfo;
}

void FreeImage(LoadedImage* pImage) { CSkinRenderer::FreeSkinImage(pImage, true); }

void DeleteString(CUIString* pString) { delete pString; }

void DeleteArray(CPtrArrayUI* pArray) { delete pArray; }

// Enters pValue under the key and frees the value it replaces. False when the registry could
// store nothing; pValue is freed then.
template <class T, class Free>
bool StoreOwned(CStringPtrMapUI& map, LPCWSTR pstrKey, T* pValue, Free free) {
  // Set hands back the replaced value, or the new one when it stored nothing.
  T* pReplaced = static_cast<T*>(map.Set(pstrKey, pValue));
  if (pReplaced == pValue) {
    free(pValue);
    return false;
  }
  if (pReplaced != nullptr) free(pReplaced);
  return true;
}

void StoreString(CStringPtrMapUI& map, LPCWSTR pstrKey, LPCWSTR pstrText) {
  StoreOwned(map, pstrKey, new CUIString(pstrText), DeleteString);
}

// The face name is cut to the platform's field, which must stay terminated.
HFONT CreateSkinFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                     bool bItalic) {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  ::lstrcpynW(lf.lfFaceName, pstrFontName != nullptr ? pstrFontName : L"", LF_FACESIZE);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -nSize;
  // Bold is relative to the stock weight.
  if (bBold) lf.lfWeight += FW_BOLD;
  if (bUnderline) lf.lfUnderline = TRUE;
  if (bItalic) lf.lfItalic = TRUE;
  return ::CreateFontIndirectW(&lf);
}

void DescribeFont(FontInfo& info, HFONT hFont, LPCWSTR pstrFontName, int nSize, bool bBold,
                  bool bUnderline, bool bItalic) {
  info.hFont = hFont;
  info.sFontName = pstrFontName;
  info.iSize = nSize;
  info.bBold = bBold;
  info.bUnderline = bUnderline;
  info.bItalic = bItalic;
  std::memset(&info.tm, 0, sizeof(info.tm));
}

// The stock GUI font, made once for the process.
FontInfo& SharedDefaultFont() {
  FontInfo& info = Shared().defaultFont;
  if (info.hFont == nullptr) {
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    const HFONT hFont = ::CreateFontIndirectW(&lf);
    if (hFont != nullptr) {
      DescribeFont(info, hFont, lf.lfFaceName, -lf.lfHeight, lf.lfWeight >= FW_BOLD,
                   lf.lfUnderline != 0, lf.lfItalic != 0);
    }
  }
  return info;
}

}  // namespace

DWORD CWindowHostUI::SharedDefaultColor(DefaultColor which) { return Shared().aColors[which]; }

void CWindowHostUI::FreeWindowResources() {
  FreeValues<FontInfo>(m_mFonts, FreeFont);
  FreeValues<LoadedImage>(m_mImages, FreeImage);
  FreeValues<CUIString>(m_mDefaultAttributes, DeleteString);
  FreeValues<CUIString>(m_mWindowCustomAttributes, DeleteString);
  FreeValues<CPtrArrayUI>(m_mOptionGroups, DeleteArray);
}

void CWindowHostUI::SetImageLoader(SkinImageLoadProc pfnLoad) { Shared().pfnLoadImage = pfnLoad; }

void CWindowHostUI::SetForceSharedResources(bool bForce) { m_bForceSharedResources = bForce; }

bool CWindowHostUI::IsForceSharedResources() const { return m_bForceSharedResources; }

// ---- fonts ----

CStringPtrMapUI& CWindowHostUI::FontRegistry(bool bShared) {
  return bShared || m_bForceSharedResources ? Shared().mFonts : m_mFonts;
}

void CWindowHostUI::MeasureFont(FontInfo* pFontInfo) {
  if (m_hDcPaint == nullptr || pFontInfo->hFont == nullptr || pFontInfo->tm.tmHeight != 0) return;
  const HGDIOBJ hOldFont = ::SelectObject(m_hDcPaint, pFontInfo->hFont);
  ::GetTextMetricsW(m_hDcPaint, &pFontInfo->tm);
  ::SelectObject(m_hDcPaint, hOldFont);
}

HFONT CWindowHostUI::RegisterFont(int id, LPCWSTR pstrFontName, int nSize, bool bBold,
                                  bool bUnderline, bool bItalic, bool bShared) {
  const HFONT hFont = CreateSkinFont(pstrFontName, nSize, bBold, bUnderline, bItalic);
  if (hFont == nullptr) return nullptr;
  FontInfo* pFontInfo = new FontInfo;
  DescribeFont(*pFontInfo, hFont, pstrFontName, nSize, bBold, bUnderline, bItalic);
  MeasureFont(pFontInfo);
  return StoreOwned(FontRegistry(bShared), KeyOfId(id), pFontInfo, FreeFont) ? hFont : nullptr;
}

FontInfo* CWindowHostUI::GetFontInfo(int id) {
  FontInfo* pFontInfo = nullptr;
  if (id >= 0) {
    const CUIString sKey = KeyOfId(id);
    pFontInfo = static_cast<FontInfo*>(m_mFonts.Find(sKey));
    if (pFontInfo == nullptr) pFontInfo = static_cast<FontInfo*>(Shared().mFonts.Find(sKey));
  }
  if (pFontInfo == nullptr) return GetDefaultFontInfo();
  MeasureFont(pFontInfo);
  return pFontInfo;
}

HFONT CWindowHostUI::LookupFont(int id) { return GetFontInfo(id)->hFont; }

FontInfo* CWindowHostUI::GetFontInfo(HFONT hFont) {
  FontInfo* pFound = nullptr;
  auto match = [hFont, &pFound](FontInfo* pFontInfo) {
    if (pFontInfo->hFont == hFont) pFound = pFontInfo;
    return pFound != nullptr;
  };
  ForEachValue<FontInfo>(m_mFonts, match);
  if (pFound == nullptr) ForEachValue<FontInfo>(Shared().mFonts, match);
  if (pFound == nullptr) return GetDefaultFontInfo();
  MeasureFont(pFound);
  return pFound;
}

HFONT CWindowHostUI::FindFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                              bool bItalic) {
  FontInfo* pFound = nullptr;
  auto match = [&](FontInfo* pFontInfo) {
    if (pFontInfo->sFontName == pstrFontName && pFontInfo->iSize == nSize &&
        pFontInfo->bBold == bBold && pFontInfo->bUnderline == bUnderline &&
        pFontInfo->bItalic == bItalic) {
      pFound = pFontInfo;
    }
    return pFound != nullptr;
  };
  ForEachValue<FontInfo>(m_mFonts, match);
  if (pFound == nullptr) ForEachValue<FontInfo>(Shared().mFonts, match);
  return pFound != nullptr ? pFound->hFont : nullptr;
}

void CWindowHostUI::SetDefaultFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                                   bool bItalic, bool bShared) {
  const HFONT hFont = CreateSkinFont(pstrFontName, nSize, bBold, bUnderline, bItalic);
  if (hFont == nullptr) return;
  FontInfo& info = bShared ? SharedDefaultFont() : m_DefaultFontInfo;
  if (info.hFont != nullptr) ::DeleteObject(info.hFont);
  DescribeFont(info, hFont, pstrFontName, nSize, bBold, bUnderline, bItalic);
  MeasureFont(&info);
}

FontInfo* CWindowHostUI::GetDefaultFontInfo() {
  FontInfo* pFontInfo = m_DefaultFontInfo.sFontName.IsEmpty() ? &SharedDefaultFont()
                                                              : &m_DefaultFontInfo;
  MeasureFont(pFontInfo);
  return pFontInfo;
}

void CWindowHostUI::RemoveAllFonts(bool bShared) {
  FreeValues<FontInfo>(bShared ? Shared().mFonts : m_mFonts, FreeFont);
}

// ---- images ----

LoadedImage* CWindowHostUI::RegisterImage(LPCWSTR pstrName, LPCWSTR pstrType, DWORD dwMask,
                                          bool bHueAdjust, bool bShared) {
  if (pstrName == nullptr || *pstrName == L'\0') return nullptr;
  const SkinImageLoadProc pfnLoad = Shared().pfnLoadImage;
  if (pfnLoad == nullptr) return nullptr;
  LPCWSTR pstrSource = pstrName;
  if (pstrType != nullptr) {
    if (*pstrName < L'0' || *pstrName > L'9') return nullptr;
    pstrSource = MAKEINTRESOURCEW(::_wtoi(pstrName));
  }
  LoadedImage* pImage = pfnLoad(pstrSource, pstrType, dwMask);
  if (pImage == nullptr) return nullptr;
  pImage->bFollowsHue = bHueAdjust;
  pImage->sResType = pstrType;
  pImage->dwMask = dwMask;
  if (bHueAdjust && pImage->pPixels != nullptr && pImage->nWidth > 0 && pImage->nHeight > 0) {
    const size_t nPixels = static_cast<size_t>(pImage->nWidth) * pImage->nHeight;
    pImage->pUnadjustedPixels = new (std::nothrow) DWORD[nPixels];
    if (pImage->pUnadjustedPixels != nullptr) {
      std::memcpy(pImage->pUnadjustedPixels, pImage->pPixels, nPixels * sizeof(DWORD));
      const HueShift shift = GetHueShift();
      if (shift.bUse) {
        CSkinRenderer::ShiftImageHsl(true, pImage, shift.sHue, shift.sSaturation, shift.sLightness);
      }
    }
  }
  CStringPtrMapUI& images = bShared || m_bForceSharedResources ? Shared().mImages : m_mImages;
  return StoreOwned(images, pstrName, pImage, FreeImage) ? pImage : nullptr;
}

LoadedImage* CWindowHostUI::LookupImage(LPCWSTR pstrName) {
  if (pstrName == nullptr) return nullptr;
  LoadedImage* pImage = static_cast<LoadedImage*>(m_mImages.Find(pstrName));
  if (pImage == nullptr) pImage = static_cast<LoadedImage*>(Shared().mImages.Find(pstrName));
  for (const CWindowHostUI* pParent = m_pParentHost; pImage == nullptr && pParent != nullptr;
       pParent = pParent->m_pParentHost) {
    pImage = static_cast<LoadedImage*>(pParent->m_mImages.Find(pstrName));
  }
  return pImage;
}

LoadedImage* CWindowHostUI::LookupOrLoadImage(LPCWSTR pstrName, LPCWSTR pstrType, DWORD dwMask,
                                              bool bHueAdjust) {
  LoadedImage* pImage = LookupImage(pstrName);
  if (pImage == nullptr) pImage = RegisterImage(pstrName, pstrType, dwMask, bHueAdjust, false);
  return pImage;
}

void CWindowHostUI::RemoveAllImages(bool bShared) {
  FreeValues<LoadedImage>(bShared ? Shared().mImages : m_mImages, FreeImage);
}

// ---- default attribute strings ----

void CWindowHostUI::SetDefaultAttributes(LPCWSTR pstrControlName, LPCWSTR pstrAttributes,
                                         bool bShared) {
  StoreString(bShared || m_bForceSharedResources ? Shared().mDefaultAttributes
                                                 : m_mDefaultAttributes,
              pstrControlName, pstrAttributes);
}

LPCWSTR CWindowHostUI::DefaultAttributesFor(LPCWSTR pstrControlName) {
  CUIString* pAttributes = static_cast<CUIString*>(m_mDefaultAttributes.Find(pstrControlName));
  if (pAttributes == nullptr) {
    pAttributes = static_cast<CUIString*>(Shared().mDefaultAttributes.Find(pstrControlName));
  }
  return pAttributes != nullptr ? pAttributes->GetData() : nullptr;
}

void CWindowHostUI::RemoveAllDefaultAttributeLists(bool bShared) {
  FreeValues<CUIString>(bShared ? Shared().mDefaultAttributes : m_mDefaultAttributes,
                        DeleteString);
}

// ---- custom window attributes ----

void CWindowHostUI::AddWindowCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (pstrName == nullptr || *pstrName == L'\0' || pstrValue == nullptr || *pstrValue == L'\0') {
    return;
  }
  if (m_mWindowCustomAttributes.Find(pstrName) != nullptr) return;
  CUIString* pValue = new CUIString(pstrValue);
  if (!m_mWindowCustomAttributes.Insert(pstrName, pValue)) delete pValue;
}

LPCWSTR CWindowHostUI::GetWindowCustomAttribute(LPCWSTR pstrName) {
  CUIString* pValue = static_cast<CUIString*>(m_mWindowCustomAttributes.Find(pstrName));
  return pValue != nullptr ? pValue->GetData() : nullptr;
}

void CWindowHostUI::RemoveAllWindowCustomAttributes() {
  FreeValues<CUIString>(m_mWindowCustomAttributes, DeleteString);
  m_mWindowCustomAttributes.Resize(83);
}

// ---- option groups ----

bool CWindowHostUI::JoinOptionGroup(LPCWSTR pstrGroupName, CControlUI* pControl) {
  CPtrArrayUI* pMembers = static_cast<CPtrArrayUI*>(m_mOptionGroups.Find(pstrGroupName));
  if (pMembers != nullptr) {
    if (pMembers->Find(pControl) >= 0) return false;
    return pMembers->Add(pControl);
  }
  pMembers = new CPtrArrayUI(6);
  if (!pMembers->Add(pControl) || !m_mOptionGroups.Insert(pstrGroupName, pMembers)) {
    delete pMembers;
    return false;
  }
  return true;
}

CPtrArrayUI* CWindowHostUI::OptionGroupMembers(LPCWSTR pstrGroupName) {
  return static_cast<CPtrArrayUI*>(m_mOptionGroups.Find(pstrGroupName));
}

void CWindowHostUI::LeaveOptionGroup(LPCWSTR pstrGroupName, CControlUI* pControl) {
  CPtrArrayUI* pMembers = static_cast<CPtrArrayUI*>(m_mOptionGroups.Find(pstrGroupName));
  if (pMembers == nullptr) return;
  const int iIndex = pMembers->Find(pControl);
  if (iIndex >= 0) pMembers->Remove(iIndex);
  if (pMembers->IsEmpty()) {
    m_mOptionGroups.Remove(pstrGroupName);
    delete pMembers;
  }
}

void CWindowHostUI::ClearOptionGroups() { FreeValues<CPtrArrayUI>(m_mOptionGroups, DeleteArray); }

// ---- default colours ----

DWORD CWindowHostUI::GetDefaultColor(DefaultColor which) const {
  if (static_cast<unsigned>(which) >= kDefaultColorCount) return 0;
  return m_aDefaultColors[which];
}

void CWindowHostUI::SetDefaultColor(DefaultColor which, DWORD dwColor, bool bShared) {
  if (static_cast<unsigned>(which) >= kDefaultColorCount) return;
  if (bShared) {
    DWORD& dwShared = Shared().aColors[which];
    // A window that set a colour of its own keeps it.
    if (m_aDefaultColors[which] == dwShared) m_aDefaultColors[which] = dwColor;
    dwShared = dwColor;
  } else {
    m_aDefaultColors[which] = dwColor;
  }
}

// ---- multi-language texts ----

void CWindowHostUI::AddMultiLanguageString(int id, LPCWSTR pstrText) {
  StoreString(Shared().mMultiLanguage, KeyOfId(id), pstrText);
}

LPCWSTR CWindowHostUI::GetMultiLanguageString(int id) {
  CUIString* pText = static_cast<CUIString*>(Shared().mMultiLanguage.Find(KeyOfId(id)));
  return pText != nullptr ? pText->GetData() : nullptr;
}

void CWindowHostUI::ApplyLanguageTokens(CUIString& sText) {
  int nReplaced = 0;
  int iPos = sText.Find(L'%');
  while (iPos >= 0 && nReplaced < kMaxLanguageTokenReplacements) {
    if (sText.GetAt(iPos + 1) == L'{') {
      int iEnd = iPos + 2;
      int id = 0;
      bool bTooLarge = false;
      for (; sText.GetAt(iEnd) >= L'0' && sText.GetAt(iEnd) <= L'9'; ++iEnd) {
        const int iDigit = sText.GetAt(iEnd) - L'0';
        if (id > (INT_MAX - iDigit) / 10) bTooLarge = true;
        if (!bTooLarge) id = id * 10 + iDigit;
      }
      LPCWSTR pstrReplacement =
          sText.GetAt(iEnd) == L'}' && !bTooLarge ? GetMultiLanguageString(id) : nullptr;
      if (pstrReplacement != nullptr) {
        // This occurrence only: the scan goes on inside the replacement, so the tokens a
        // registered text holds are replaced too.
        CUIString sReplaced = sText.Left(iPos);
        sReplaced += pstrReplacement;
        sReplaced += sText.Mid(iEnd + 1);
        sText = sReplaced;
        ++nReplaced;
      }
    }
    iPos = sText.Find(L'%', iPos + 1);
  }
}

}  // namespace SkinUI

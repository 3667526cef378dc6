// The registries a skin refers to by name or number: fonts, images, default attribute strings,
// custom window attributes, option groups, default colours and multi-language texts. Each
// exists per window (owned by the host) and shared by all windows (kept until process end).

#include <climits>
#include <cstring>
#include <new>

#include "Core/UIDpiAttributes.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

struct SharedResources {
  CHostResources tables;
  COwnedStringMapUI<CUIString> multiLanguage;
  SkinImageLoadProc pfnLoadImage = &CSkinRenderer::LoadSkinImage;

  SharedResources() {
    const DWORD aInitial[kDefaultColorCount] = {0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F,
                                                0xFFBAE4FF};
    std::memcpy(tables.aColors, aInitial, sizeof(aInitial));
  }
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

// The face name is cut to the platform's field, which must stay terminated. nSize is in the
// window's pixels.
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

// The stock GUI font, which the system makes for its own DPI, made again for uDpi. Its size is
// noted in skin pixels, as every registered font's is.
void MakeStockFont(FontInfo& info, UINT uDpi) {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfCharSet = DEFAULT_CHARSET;
  const int nSystemDpi = static_cast<int>(CWindowHostUI::QuerySystemDpi());
  lf.lfHeight = ::MulDiv(lf.lfHeight, static_cast<int>(uDpi), nSystemDpi);
  const HFONT hFont = ::CreateFontIndirectW(&lf);
  if (hFont != nullptr) {
    DescribeFont(info, hFont, lf.lfFaceName, ::MulDiv(-lf.lfHeight, kSkinDpi, uDpi),
                 lf.lfWeight >= FW_BOLD, lf.lfUnderline != 0, lf.lfItalic != 0);
  }
}

// The stock GUI font at the system's DPI, made once for the process.
FontInfo& SharedDefaultFont() {
  FontInfo& info = Shared().tables.defaultFont;
  if (info.hFont == nullptr) MakeStockFont(info, CWindowHostUI::QuerySystemDpi());
  return info;
}

}  // namespace

DWORD CWindowHostUI::SharedDefaultColor(DefaultColor which) {
  return Shared().tables.aColors[which];
}

CHostResources& CWindowHostUI::Registries(bool bShared) {
  return bShared || m_bForceSharedResources ? Shared().tables : m_resources;
}

void CWindowHostUI::SetImageLoader(SkinImageLoadProc pfnLoad) { Shared().pfnLoadImage = pfnLoad; }

SkinImageLoadProc CWindowHostUI::GetImageLoader() { return Shared().pfnLoadImage; }

void CWindowHostUI::SetForceSharedResources(bool bForce) { m_bForceSharedResources = bForce; }

bool CWindowHostUI::IsForceSharedResources() const { return m_bForceSharedResources; }

// ---- fonts ----

void CWindowHostUI::MeasureFont(FontInfo* pFontInfo) {
  if (m_hDcPaint == nullptr || pFontInfo->hFont == nullptr || pFontInfo->tm.tmHeight != 0) return;
  const HGDIOBJ hOldFont = ::SelectObject(m_hDcPaint, pFontInfo->hFont);
  ::GetTextMetricsW(m_hDcPaint, &pFontInfo->tm);
  ::SelectObject(m_hDcPaint, hOldFont);
}

template <class Match>
FontInfo* CWindowHostUI::FindFontInfo(Match match) {
  FontInfo* pFound = m_resources.fonts.FindIf(match);
  return pFound != nullptr ? pFound : Shared().tables.fonts.FindIf(match);
}

HFONT CWindowHostUI::RegisterFont(int id, LPCWSTR pstrFontName, int nSize, bool bBold,
                                  bool bUnderline, bool bItalic, bool bShared) {
  const HFONT hFont = CreateSkinFont(pstrFontName, ScalePixels(nSize), bBold, bUnderline, bItalic);
  if (hFont == nullptr) return nullptr;
  FontInfo* pFontInfo = new FontInfo;
  DescribeFont(*pFontInfo, hFont, pstrFontName, nSize, bBold, bUnderline, bItalic);
  MeasureFont(pFontInfo);
  return Registries(bShared).fonts.Set(KeyOfId(id), pFontInfo) ? hFont : nullptr;
}

FontInfo* CWindowHostUI::GetFontInfo(int id) {
  FontInfo* pFontInfo = nullptr;
  if (id >= 0) {
    const CUIString sKey = KeyOfId(id);
    pFontInfo = m_resources.fonts.Find(sKey);
    if (pFontInfo == nullptr) pFontInfo = Shared().tables.fonts.Find(sKey);
  }
  if (pFontInfo == nullptr) return GetDefaultFontInfo();
  MeasureFont(pFontInfo);
  return pFontInfo;
}

HFONT CWindowHostUI::LookupFont(int id) { return GetFontInfo(id)->hFont; }

FontInfo* CWindowHostUI::GetFontInfo(HFONT hFont) {
  FontInfo* pFound = FindFontInfo([hFont](const FontInfo* pFontInfo) {
    return pFontInfo->hFont == hFont;
  });
  if (pFound == nullptr) return GetDefaultFontInfo();
  MeasureFont(pFound);
  return pFound;
}

HFONT CWindowHostUI::FindFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                              bool bItalic) {
  FontInfo* pFound = FindFontInfo([&](const FontInfo* pFontInfo) {
    return pFontInfo->sFontName == pstrFontName && pFontInfo->iSize == nSize &&
           pFontInfo->bBold == bBold && pFontInfo->bUnderline == bUnderline &&
           pFontInfo->bItalic == bItalic;
  });
  return pFound != nullptr ? pFound->hFont : nullptr;
}

void CWindowHostUI::SetDefaultFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                                   bool bItalic, bool bShared) {
  const HFONT hFont = CreateSkinFont(pstrFontName, ScalePixels(nSize), bBold, bUnderline, bItalic);
  if (hFont == nullptr) return;
  if (bShared) {
    // Made first, so that the stock font it replaces is deleted too.
    SharedDefaultFont();
    Shared().tables.SetDefaultFont(hFont, pstrFontName, nSize, bBold, bUnderline, bItalic);
    MeasureFont(&Shared().tables.defaultFont);
  } else {
    m_resources.SetDefaultFont(hFont, pstrFontName, nSize, bBold, bUnderline, bItalic);
    MeasureFont(&m_resources.defaultFont);
  }
}

FontInfo* CWindowHostUI::GetDefaultFontInfo() {
  FontInfo* pFontInfo = &m_resources.defaultFont;
  if (pFontInfo->sFontName.IsEmpty()) {
    if (m_uDpi == QuerySystemDpi()) {
      pFontInfo = &SharedDefaultFont();
    } else {
      if (m_stockFont.hFont == nullptr) MakeStockFont(m_stockFont, m_uDpi);
      pFontInfo = &m_stockFont;
    }
  }
  MeasureFont(pFontInfo);
  return pFontInfo;
}

void CWindowHostUI::RemakeFonts() {
  auto remake = [this](FontInfo* pFontInfo) {
    const HFONT hFont = CreateSkinFont(pFontInfo->sFontName, ScalePixels(pFontInfo->iSize),
                                       pFontInfo->bBold, pFontInfo->bUnderline,
                                       pFontInfo->bItalic);
    if (hFont == nullptr) return false;
    ::DeleteObject(pFontInfo->hFont);
    pFontInfo->hFont = hFont;
    std::memset(&pFontInfo->tm, 0, sizeof(pFontInfo->tm));
    return false;  // every font
  };
  m_resources.fonts.FindIf(remake);
  if (!m_resources.defaultFont.sFontName.IsEmpty()) remake(&m_resources.defaultFont);
  // Made again for the new DPI when it is asked for.
  if (m_stockFont.hFont != nullptr) ::DeleteObject(m_stockFont.hFont);
  m_stockFont = FontInfo{};
}

void CWindowHostUI::RemoveAllFonts(bool bShared) {
  (bShared ? Shared().tables : m_resources).fonts.Clear();
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
  return Registries(bShared).images.Set(pstrName, pImage) ? pImage : nullptr;
}

LoadedImage* CWindowHostUI::LookupImage(LPCWSTR pstrName) {
  if (pstrName == nullptr) return nullptr;
  LoadedImage* pImage = m_resources.images.Find(pstrName);
  if (pImage == nullptr) pImage = Shared().tables.images.Find(pstrName);
  for (const CWindowHostUI* pParent = m_pParentHost; pImage == nullptr && pParent != nullptr;
       pParent = pParent->m_pParentHost) {
    pImage = pParent->m_resources.images.Find(pstrName);
  }
  return pImage;
}

LoadedImage* CWindowHostUI::LookupOrLoadImage(LPCWSTR pstrName, LPCWSTR pstrType, DWORD dwMask,
                                              bool bHueAdjust) {
  LoadedImage* pImage = LookupImage(pstrName);
  if (pImage == nullptr) pImage = RegisterImage(pstrName, pstrType, dwMask, bHueAdjust, false);
  return pImage;
}

LoadedImage* CWindowHostUI::LookupOrTryImage(LPCWSTR pstrName, DWORD dwMask, bool bHueAdjust) {
  if (LoadedImage* pImage = LookupImage(pstrName)) return pImage;
  if (pstrName == nullptr || m_resources.missingImages.count(pstrName) != 0) return nullptr;
  LoadedImage* pImage = RegisterImage(pstrName, nullptr, dwMask, bHueAdjust, false);
  if (pImage == nullptr) m_resources.missingImages.insert(pstrName);
  return pImage;
}

void CWindowHostUI::RemoveAllImages(bool bShared) {
  (bShared ? Shared().tables : m_resources).images.Clear();
  // What is registered next may come from elsewhere.
  m_resources.missingImages.clear();
}

// ---- default attribute strings ----

void CWindowHostUI::SetDefaultAttributes(LPCWSTR pstrControlName, LPCWSTR pstrAttributes,
                                         bool bShared) {
  Registries(bShared).defaultAttributes.Set(pstrControlName, new CUIString(pstrAttributes));
}

LPCWSTR CWindowHostUI::DefaultAttributesFor(LPCWSTR pstrControlName) {
  CUIString* pAttributes = m_resources.defaultAttributes.Find(pstrControlName);
  if (pAttributes == nullptr) pAttributes = Shared().tables.defaultAttributes.Find(pstrControlName);
  return pAttributes != nullptr ? pAttributes->GetData() : nullptr;
}

void CWindowHostUI::RemoveAllDefaultAttributeLists(bool bShared) {
  (bShared ? Shared().tables : m_resources).defaultAttributes.Clear();
}

// ---- custom window attributes ----

void CWindowHostUI::AddWindowCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (pstrName == nullptr || *pstrName == L'\0' || pstrValue == nullptr || *pstrValue == L'\0') {
    return;
  }
  if (m_resources.customAttributes.Find(pstrName) != nullptr) return;
  m_resources.customAttributes.Insert(pstrName, new CUIString(pstrValue));
}

LPCWSTR CWindowHostUI::GetWindowCustomAttribute(LPCWSTR pstrName) {
  CUIString* pValue = m_resources.customAttributes.Find(pstrName);
  return pValue != nullptr ? pValue->GetData() : nullptr;
}

void CWindowHostUI::RemoveAllWindowCustomAttributes() { m_resources.customAttributes.Clear(); }

// ---- option groups ----

bool CWindowHostUI::JoinOptionGroup(LPCWSTR pstrGroupName, CControlUI* pControl) {
  CHostResources::OptionGroup* pMembers = m_resources.optionGroups.Find(pstrGroupName);
  if (pMembers != nullptr) {
    if (pMembers->Find(pControl) >= 0) return false;
    return pMembers->Add(pControl);
  }
  pMembers = new CHostResources::OptionGroup(6);
  if (!pMembers->Add(pControl)) {
    delete pMembers;
    return false;
  }
  return m_resources.optionGroups.Insert(pstrGroupName, pMembers);
}

CPtrArrayUI* CWindowHostUI::OptionGroupMembers(LPCWSTR pstrGroupName) {
  return m_resources.optionGroups.Find(pstrGroupName);
}

void CWindowHostUI::LeaveOptionGroup(LPCWSTR pstrGroupName, CControlUI* pControl) {
  CHostResources::OptionGroup* pMembers = m_resources.optionGroups.Find(pstrGroupName);
  if (pMembers == nullptr) return;
  pMembers->RemoveFirst(pControl);
  if (pMembers->IsEmpty()) m_resources.optionGroups.Delete(pstrGroupName);
}

void CWindowHostUI::ClearOptionGroups() { m_resources.optionGroups.Clear(); }

// ---- default colours ----

DWORD CWindowHostUI::GetDefaultColor(DefaultColor which) const {
  if (static_cast<unsigned>(which) >= kDefaultColorCount) return 0;
  return m_resources.aColors[which];
}

void CWindowHostUI::SetDefaultColor(DefaultColor which, DWORD dwColor, bool bShared) {
  if (static_cast<unsigned>(which) >= kDefaultColorCount) return;
  if (bShared) {
    DWORD& dwShared = Shared().tables.aColors[which];
    // A window that set a colour of its own keeps it.
    if (m_resources.aColors[which] == dwShared) m_resources.aColors[which] = dwColor;
    dwShared = dwColor;
  } else {
    m_resources.aColors[which] = dwColor;
  }
}

// ---- multi-language texts ----

void CWindowHostUI::AddMultiLanguageString(int id, LPCWSTR pstrText) {
  Shared().multiLanguage.Set(KeyOfId(id), new CUIString(pstrText));
}

LPCWSTR CWindowHostUI::GetMultiLanguageString(int id) {
  const CUIString* pText = Shared().multiLanguage.Find(KeyOfId(id));
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

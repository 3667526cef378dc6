#include "Core/UIDlgBuilder.h"

#include <cwchar>
#include <cwctype>

#include "Control/UIButton.h"
#include "Control/UICheckBox.h"
#include "Control/UILabel.h"
#include "Control/UIOption.h"
#include "Control/UIProgress.h"
#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Control/UISlider.h"
#include "Control/UIText.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIContainer.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Layout/UIChildLayout.h"
#include "Layout/UIHorizontalLayout.h"
#include "Layout/UITabLayout.h"
#include "Layout/UITileLayout.h"
#include "Layout/UIVerticalLayout.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace av = attribute_values;

namespace {

// A skin that includes itself, directly or through others, would otherwise recurse until the
// stack runs out.
constexpr int kMaxIncludeDepth = 16;
thread_local int t_nIncludeDepth = 0;

bool IsResourceId(LPCWSTR pstr) { return (reinterpret_cast<ULONG_PTR>(pstr) >> 16) == 0; }

bool NameIs(LPCWSTR pstrName, LPCWSTR pstrWanted) { return ::lstrcmpiW(pstrName, pstrWanted) == 0; }

bool IsTrueAnyCase(LPCWSTR pstrValue) { return ::lstrcmpiW(pstrValue, L"true") == 0; }

SIZE ReadSize(LPCWSTR pstrValue) {
  SIZE sz;
  sz.cx = av::ReadListInt(pstrValue);
  sz.cy = av::ReadListInt(pstrValue);
  return sz;
}

template <class T>
CControlUI* Make() {
  return new T;
}

struct FactoryEntry {
  LPCWSTR pstrName;
  bool bExactCase;
  CControlUI* (*pfnCreate)();
};

// Only the controls this framework has; other names go to the window's callback.
const FactoryEntry kFactory[] = {
    {L"Text", false, &Make<CTextUI>},
    {L"HBox", false, &Make<CHorizontalLayoutUI>},
    {L"VBox", false, &Make<CVerticalLayoutUI>},
    {L"Label", false, &Make<CLabelUI>},
    {L"Button", false, &Make<CButtonUI>},
    {L"Option", false, &Make<COptionUI>},
    {L"Slider", false, &Make<CSliderUI>},
    {L"Control", false, &Make<CControlUI>},
    {L"Progress", false, &Make<CProgressUI>},
    {L"RichEdit", false, &Make<CRichEditUI>},
    {L"CheckBox", false, &Make<CCheckBoxUI>},
    {L"Container", false, &Make<CContainerUI>},
    {L"TabLayout", false, &Make<CTabLayoutUI>},
    {L"ScrollBar", false, &Make<CScrollBarUI>},
    {L"TileLayout", false, &Make<CTileLayoutUI>},
    {L"ChildLayout", false, &Make<CChildLayoutUI>},
    {L"VerticalLayout", false, &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", false, &Make<CHorizontalLayoutUI>},
};

}  // namespace

CSkinBuilder::CSkinBuilder() : m_pCallback(nullptr), m_pstrType(nullptr) {}

CSkinMarkup* CSkinBuilder::GetMarkup() { return &m_xml; }
LPCWSTR CSkinBuilder::GetLastErrorMessage() const { return m_xml.GetLastErrorMessage(); }
LPCWSTR CSkinBuilder::GetLastErrorLocation() const { return m_xml.GetLastErrorLocation(); }

CControlUI* CSkinBuilder::CreateBuiltInControl(LPCWSTR pstrClass) {
  const size_t cchClass = std::wcslen(pstrClass);
  for (const FactoryEntry& entry : kFactory) {
    // Lengths first: most names are ruled out without a comparison.
    if (std::wcslen(entry.pstrName) != cchClass) continue;
    const bool bSame = entry.bExactCase ? std::wcscmp(entry.pstrName, pstrClass) == 0
                                        : ::lstrcmpiW(entry.pstrName, pstrClass) == 0;
    if (bSame) return entry.pfnCreate();
  }
  return nullptr;
}

CControlUI* CSkinBuilder::Build(LPCWSTR pstrSource, LPCWSTR pstrType,
                                IDialogBuilderCallback* pCallback, CWindowHostUI* pHost,
                                CControlUI* pParent) {
  if (pstrSource == nullptr) return nullptr;
  if (IsResourceId(pstrSource)) {
    m_pCallback = pCallback;
    const UINT uId = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(pstrSource));
    if (!m_xml.ParseSkinResource(CWindowHostUI::GetResourceInstance(), uId, pstrType)) {
      return nullptr;
    }
    m_pstrType = pstrType;
  } else {
    const bool bParsed = pstrSource[0] == L'<'
                             ? m_xml.ParseText(pstrSource)
                             : m_xml.ParseSkinFile(pstrSource, SkinTextEncoding::Utf8);
    if (!bParsed) return nullptr;
  }
  return BuildFromMarkup(pCallback, pHost, pParent);
}

CControlUI* CSkinBuilder::BuildFromMarkup(IDialogBuilderCallback* pCallback, CWindowHostUI* pHost,
                                          CControlUI* pParent) {
  m_pCallback = pCallback;
  CSkinMarkupNode root = m_xml.GetRootNode();
  if (!root.IsValid()) return nullptr;
  if (pHost != nullptr) {
    RegisterResources(root, pHost);
    ApplyWindowAttributes(root, pHost);
  }
  return BuildChildren(root, pParent, pHost);
}

void CSkinBuilder::RegisterResources(CSkinMarkupNode& root, CWindowHostUI* pHost) {
  for (CSkinMarkupNode node = root.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    LPCWSTR pstrClass = node.GetTagName();
    const int nAttributes = node.GetAttributeCount();
    if (NameIs(pstrClass, L"Image")) {
      LPCWSTR pstrName = nullptr;
      LPCWSTR pstrType = nullptr;
      DWORD dwMask = 0;
      bool bHueAdjust = false;
      for (int i = 0; i < nAttributes; ++i) {
        LPCWSTR pstrAttr = node.GetAttributeNameAt(i);
        LPCWSTR pstrValue = node.GetAttributeValueAt(i);
        if (NameIs(pstrAttr, L"name")) {
          pstrName = pstrValue;
        } else if (NameIs(pstrAttr, L"restype")) {
          pstrType = pstrValue;
        } else if (NameIs(pstrAttr, L"mask")) {
          dwMask = av::ReadColor(pstrValue);
        } else if (NameIs(pstrAttr, L"shared")) {
          bHueAdjust = IsTrueAnyCase(pstrValue);
        }
      }
      if (pstrName != nullptr) pHost->RegisterImage(pstrName, pstrType, dwMask, bHueAdjust, false);
    } else if (NameIs(pstrClass, L"Font")) {
      int id = -1;
      LPCWSTR pstrName = nullptr;
      int nSize = 12;
      bool bBold = false, bUnderline = false, bItalic = false, bDefault = false, bShared = false;
      for (int i = 0; i < nAttributes; ++i) {
        LPCWSTR pstrAttr = node.GetAttributeNameAt(i);
        LPCWSTR pstrValue = node.GetAttributeValueAt(i);
        if (NameIs(pstrAttr, L"id")) {
          id = av::ReadInt(pstrValue);
        } else if (NameIs(pstrAttr, L"name")) {
          pstrName = pstrValue;
        } else if (NameIs(pstrAttr, L"size")) {
          nSize = av::ReadInt(pstrValue);
        } else if (NameIs(pstrAttr, L"bold")) {
          bBold = IsTrueAnyCase(pstrValue);
        } else if (NameIs(pstrAttr, L"underline")) {
          bUnderline = IsTrueAnyCase(pstrValue);
        } else if (NameIs(pstrAttr, L"italic")) {
          bItalic = IsTrueAnyCase(pstrValue);
        } else if (NameIs(pstrAttr, L"default")) {
          bDefault = IsTrueAnyCase(pstrValue);
        } else if (NameIs(pstrAttr, L"shared")) {
          bShared = IsTrueAnyCase(pstrValue);
        }
      }
      if (id >= 0 && pstrName != nullptr) {
        pHost->RegisterFont(id, pstrName, nSize, bBold, bUnderline, bItalic, bShared);
        if (bDefault) pHost->SetDefaultFont(pstrName, nSize, bBold, bUnderline, bItalic, bShared);
      }
    } else if (NameIs(pstrClass, L"Default")) {
      LPCWSTR pstrName = nullptr;
      LPCWSTR pstrValue = L"";
      bool bShared = false;
      for (int i = 0; i < nAttributes; ++i) {
        LPCWSTR pstrAttr = node.GetAttributeNameAt(i);
        if (NameIs(pstrAttr, L"name")) {
          pstrName = node.GetAttributeValueAt(i);
        } else if (NameIs(pstrAttr, L"value")) {
          pstrValue = node.GetAttributeValueAt(i);
        } else if (NameIs(pstrAttr, L"shared")) {
          bShared = IsTrueAnyCase(node.GetAttributeValueAt(i));
        }
      }
      if (pstrName != nullptr) pHost->SetDefaultAttributes(pstrName, pstrValue, bShared);
    } else if (NameIs(pstrClass, L"MultiLanguage")) {
      int id = -1;
      LPCWSTR pstrValue = nullptr;
      for (int i = 0; i < nAttributes; ++i) {
        LPCWSTR pstrAttr = node.GetAttributeNameAt(i);
        if (NameIs(pstrAttr, L"id")) {
          id = av::ReadInt(node.GetAttributeValueAt(i));
        } else if (NameIs(pstrAttr, L"value")) {
          pstrValue = node.GetAttributeValueAt(i);
        }
      }
      if (id >= 0 && pstrValue != nullptr) CWindowHostUI::AddMultiLanguageString(id, pstrValue);
    }
  }
}

void CSkinBuilder::ApplyWindowAttributes(CSkinMarkupNode& root, CWindowHostUI* pHost) {
  if (!NameIs(root.GetTagName(), L"Window") || pHost->GetHostWindow() == nullptr) return;
  const int nAttributes = root.GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    LPCWSTR pstrName = root.GetAttributeNameAt(i);
    LPCWSTR pstrValue = root.GetAttributeValueAt(i);
    if (NameIs(pstrName, L"size")) {
      const SIZE sz = ReadSize(pstrValue);
      pHost->SetInitialSize(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"sizebox")) {
      pHost->SetSizingBorder(av::ReadRect(pstrValue));
    } else if (NameIs(pstrName, L"caption")) {
      pHost->SetCaptionArea(av::ReadRect(pstrValue));
    } else if (NameIs(pstrName, L"roundcorner")) {
      const SIZE sz = ReadSize(pstrValue);
      pHost->SetCornerRounding(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"mininfo")) {
      const SIZE sz = ReadSize(pstrValue);
      pHost->SetMinimumSize(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"maxinfo")) {
      const SIZE sz = ReadSize(pstrValue);
      pHost->SetMaximumSize(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"showdirty")) {
      pHost->SetShowUpdateRect(IsTrueAnyCase(pstrValue));
    } else if (NameIs(pstrName, L"opacity")) {
      pHost->SetOpacity(static_cast<BYTE>(av::ReadInt(pstrValue)));
    } else if (std::wcscmp(pstrName, L"layeredopacity") == 0) {
      pHost->SetLayeredOpacity(static_cast<BYTE>(av::ReadInt(pstrValue)));
    } else if (std::wcscmp(pstrName, L"layeredimage") == 0) {
      pHost->SetLayered(true);
      pHost->SetLayeredImage(pstrValue);
    } else if (NameIs(pstrName, L"disabledfontcolor")) {
      pHost->SetDefaultColor(kDefaultDisabledTextColor, av::ReadColor(pstrValue));
    } else if (NameIs(pstrName, L"defaultfontcolor")) {
      pHost->SetDefaultColor(kDefaultTextColor, av::ReadColor(pstrValue));
    } else if (NameIs(pstrName, L"linkfontcolor")) {
      pHost->SetDefaultColor(kDefaultLinkTextColor, av::ReadColor(pstrValue));
    } else if (NameIs(pstrName, L"linkhoverfontcolor")) {
      pHost->SetDefaultColor(kDefaultHoveredLinkTextColor, av::ReadColor(pstrValue));
    } else if (NameIs(pstrName, L"selectedcolor")) {
      pHost->SetDefaultColor(kDefaultSelectedBkColor, av::ReadColor(pstrValue));
    } else if (std::wcscmp(pstrName, L"trayiconid") == 0) {
      const int nIconId = av::ReadInt(pstrValue);
      if (nIconId > 0) pHost->AddTrayIcon(static_cast<UINT>(nIconId));
    } else if (std::wcscmp(pstrName, L"traytiptext") == 0) {
      pHost->SetTrayTipText(pstrValue);
    } else if (std::wcsncmp(pstrName, L"shadow", 6) == 0 ||
               std::wcscmp(pstrName, L"showshadow") == 0) {
      // The window shadow is not part of this framework yet; its settings are recognised so
      // that they do not pose as custom window attributes.
    } else {
      pHost->AddWindowCustomAttribute(pstrName, pstrValue);
    }
  }
}

void CSkinBuilder::BuildInclude(CSkinMarkupNode& element, CControlUI* pParent,
                                CWindowHostUI* pHost) {
  if (!element.HasAttributes()) return;
  int nCount = 1;
  WCHAR szValue[MAX_PATH + 1] = {};
  if (element.FindAttribute(L"count", szValue, MAX_PATH)) nCount = av::ReadInt(szValue);
  std::wmemset(szValue, 0, MAX_PATH + 1);
  if (!element.FindAttribute(L"source", szValue, MAX_PATH)) return;
  if (t_nIncludeDepth >= kMaxIncludeDepth) {
    UITrace(L"Include nested too deeply: %s", szValue);
    return;
  }
  ++t_nIncludeDepth;
  for (int i = 0; i < nCount; ++i) {
    CSkinBuilder builder;
    if (m_pstrType != nullptr) {
      const WORD wId = static_cast<WORD>(av::ReadInt(szValue) & 0xFFFF);
      builder.Build(MAKEINTRESOURCEW(wId), m_pstrType, m_pCallback, pHost, pParent);
    } else {
      builder.Build(szValue, nullptr, m_pCallback, pHost, pParent);
    }
  }
  --t_nIncludeDepth;
}

CControlUI* CSkinBuilder::BuildChildren(CSkinMarkupNode& element, CControlUI* pParent,
                                        CWindowHostUI* pHost) {
  IContainerUI* pContainer = nullptr;
  bool bContainerAsked = false;
  CControlUI* pResult = nullptr;
  for (CSkinMarkupNode node = element.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    LPCWSTR pstrClass = node.GetTagName();
    if (NameIs(pstrClass, L"Image") || NameIs(pstrClass, L"Font") ||
        NameIs(pstrClass, L"Default") || NameIs(pstrClass, L"MultiLanguage")) {
      continue;
    }
    if (NameIs(pstrClass, L"Include")) {
      BuildInclude(node, pParent, pHost);
      continue;
    }
    if (NameIs(pstrClass, L"TreeNode")) {
      // The framework has no tree view: a tree node has nowhere to go.
      UITrace(L"Unknow Control:%s", pstrClass);
      continue;
    }

    UITrace(L"Create Control: %s", pstrClass);
    CControlUI* pControl = CreateBuiltInControl(pstrClass);
    if (pControl == nullptr && m_pCallback != nullptr) {
      pControl = m_pCallback->CreateCustomControl(pstrClass);
    }
    if (pControl == nullptr) {
      UITrace(L"Unknow Control:%s", pstrClass);
      continue;
    }

    if (node.HasChildren()) BuildChildren(node, pControl, pHost);

    if (pParent != nullptr) {
      if (!bContainerAsked) {
        pContainer = static_cast<IContainerUI*>(pParent->QueryNamedInterface(L"IContainer"));
        bContainerAsked = true;
      }
      UI_CHECK(pContainer);
      if (pContainer == nullptr) {
        delete pControl;
        return nullptr;
      }
      if (!pContainer->AddItem(pControl)) {
        delete pControl;
        continue;
      }
    }

    if (pHost != nullptr) {
      pControl->SetHost(pHost, nullptr, false);
      LPCWSTR pstrDefaults = pHost->DefaultAttributesFor(pstrClass);
      if (pstrDefaults != nullptr) pControl->ApplyAttributeString(pstrDefaults);
    }
    const int nAttributes = node.GetAttributeCount();
    for (int i = 0; i < nAttributes; ++i) {
      pControl->ApplyAttribute(node.GetAttributeNameAt(i), node.GetAttributeValueAt(i));
    }
    if (pHost != nullptr) pControl->SetHost(nullptr, nullptr, false);

    if (pResult == nullptr) pResult = pControl;
  }
  return pResult;
}

}  // namespace SkinUI

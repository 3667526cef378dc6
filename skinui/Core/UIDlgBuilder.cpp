#include "Core/UIDlgBuilder.h"

#include <cwchar>
#include <cwctype>

#include "Core/UIAttributeValues.h"
#include "Core/UIContainer.h"
#include "Core/UIControl.h"
#include "Core/UIControlFactory.h"
#include "Core/UIHostShadow.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace av = attribute_values;

namespace {

constexpr int kMaxNestedSkinDepth = 16;
thread_local int t_nNestedSkinDepth = 0;

bool IsResourceId(LPCWSTR pstr) { return (reinterpret_cast<ULONG_PTR>(pstr) >> 16) == 0; }

bool NameIs(LPCWSTR pstrName, LPCWSTR pstrWanted) { return ::lstrcmpiW(pstrName, pstrWanted) == 0; }

bool IsTrueAnyCase(LPCWSTR pstrValue) { return ::lstrcmpiW(pstrValue, L"true") == 0; }

}  // namespace

CNestedSkinScope::CNestedSkinScope(LPCWSTR pstrSource)
    : m_bAllowed(t_nNestedSkinDepth < kMaxNestedSkinDepth) {
  if (m_bAllowed) {
    ++t_nNestedSkinDepth;
  } else {
    UITrace(L"Include nested too deeply: %s", pstrSource != nullptr ? pstrSource : L"");
  }
}

CNestedSkinScope::~CNestedSkinScope() {
  if (m_bAllowed) --t_nNestedSkinDepth;
}

CSkinBuilder::CSkinBuilder() : m_pCallback(nullptr), m_pstrType(nullptr) {}

CSkinMarkup* CSkinBuilder::GetMarkup() { return &m_xml; }
LPCWSTR CSkinBuilder::GetLastErrorMessage() const { return m_xml.GetLastErrorMessage(); }
LPCWSTR CSkinBuilder::GetLastErrorLocation() const { return m_xml.GetLastErrorLocation(); }

CControlUI* CSkinBuilder::CreateBuiltInControl(LPCWSTR pstrClass) {
  return CControlFactory::Create(pstrClass);
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
      const SIZE sz = av::ReadSize(pstrValue);
      pHost->SetInitialSize(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"sizebox")) {
      pHost->SetSizingBorder(av::ReadRect(pstrValue));
    } else if (NameIs(pstrName, L"caption")) {
      pHost->SetCaptionArea(av::ReadRect(pstrValue));
    } else if (NameIs(pstrName, L"roundcorner")) {
      const SIZE sz = av::ReadSize(pstrValue);
      pHost->SetCornerRounding(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"mininfo")) {
      const SIZE sz = av::ReadSize(pstrValue);
      pHost->SetMinimumSize(sz.cx, sz.cy);
    } else if (NameIs(pstrName, L"maxinfo")) {
      const SIZE sz = av::ReadSize(pstrValue);
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
    } else if (pHost->GetShadow() != nullptr &&
               pHost->GetShadow()->ApplyWindowAttribute(pstrName, pstrValue)) {
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
  const CNestedSkinScope scope(szValue);
  if (!scope.IsAllowed()) return;
  for (int i = 0; i < nCount; ++i) {
    CSkinBuilder builder;
    CControlUI* pIncluded = nullptr;
    if (m_pstrType != nullptr) {
      const WORD wId = static_cast<WORD>(av::ReadInt(szValue) & 0xFFFF);
      pIncluded = builder.Build(MAKEINTRESOURCEW(wId), m_pstrType, m_pCallback, pHost, pParent);
    } else {
      pIncluded = builder.Build(szValue, nullptr, m_pCallback, pHost, pParent);
    }
    // Below a parent the included controls belong to it; at the top level nothing keeps them.
    if (pParent == nullptr) delete pIncluded;
  }
}

void CSkinBuilder::ApplyElementAttributes(CSkinMarkupNode& element, CControlUI* pControl,
                                          CWindowHostUI* pHost) {
  if (pHost != nullptr) {
    pControl->SetHost(pHost, nullptr, false);
    LPCWSTR pstrDefaults = pHost->DefaultAttributesFor(element.GetTagName());
    if (pstrDefaults != nullptr) pControl->ApplyAttributeString(pstrDefaults);
  }
  const int nAttributes = element.GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    pControl->ApplyAttribute(element.GetAttributeNameAt(i), element.GetAttributeValueAt(i));
  }
}

bool CSkinBuilder::BuildTreeNode(CSkinMarkupNode& element, CControlUI* pParent,
                                 CWindowHostUI* pHost) {
  if (pParent == nullptr) return true;
  // Nodes and tree views take a node through their container face.
  const bool bParentIsNode = pParent->QueryNamedInterface(L"TreeNode") != nullptr;
  IContainerUI* pParentContainer =
      static_cast<IContainerUI*>(pParent->QueryNamedInterface(L"IContainer"));
  CControlUI* pNode = CControlFactory::Create(L"TreeNode");
  if (pNode == nullptr) return true;
  if (bParentIsNode && (pParentContainer == nullptr || !pParentContainer->AddItem(pNode))) {
    delete pNode;
    return true;
  }
  ApplyElementAttributes(element, pNode, pHost);
  if (element.HasChildren()) BuildChildren(element, pNode, pHost);
  if (bParentIsNode) return true;
  const LPVOID pTreeView = pParent->QueryNamedInterface(L"TreeView");
  UI_CHECK(pTreeView);
  if (pTreeView == nullptr || pParentContainer == nullptr) {
    delete pNode;
    return false;
  }
  if (!pParentContainer->AddItem(pNode)) delete pNode;
  return true;
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
      if (!BuildTreeNode(node, pParent, pHost)) return nullptr;
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

    const bool bParentIsNode =
        pParent != nullptr && pParent->QueryNamedInterface(L"TreeNode") != nullptr;
    if (bParentIsNode) {
      // A node puts what is no node into its row; whatever the row does with it, the control
      // is the row's now.
      static_cast<IContainerUI*>(pParent->QueryNamedInterface(L"IContainer"))->AddItem(pControl);
    } else if (pParent != nullptr) {
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

    ApplyElementAttributes(node, pControl, pHost);
    if (pHost != nullptr) pControl->SetHost(nullptr, nullptr, false);

    if (pResult == nullptr) {
      pResult = pControl;
    } else if (pParent == nullptr) {
      // Only the first control of the top level is handed to the caller.
      delete pControl;
    }
  }
  return pResult;
}

}  // namespace SkinUI

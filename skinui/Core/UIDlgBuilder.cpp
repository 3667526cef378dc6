#include "Core/UIDlgBuilder.h"

#include <cwchar>
#include <cwctype>
#include <optional>

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
  if (CSkinBuildScope::Observer() != nullptr) {
    // Places are told as lines and columns of the document as it was written.
    m_xml.KeepSourceText(true);
    if (IsResourceId(pstrSource)) {
      m_sSource.Format(L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(pstrSource)));
    } else {
      m_sSource = pstrSource[0] == L'<' ? L"" : pstrSource;
    }
  }
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

SkinSourcePlace CSkinBuilder::PlaceOf(const CSkinMarkupNode& node, ULONG iOffset) const {
  return SkinSourcePlace{m_sSource.IsEmpty() ? nullptr : m_sSource.GetData(), node.GetTagName(),
                         &m_xml, iOffset};
}

void CSkinBuilder::NoteDefaultsPlace(LPCWSTR pstrElement, const SkinSourcePlace& place) {
  m_defaultsPlaces.emplace_back(CUIString(pstrElement), place);
}

const SkinSourcePlace* CSkinBuilder::DefaultsPlaceOf(LPCWSTR pstrElement) const {
  // The host keeps the last one registered for a name.
  for (auto it = m_defaultsPlaces.rbegin(); it != m_defaultsPlaces.rend(); ++it) {
    if (it->first == pstrElement) return &it->second;
  }
  return nullptr;
}

void CSkinBuilder::BuildInclude(CSkinMarkupNode& element, CControlUI* pParent,
                                CWindowHostUI* pHost) {
  ObserveIncludeAttributes(element);
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
    ISkinBuildObserver* pObserver = CSkinBuildScope::Observer();
    // A skin that parses but holds no control is no failure: an include may bring resources only.
    if (i == 0 && pObserver != nullptr && builder.GetLastErrorMessage()[0] != L'\0') {
      pObserver->OnSkinNotRead(PlaceOf(element, element.GetSourceOffset()), szValue,
                               *builder.GetMarkup());
    }
    // Below a parent the included controls belong to it; at the top level nothing keeps them.
    if (pParent == nullptr) delete pIncluded;
  }
}

void CSkinBuilder::ApplyElementAttributes(CSkinMarkupNode& element, CControlUI* pControl,
                                          CWindowHostUI* pHost) {
  const bool bObserved = CSkinBuildScope::Observer() != nullptr;
  if (pHost != nullptr) {
    pControl->SetHost(pHost, nullptr, false);
    LPCWSTR pstrDefaults = pHost->DefaultAttributesFor(element.GetTagName());
    if (pstrDefaults != nullptr) {
      std::optional<CSkinPlaceMark> mark;
      if (bObserved) {
        const SkinSourcePlace* pPlace = DefaultsPlaceOf(element.GetTagName());
        mark.emplace(pPlace != nullptr ? *pPlace : PlaceOf(element, element.GetSourceOffset()));
      }
      pControl->ApplyAttributeString(pstrDefaults);
    }
  }
  const int nAttributes = element.GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    std::optional<CSkinPlaceMark> mark;
    if (bObserved) mark.emplace(PlaceOf(element, element.GetAttributeSourceOffsetAt(i)));
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
      if (ISkinBuildObserver* pObserver = CSkinBuildScope::Observer()) {
        pObserver->OnUnknownElement(PlaceOf(node, node.GetSourceOffset()));
      }
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

#include "Layout/UIChildLayout.h"

#include "Core/UIDlgBuilder.h"
#include "Core/UIManager.h"

namespace SkinUI {

CChildLayoutUI::CChildLayoutUI() {}

LPCWSTR CChildLayoutUI::ClassName() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ChildLayout") == 0) return static_cast<CChildLayoutUI*>(this);
  return CControlUI::QueryNamedInterface(pstrName);
}

void CChildLayoutUI::Init() {
  if (m_sXmlFile.IsEmpty()) return;
  // Initialised again after a move in the tree, the layout would otherwise show the skin twice.
  RemoveAllItems();
  // Adding the root initialises the child layouts inside it: a skin naming itself nests here.
  const CNestedSkinScope scope(m_sXmlFile);
  if (!scope.IsAllowed()) return;
  CSkinBuilder builder;
  CControlUI* pRoot = builder.Build(m_sXmlFile.GetData(), nullptr, nullptr, GetHost());
  if (pRoot == nullptr) {
    ISkinBuildObserver* pObserver = CSkinBuildScope::Observer();
    // The layout is filled after the skin that names it was built: there is no place to tell.
    if (pObserver != nullptr && builder.GetLastErrorMessage()[0] != L'\0') {
      const SkinSourcePlace nowhere = {nullptr, L"ChildLayout", nullptr, CSkinMarkup::kNoOffset};
      pObserver->OnSkinNotRead(nowhere, m_sXmlFile, *builder.GetMarkup());
    }
    return;
  }
  // A root the layout refuses would otherwise belong to nobody.
  if (!AddItem(pRoot)) delete pRoot;
}

UI_BEGIN_ATTRIBUTES(CChildLayoutUI, CContainerUI)
UI_ATTRIBUTE(L"xmlfile", kTextValue, self.SetChildSkinFile(pstrValue))
UI_END_ATTRIBUTES()


void CChildLayoutUI::SetChildSkinFile(LPCWSTR pstrFileName) { m_sXmlFile = pstrFileName; }

CUIString CChildLayoutUI::GetChildSkinFile() const { return m_sXmlFile; }

}  // namespace SkinUI

#pragma once
// CTreeNodeUI: one row of a tree view — an indentation line, a folder button, an optional check
// box and the item's text button side by side — with its parent node and child nodes. Child
// nodes follow their parent in the tree view's list, right after its last descendant.

#include <windows.h>

#include "Control/UIListContainerElement.h"
#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
 public:
  static constexpr int kDefaultHeight = 18;
  // Each level of children is indented this much further than its parent.
  static constexpr int kIndentStep = 16;
  // The indentation line's width in a node without a parent, in skin pixels.
  static constexpr int kRootIndent = 2;

  CTreeNodeUI();
  ~CTreeNodeUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  CUIString GetText() const override;
  void SetText(LPCWSTR pstrText) override;
  // The folder button and check box stay square.
  void SetFixedHeight(int cy) override;
  void HandleEvent(InputEvent& event) override;
  // A node with children opens or closes, as a double click does, before it is activated.
  bool Activate() override;
  UI_DECLARE_ATTRIBUTES()
  bool Select(bool bSelect = true, bool bNotify = true, bool bInformOwner = true,
              bool bRightClick = false) override;

  // ---- IContainerUI: child nodes become children in the tree, other controls join the row ----
  bool AddItem(CControlUI* pControl) override;
  bool RemoveItem(CControlUI* pControl) override;

  bool AppendChild(CTreeNodeUI* pChild);
  bool RemoveChild(CTreeNodeUI* pChild);
  CTreeNodeUI* GetOwnerNode() const { return m_pParentNode; }
  int GetChildCount() const { return m_aChildNodes.GetSize(); }
  CTreeNodeUI* GetChildAt(int iIndex) const;
  // The node itself when it has no children.
  CTreeNodeUI* GetLastDescendant();
  // Its index in the tree view's list, or -1 outside a tree.
  int GetIndexInTree() const;
  void AttachToTree(CTreeViewUI* pTreeView) { m_pTreeView = pTreeView; }
  // Forgets parent, children and tree without touching any of them.
  void UnlinkFromTree();
  // Lets go of a child node without asking the tree (which is removing it).
  void DetachChild(CTreeNodeUI* pChild);
  CTreeViewUI* GetTreeView() const { return m_pTreeView; }
  // True while the folder is open (its button not selected).
  bool IsNodeExpanded() const { return m_bExpanded; }
  void SetNodeExpanded(bool bExpanded) { m_bExpanded = bExpanded; }

  CHorizontalLayoutUI* GetRowLayout() const { return m_pRow; }
  CLabelUI* GetIndentLine() const { return m_pIndentLine; }
  CCheckBoxUI* GetFolderButton() const { return m_pFolderButton; }
  CCheckBoxUI* GetCheckBox() const { return m_pCheckBox; }
  COptionUI* GetItemButton() const { return m_pItemButton; }

  void SetItemTextColor(DWORD dwColor);
  void SetItemHotTextColor(DWORD dwColor);
  void SetSelItemTextColor(DWORD dwColor);
  void SetSelItemHotTextColor(DWORD dwColor);

 private:
  // Children are indented one step further than this node, all the way down.
  void IndentChildren();
  // The indentation line's width in skin pixels; the line takes it at its window's DPI.
  void SetIndent(int nSkinPixels);

  bool m_bExpanded;
  DWORD m_dwItemTextColor;
  DWORD m_dwItemHotTextColor;
  DWORD m_dwSelItemTextColor;
  DWORD m_dwSelItemHotTextColor;
  CHorizontalLayoutUI* m_pRow;
  CLabelUI* m_pIndentLine;
  CCheckBoxUI* m_pFolderButton;
  CCheckBoxUI* m_pCheckBox;
  COptionUI* m_pItemButton;
  CTreeViewUI* m_pTreeView;
  CTreeNodeUI* m_pParentNode;
  int m_nIndent;
  CTypedPtrArrayUI<CTreeNodeUI> m_aChildNodes;
};

}  // namespace SkinUI

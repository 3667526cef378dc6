#pragma once
// CTreeViewUI: a list whose items are tree nodes. It listens to its nodes' folder buttons, check
// boxes and double clicks to open and close subtrees and to check them.

#include <windows.h>

#include "Control/UIList.h"

namespace SkinUI {

class CTreeNodeUI;

class CTreeViewUI : public CListUI {
 public:
  CTreeViewUI();
  ~CTreeViewUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UI_DECLARE_ATTRIBUTES()
  // Right opens the selected node, Left closes it.
  void HandleEvent(InputEvent& event) override;

  // Only tree nodes become nodes; other controls are plain items.
  bool AddItem(CControlUI* pControl) override;
  bool InsertItemAt(CControlUI* pControl, int iIndex) override;
  bool RemoveItem(CControlUI* pControl) override;
  bool RemoveItemAt(int iIndex) override;
  void RemoveAllItems() override;

  // ---- operations the tree view adds, in slot order ----
  virtual bool AddNode(CTreeNodeUI* pNode);
  // Returns the index after the node's inserted subtree, or -1.
  virtual int InsertNodeAt(CTreeNodeUI* pNode, int iIndex);
  virtual bool RemoveNode(CTreeNodeUI* pNode);
  virtual bool HandleCheckToggled(void* pParam);
  virtual bool HandleFolderToggled(void* pParam);
  virtual bool HandleNodeDoubleClick(void* pParam);
  // pNode null: every node.
  virtual void CheckSubtree(bool bCheck, CTreeNodeUI* pNode);
  virtual void ExpandSubtree(bool bExpand, CTreeNodeUI* pNode);
  virtual void ShowFolderButtons(bool bShow);
  virtual bool AreFolderButtonsShown() const;
  virtual void ShowCheckButtons(bool bShow);
  virtual bool AreCheckButtonsShown() const;
  virtual void SetNodeMinWidth(int cx);
  virtual int GetNodeMinWidth() const;
  virtual void SetItemTextColor(DWORD dwColor);
  virtual void SetItemHotTextColor(DWORD dwColor);
  virtual void SetSelItemTextColor(DWORD dwColor);
  virtual void SetSelItemHotTextColor(DWORD dwColor);

 private:
  // Hands an item colour attribute to every node.
  void ApplyToNodes(LPCWSTR pstrName, LPCWSTR pstrValue);
  // Takes the node's handlers and the tree's settings for folder, check box and width.
  void AdoptNode(CTreeNodeUI* pNode);
  // Calls fn with every node of the list.
  template <class Fn>
  void ForEachNode(Fn fn);
  // The tree's nodes keep pointers to one another; they are cut before the nodes go, whatever
  // order their destruction takes.
  void UnlinkAllNodes();

  bool m_bVisibleFolderBtn;
  bool m_bVisibleCheckBtn;
  int m_nItemMinWidth;
};

// The node holding a control of its row (the control itself when it is a node), or null.
CTreeNodeUI* NodeOfRowControl(CControlUI* pControl);

}  // namespace SkinUI

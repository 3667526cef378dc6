#pragma once
// The tree clients of the accessibility interface see: the control tree without what controls
// keep to themselves and without the layout that only places things. A control is a child of
// the nearest ancestor that shows it among its children and is itself in the tree. A list shows
// its items (not the body that holds them), a tree node none of its buttons, and a container
// that nothing names (a row or a column of the skin's layout) shows its children in its place:
// they are lifted to the nearest ancestor in the tree. A container the skin names ("accname"),
// whose text or tooltip names it, or that the skin gives a role ("accrole") stays.

#include <vector>

#include "Core/UIAccessible.h"

namespace SkinUI {

class CControlUI;

namespace accessible_tree {

// The root of its host's tree: the window's client area.
bool IsRoot(const CControlUI* pControl);
// The description clients get: the control's own, with the skin's role and the root's role.
AccessibleDescription Describe(CControlUI* pControl);
// Its name: the skin's "accname", else its own name (its text), else its tooltip; the root's
// falls back on the window's title.
CUIString NameOf(CControlUI* pControl);
// A container that only lays out its children: unnamed, with no role of the skin's, not the root.
bool IsLayoutOnly(CControlUI* pControl);
// The visible children it shows, in the skin's order (scroll bars after the items they scroll),
// with the children of layout-only containers in their place.
std::vector<CControlUI*> ChildrenOf(CControlUI* pControl);
// Its parent in the tree; null for the root and for a control that is not in the tree.
CControlUI* ParentOf(CControlUI* pControl);
// The control itself when it is in the tree, else its nearest ancestor that is.
CControlUI* SelfOrAncestorInTree(CControlUI* pControl);

}  // namespace accessible_tree
}  // namespace SkinUI

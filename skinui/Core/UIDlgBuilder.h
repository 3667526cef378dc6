#pragma once
// CSkinBuilder: turns one skin document into a tree of controls for a window host. Resource
// elements below the root (images, fonts, default attribute sets, multi-language texts) are
// registered with the host, a "Window" root configures the native window, and every other
// element becomes a control created by its element name.

#include <windows.h>

#include <utility>
#include <vector>

#include "Core/UIMarkup.h"
#include "Core/UISkinBuildObserver.h"
#include "Utils/UIString.h"

namespace SkinUI {

class CControlUI;
class CWindowHostUI;

// Supplied by a window class for element names the framework does not know.
class IDialogBuilderCallback {
 public:
  // A new control for the element name, or null to skip the element and its children.
  virtual CControlUI* CreateCustomControl(LPCWSTR pstrClass) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

// One skin being built inside another on this thread: an "Include", or a child layout filling
// itself. A skin that names itself, directly or through others, would nest until the stack runs
// out; past a fixed depth the scope is refused (with a trace line) and the caller builds nothing.
class CNestedSkinScope {
 public:
  explicit CNestedSkinScope(LPCWSTR pstrSource);
  ~CNestedSkinScope();
  CNestedSkinScope(const CNestedSkinScope&) = delete;
  CNestedSkinScope& operator=(const CNestedSkinScope&) = delete;

  bool IsAllowed() const { return m_bAllowed; }

 private:
  bool m_bAllowed;
};

class CSkinBuilder {
 public:
  CSkinBuilder();
  CSkinBuilder(const CSkinBuilder&) = delete;
  CSkinBuilder& operator=(const CSkinBuilder&) = delete;

  // pstrSource is markup text (first character "<"), a skin file name, or MAKEINTRESOURCE(id)
  // with pstrType naming the resource type. Null when the source cannot be read or parsed. The
  // returned root belongs to the caller; every other control to its parent.
  CControlUI* Build(LPCWSTR pstrSource, LPCWSTR pstrType = nullptr,
                    IDialogBuilderCallback* pCallback = nullptr, CWindowHostUI* pHost = nullptr,
                    CControlUI* pParent = nullptr);
  CControlUI* BuildFromMarkup(IDialogBuilderCallback* pCallback = nullptr,
                              CWindowHostUI* pHost = nullptr, CControlUI* pParent = nullptr);

  CSkinMarkup* GetMarkup();
  LPCWSTR GetLastErrorMessage() const;
  LPCWSTR GetLastErrorLocation() const;

  // Creates the built-in control class for an element name, or null.
  static CControlUI* CreateBuiltInControl(LPCWSTR pstrClass);

 private:
  CControlUI* BuildChildren(CSkinMarkupNode& element, CControlUI* pParent, CWindowHostUI* pHost);
  void RegisterResources(CSkinMarkupNode& root, CWindowHostUI* pHost);
  void ApplyWindowAttributes(CSkinMarkupNode& root, CWindowHostUI* pHost);
  void BuildInclude(CSkinMarkupNode& element, CControlUI* pParent, CWindowHostUI* pHost);
  // A tree node under a node or a tree view. False when the level's build must stop (the parent
  // is neither).
  bool BuildTreeNode(CSkinMarkupNode& element, CControlUI* pParent, CWindowHostUI* pHost);
  // The host's defaults for the element's name, then the element's own attributes.
  void ApplyElementAttributes(CSkinMarkupNode& element, CControlUI* pControl, CWindowHostUI* pHost);

  // ---- what an observed build tells (UISkinBuildObserver.h) ----
  // The place of an offset of this builder's document, in the element node.
  SkinSourcePlace PlaceOf(const CSkinMarkupNode& node, ULONG iOffset) const;
  // Where this document's "Default" element for an element name is; issues with the default
  // attributes are told there rather than at every control that takes them.
  void NoteDefaultsPlace(LPCWSTR pstrElement, const SkinSourcePlace& place);
  const SkinSourcePlace* DefaultsPlaceOf(LPCWSTR pstrElement) const;
  void ObserveIncludeAttributes(const CSkinMarkupNode& element);

  CSkinMarkup m_xml;
  IDialogBuilderCallback* m_pCallback;
  LPCWSTR m_pstrType;
  // Kept only while a build is observed.
  CUIString m_sSource;
  std::vector<std::pair<CUIString, SkinSourcePlace>> m_defaultsPlaces;
};

}  // namespace SkinUI

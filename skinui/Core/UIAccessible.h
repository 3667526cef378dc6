#pragma once
// What a control is to assistive technology (screen readers, magnifiers, testing tools): the
// record each control fills about itself, the changes it reports, and the skin's names for
// roles. A window serves its control tree through the platform's accessibility interface once a
// client asks for it (UIHostAccessibility.h); nothing of it exists before.

#include <windows.h>
#include <oleacc.h>

#include "Utils/UIString.h"

namespace SkinUI {

// Filled by CControlUI::DescribeAccessible. The name is the control's own (its text); the
// skin's "accname" and the tooltip are weighed by whoever serves the description.
struct AccessibleDescription {
  LONG lRole = ROLE_SYSTEM_GRAPHIC;
  CUIString sName;
  // Without a value (bHasValue false) clients are told there is none, as for a password.
  CUIString sValue;
  bool bHasValue = false;
  // The states only the control knows (checked, selected, protected, read-only, expanded...);
  // visibility, availability and focus are read from the control base by the server.
  DWORD dwState = 0;
  // What the control's Activate does, in the words clients read out; empty: no default action.
  CUIString sDefaultAction;
  // False for a control whose children are its own parts (a tree node's buttons, a combo box's
  // items in their drop-down): clients see the control alone.
  bool bExposeChildren = true;
};

// What a control tells the clients of its window's tree, through CControlUI::NotifyAccessible.
enum class AccessibleEvent : int {
  kFocus,    // it became the focus control
  kName,     // its name changed
  kText,     // its text changed: its name, or its value where the text is the value
  kValue,    // its value changed (clients hear of a value at most a few times a second)
  kState,    // checked, selected, enabled or expanded changed
  kShown,
  kHidden,
};

// The default actions' words, as the platform's own controls say them.
constexpr wchar_t kActionPress[] = L"Press";
constexpr wchar_t kActionCheck[] = L"Check";
constexpr wchar_t kActionUncheck[] = L"Uncheck";
constexpr wchar_t kActionSelect[] = L"Select";
constexpr wchar_t kActionDoubleClick[] = L"Double Click";
constexpr wchar_t kActionJump[] = L"Jump";

// Text with the renderer's inline tags as a client should read it: the tags gone, line breaks
// kept, the escaped brackets as themselves.
CUIString PlainTextOfMarkup(LPCWSTR pstrMarkup);

// The role a skin's "accrole" names ("pushbutton", "pagetab", "statictext"...); 0 for a name
// that is none.
LONG AccessibleRoleFromName(LPCWSTR pstrName);

}  // namespace SkinUI

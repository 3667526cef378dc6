#pragma once
// The framework's named numbers and names, in one place: the state bits of controls that draw by
// state, the behaviour flags a control answers with, the cursors controls set, the text style
// bits, the messages a host reflects to the native windows that sent them, and the names of the
// notifications hosts and controls send.

#include <windows.h>

namespace SkinUI {

// State bits of buttons, options, check boxes, edits, combo boxes, list header items, sliders and
// the parts of a scroll bar. Each control uses the bits that apply to it.
enum ControlState : UINT {
  kStateFocused = 0x01,
  kStateSelected = 0x02,
  kStateDisabled = 0x04,
  kStateHot = 0x08,
  kStatePushed = 0x10,
  kStateCaptured = 0x40,
};

// What a control tells its host through GetBehaviourFlags.
enum BehaviourFlag : UINT {
  kBehaviourTabStop = 0x1,      // takes part in Tab navigation
  kBehaviourSetCursor = 0x2,    // wants set-cursor events
  kBehaviourWantReturn = 0x4,   // wants the Return key
  kBehaviourPassive = 0x8,      // shows something and takes no input: a press leaves the focus be
};

// Standard cursors, by their numeric resource ids.
const LPCWSTR kCursorArrow = MAKEINTRESOURCEW(32512);
const LPCWSTR kCursorIBeam = MAKEINTRESOURCEW(32513);
const LPCWSTR kCursorSizeWE = MAKEINTRESOURCEW(32644);
const LPCWSTR kCursorSizeNS = MAKEINTRESOURCEW(32645);
const LPCWSTR kCursorHand = MAKEINTRESOURCEW(32649);

inline void SetStandardCursor(LPCWSTR pstrCursor) {
  ::SetCursor(::LoadCursorW(nullptr, pstrCursor));
}

// Text style bits of labels and the renderer's text drawing: the platform's text-drawing flags.
enum TextStyle : UINT {
  kTextLeft = DT_LEFT,
  kTextCenter = DT_CENTER,
  kTextRight = DT_RIGHT,
  kTextTop = DT_TOP,
  kTextVCenter = DT_VCENTER,
  kTextBottom = DT_BOTTOM,
  kTextWordBreak = DT_WORDBREAK,
  kTextSingleLine = DT_SINGLELINE,
  kTextCalcRect = DT_CALCRECT,
  kTextEndEllipsis = DT_END_ELLIPSIS,
};

// A host hands these messages back to the native window that sent them, as the message plus
// kReflectOffset; the window answers them itself.
const UINT kReflectOffset = 0x2000;
const UINT kReflectedNotify = WM_NOTIFY + kReflectOffset;
const UINT kReflectedCommand = WM_COMMAND + kReflectOffset;
const UINT kReflectedColorEdit = WM_CTLCOLOREDIT + kReflectOffset;
const UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + kReflectOffset;

// Notification names. Those of the host and the control base:
constexpr wchar_t kNotifyWindowInit[] = L"windowinit";
constexpr wchar_t kNotifySetFocus[] = L"setfocus";
constexpr wchar_t kNotifyKillFocus[] = L"killfocus";
constexpr wchar_t kNotifyTimer[] = L"timer";
constexpr wchar_t kNotifyMenu[] = L"menu";
// The window's DPI changed and the tree has been rescaled (wParam: the new DPI).
constexpr wchar_t kNotifyDpiChanged[] = L"dpichanged";
// Buttons, options, texts, value controls and tab layouts:
constexpr wchar_t kNotifyClick[] = L"click";
constexpr wchar_t kNotifyMouseEnter[] = L"mouseenter";
constexpr wchar_t kNotifyMouseLeave[] = L"mouseleave";
constexpr wchar_t kNotifySelectChanged[] = L"selectchanged";
constexpr wchar_t kNotifyLink[] = L"link";
constexpr wchar_t kNotifyValueChanged[] = L"valuechanged";
constexpr wchar_t kNotifyScroll[] = L"scroll";
constexpr wchar_t kNotifyTabSelect[] = L"tabselect";
// Edits, lists, combo boxes and the ActiveX host:
constexpr wchar_t kNotifyTextChanged[] = L"textchanged";
constexpr wchar_t kNotifyReturn[] = L"return";
constexpr wchar_t kNotifyItemSelect[] = L"itemselect";
constexpr wchar_t kNotifyItemActivate[] = L"itemactivate";
constexpr wchar_t kNotifyItemClick[] = L"itemclick";
constexpr wchar_t kNotifyItemRightClick[] = L"itemrclick";
constexpr wchar_t kNotifyHeaderClick[] = L"headerclick";
constexpr wchar_t kNotifyDropDown[] = L"dropdown";
constexpr wchar_t kNotifyShowActiveX[] = L"showactivex";

}  // namespace SkinUI

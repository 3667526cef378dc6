// A skinned control tree as an in-process client of the platform's accessibility interface
// finds it: asked for through WM_GETOBJECT (AccessibleObjectFromWindow), with the roles, names,
// values and states of real controls built from a skin, the tree's children without the
// layout's unnamed rows and columns, navigation and hit tests, the default action, objects that
// outlive their controls, no object made before the first request, and the events a listener
// hears from the window's first paint on, asked or not: the window's opening, its message, its
// focus and its changes.

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ControlWindowFixture.h"
#include "Control/UIProgress.h"
#include "Core/UIAccessible.h"
#include "Core/UIContainer.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UIHostAccessibility.h"

namespace {

using SkinUI::CControlUI;

// Every kind of control the skins have, each with a name to find it by.
constexpr wchar_t kSkin[] =
    L"<Window size=\"400,420\"><VerticalLayout name=\"root\">"
    L"<HorizontalLayout name=\"row\" accname=\"Toolbar\" height=\"30\">"
    L"<Button name=\"ok\" text=\"OK\" width=\"60\"/>"
    L"<Button name=\"close\" tooltip=\"Close\" width=\"30\"/>"
    L"<Button name=\"named\" text=\"X\" tooltip=\"Removes it\" accname=\"Delete\" width=\"30\"/>"
    L"<Button name=\"off\" text=\"Off\" enabled=\"false\" width=\"40\"/>"
    L"<CheckBox name=\"check\" text=\"Bold\" selected=\"true\" width=\"60\"/>"
    L"<Option name=\"radio\" text=\"Small\" group=\"size\" selected=\"true\" width=\"60\"/>"
    L"<Option name=\"tab\" text=\"Page\" group=\"tabs\" accrole=\"pagetab\" selected=\"true\" width=\"60\"/>"
    L"</HorizontalLayout>"
    L"<VerticalLayout name=\"column\" height=\"20\"><HorizontalLayout name=\"cell\">"
    L"<Label name=\"label\" text=\"Hello\"/></HorizontalLayout></VerticalLayout>"
    L"<Text name=\"text\" text=\"{b}Bold{/b} and {a x}link{/a}{n}more\" showhtml=\"true\" height=\"34\"/>"
    L"<Label name=\"hidden\" text=\"Hidden\" visible=\"false\" height=\"20\"/>"
    L"<Progress name=\"progress\" min=\"0\" max=\"200\" value=\"50\" accname=\"Download\" height=\"10\"/>"
    L"<Slider name=\"slider\" min=\"0\" max=\"100\" value=\"30\" height=\"16\"/>"
    L"<ScrollBar name=\"bar\" hor=\"true\" range=\"100\" height=\"14\"/>"
    L"<Edit name=\"edit\" text=\"typed\" accname=\"User\" height=\"22\"/>"
    L"<Edit name=\"password\" text=\"secret\" password=\"true\" tooltip=\"Password\" height=\"22\"/>"
    L"<RichEdit name=\"question\" text=\"Replace it?\" readonly=\"true\" height=\"30\"/>"
    L"<Combo name=\"combo\" height=\"22\"><ListLabelElement text=\"one\"/>"
    L"<ListLabelElement text=\"two\" selected=\"true\"/></Combo>"
    L"<List name=\"list\" height=\"50\"><ListLabelElement name=\"item1\" text=\"first\" height=\"20\"/>"
    L"<ListLabelElement name=\"item2\" text=\"second\" selected=\"true\" height=\"20\"/></List>"
    L"<TreeView name=\"tree\" height=\"60\"><TreeNode name=\"node\" text=\"Documents\" height=\"20\">"
    L"<TreeNode name=\"leaf\" text=\"Reports\" height=\"20\"/></TreeNode></TreeView>"
    L"<Control name=\"plain\"/>"
    L"</VerticalLayout></Window>";

// Releases what it holds.
template <class T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : m_p(p) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() { Reset(); }
  void Reset() {
    if (m_p != nullptr) m_p->Release();
    m_p = nullptr;
  }
  T* operator->() const { return m_p; }
  T* get() const { return m_p; }
  T** out() {
    Reset();
    return &m_p;
  }

 private:
  T* m_p = nullptr;
};

VARIANT Self() {
  VARIANT var;
  var.vt = VT_I4;
  var.lVal = CHILDID_SELF;
  return var;
}

VARIANT Child(LONG lId) {
  VARIANT var;
  var.vt = VT_I4;
  var.lVal = lId;
  return var;
}

std::wstring TakeText(BSTR bstr) {
  std::wstring text = bstr != nullptr ? bstr : L"";
  ::SysFreeString(bstr);
  return text;
}

std::wstring NameOf(IAccessible* pObject, VARIANT varChild = Self()) {
  BSTR bstr = nullptr;
  pObject->get_accName(varChild, &bstr);
  return TakeText(bstr);
}

LONG RoleOf(IAccessible* pObject) {
  VARIANT var;
  ::VariantInit(&var);
  if (FAILED(pObject->get_accRole(Self(), &var)) || var.vt != VT_I4) return -1;
  return var.lVal;
}

LONG StateOf(IAccessible* pObject) {
  VARIANT var;
  ::VariantInit(&var);
  if (FAILED(pObject->get_accState(Self(), &var)) || var.vt != VT_I4) return -1;
  return var.lVal;
}

// What a VARIANT answer names: an object (taken over) or, for CHILDID_SELF, the asked one.
IAccessible* ObjectOfAnswer(IAccessible* pAsked, VARIANT& var) {
  if (var.vt == VT_I4 && var.lVal == CHILDID_SELF) {
    pAsked->AddRef();
    return pAsked;
  }
  if (var.vt != VT_DISPATCH || var.pdispVal == nullptr) return nullptr;
  IAccessible* pObject = nullptr;
  var.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&pObject));
  var.pdispVal->Release();
  var.vt = VT_EMPTY;
  return pObject;
}

class AccessibilityTest : public control_testing::ControlWindowTest {
 protected:
  void SetUp() override {
    ControlWindowTest::SetUp();
    m_bCom = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ::SetWindowPos(m_hWnd, nullptr, 40, 40, 400, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowTextW(m_hWnd, L"Probe window");
  }
  void TearDown() override {
    m_root.Reset();
    ControlWindowTest::TearDown();
    if (m_bCom) ::CoUninitialize();
  }

  void Build(const wchar_t* pstrSkin = kSkin, const std::function<void()>& beforeFirstPaint = nullptr) {
    SkinUI::CSkinBuilder builder;
    CControlUI* pRoot = builder.Build(pstrSkin, nullptr, nullptr, &m_host);
    ASSERT_NE(pRoot, nullptr);
    Show(pRoot, beforeFirstPaint);
  }
  // The client area's object, as a screen reader in this process asks for it.
  IAccessible* Root() {
    if (m_root.get() == nullptr) {
      EXPECT_EQ(::AccessibleObjectFromWindow(m_hWnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(m_root.out())),
                S_OK);
    }
    return m_root.get();
  }
  CControlUI* Control(const wchar_t* pstrName) {
    CControlUI* pControl = m_host.FindControlByName(pstrName);
    EXPECT_NE(pControl, nullptr) << "no control " << testing::PrintToString(std::wstring(pstrName));
    return pControl;
  }
  // The object of a named control, once a client has asked for the tree.
  IAccessible* Object(const wchar_t* pstrName) {
    Root();
    SkinUI::CHostAccessibility* pAccessibility = m_host.GetAccessibility();
    if (pAccessibility == nullptr) return nullptr;
    return pAccessibility->ObjectFor(Control(pstrName));
  }
  std::vector<std::wstring> ChildNames(IAccessible* pObject) {
    std::vector<std::wstring> names;
    long nCount = 0;
    pObject->get_accChildCount(&nCount);
    for (long i = 1; i <= nCount; ++i) {
      Ref<IDispatch> child;
      if (pObject->get_accChild(Child(i), child.out()) != S_OK) {
        names.push_back(L"(no object)");
        continue;
      }
      Ref<IAccessible> accessible;
      child->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(accessible.out()));
      names.push_back(NameOf(accessible.get()));
    }
    return names;
  }
  POINT ScreenCentre(const wchar_t* pstrName) {
    const RECT rc = Control(pstrName)->GetPosition();
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(m_hWnd, &pt);
    return pt;
  }

  bool m_bCom = false;
  Ref<IAccessible> m_root;
};

// ---- what each control is ----

struct RoleCase {
  const char* label;
  const wchar_t* control;
  LONG role;
};

class AccessibleRoles : public AccessibilityTest, public testing::WithParamInterface<RoleCase> {};

TEST_P(AccessibleRoles, EachControlHasTheRoleOfWhatItIs) {
  Build();
  Ref<IAccessible> object(Object(GetParam().control));
  ASSERT_NE(object.get(), nullptr);
  EXPECT_EQ(RoleOf(object.get()), GetParam().role);
}

INSTANTIATE_TEST_SUITE_P(
    Skin, AccessibleRoles,
    testing::Values(RoleCase{"Root", L"root", ROLE_SYSTEM_CLIENT}, RoleCase{"Layout", L"row", ROLE_SYSTEM_GROUPING},
                    RoleCase{"Button", L"ok", ROLE_SYSTEM_PUSHBUTTON},
                    RoleCase{"CheckBox", L"check", ROLE_SYSTEM_CHECKBUTTON},
                    RoleCase{"Option", L"radio", ROLE_SYSTEM_RADIOBUTTON},
                    RoleCase{"OptionAsPageTab", L"tab", ROLE_SYSTEM_PAGETAB},
                    RoleCase{"Label", L"label", ROLE_SYSTEM_STATICTEXT},
                    RoleCase{"Text", L"text", ROLE_SYSTEM_STATICTEXT},
                    RoleCase{"Progress", L"progress", ROLE_SYSTEM_PROGRESSBAR},
                    RoleCase{"Slider", L"slider", ROLE_SYSTEM_SLIDER},
                    RoleCase{"ScrollBar", L"bar", ROLE_SYSTEM_SCROLLBAR},
                    RoleCase{"Edit", L"edit", ROLE_SYSTEM_TEXT},
                    RoleCase{"RichEdit", L"question", ROLE_SYSTEM_TEXT},
                    RoleCase{"Combo", L"combo", ROLE_SYSTEM_COMBOBOX},
                    RoleCase{"List", L"list", ROLE_SYSTEM_LIST},
                    RoleCase{"ListItem", L"item1", ROLE_SYSTEM_LISTITEM},
                    RoleCase{"TreeView", L"tree", ROLE_SYSTEM_OUTLINE},
                    RoleCase{"TreeNode", L"node", ROLE_SYSTEM_OUTLINEITEM},
                    RoleCase{"PlainControl", L"plain", ROLE_SYSTEM_GRAPHIC}),
    [](const testing::TestParamInfo<RoleCase>& info) { return std::string(info.param.label); });

struct NameCase {
  const char* label;
  const wchar_t* control;
  const wchar_t* name;
  const wchar_t* description;  // null: none
};

class AccessibleNames : public AccessibilityTest, public testing::WithParamInterface<NameCase> {};

TEST_P(AccessibleNames, TheSkinsNameThenTheTextThenTheTooltip) {
  Build();
  Ref<IAccessible> object(Object(GetParam().control));
  ASSERT_NE(object.get(), nullptr);
  EXPECT_EQ(NameOf(object.get()), GetParam().name);
  BSTR bstr = nullptr;
  const HRESULT hr = object->get_accDescription(Self(), &bstr);
  if (GetParam().description == nullptr) {
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(bstr, nullptr);
  } else {
    EXPECT_EQ(TakeText(bstr), GetParam().description);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Skin, AccessibleNames,
    testing::Values(NameCase{"Text", L"ok", L"OK", nullptr}, NameCase{"Tooltip", L"close", L"Close", nullptr},
                    NameCase{"AccnameOverTextAndTooltip", L"named", L"Delete", L"Removes it"},
                    NameCase{"TagsLeftOut", L"text", L"Bold and link\nmore", nullptr},
                    NameCase{"EditByAccname", L"edit", L"User", nullptr},
                    NameCase{"PasswordByTooltip", L"password", L"Password", nullptr},
                    NameCase{"TreeNodeByItsText", L"node", L"Documents", nullptr},
                    NameCase{"RootByTheWindowTitle", L"root", L"Probe window", nullptr}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

struct ValueCase {
  const char* label;
  const wchar_t* control;
  HRESULT result;
  const wchar_t* value;
};

class AccessibleValues : public AccessibilityTest, public testing::WithParamInterface<ValueCase> {};

TEST_P(AccessibleValues, ValueControlsSayTheirValueAndPasswordsNothing) {
  Build();
  Ref<IAccessible> object(Object(GetParam().control));
  ASSERT_NE(object.get(), nullptr);
  BSTR bstr = nullptr;
  EXPECT_EQ(object->get_accValue(Self(), &bstr), GetParam().result);
  EXPECT_EQ(TakeText(bstr), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Skin, AccessibleValues,
    testing::Values(ValueCase{"ProgressInPercent", L"progress", S_OK, L"25%"},
                    ValueCase{"SliderPosition", L"slider", S_OK, L"30"},
                    ValueCase{"EditText", L"edit", S_OK, L"typed"},
                    ValueCase{"PasswordNone", L"password", E_ACCESSDENIED, L""},
                    ValueCase{"RichEditText", L"question", S_OK, L"Replace it?"},
                    ValueCase{"ComboSelection", L"combo", S_OK, L"two"},
                    ValueCase{"TreeNodeDepth", L"leaf", S_OK, L"1"},
                    ValueCase{"ButtonNone", L"ok", DISP_E_MEMBERNOTFOUND, L""}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.label); });

struct StateCase {
  const char* label;
  const wchar_t* control;
  LONG present;
  LONG absent;
};

class AccessibleStates : public AccessibilityTest, public testing::WithParamInterface<StateCase> {};

TEST_P(AccessibleStates, StatesFollowTheControl) {
  Build();
  Ref<IAccessible> object(Object(GetParam().control));
  ASSERT_NE(object.get(), nullptr);
  const LONG lState = StateOf(object.get());
  EXPECT_EQ(lState & GetParam().present, GetParam().present) << std::hex << lState;
  EXPECT_EQ(lState & GetParam().absent, 0) << std::hex << lState;
}

INSTANTIATE_TEST_SUITE_P(
    Skin, AccessibleStates,
    testing::Values(
        StateCase{"ButtonFocusable", L"ok", STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED},
        StateCase{"DisabledUnavailable", L"off", STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSABLE},
        StateCase{"CheckBoxChecked", L"check", STATE_SYSTEM_CHECKED, 0},
        StateCase{"RadioChecked", L"radio", STATE_SYSTEM_CHECKED, STATE_SYSTEM_SELECTED},
        StateCase{"PageTabSelected", L"tab", STATE_SYSTEM_SELECTED | STATE_SYSTEM_SELECTABLE, STATE_SYSTEM_CHECKED},
        StateCase{"HiddenInvisible", L"hidden", STATE_SYSTEM_INVISIBLE, 0},
        StateCase{"PasswordProtected", L"password", STATE_SYSTEM_PROTECTED | STATE_SYSTEM_FOCUSABLE, 0},
        StateCase{"ReadOnlyQuestion", L"question", STATE_SYSTEM_READONLY, STATE_SYSTEM_PROTECTED},
        StateCase{"SelectedItem", L"item2", STATE_SYSTEM_SELECTED | STATE_SYSTEM_SELECTABLE, 0},
        StateCase{"UnselectedItem", L"item1", STATE_SYSTEM_SELECTABLE, STATE_SYSTEM_SELECTED},
        StateCase{"OpenNode", L"node", STATE_SYSTEM_EXPANDED, STATE_SYSTEM_COLLAPSED},
        StateCase{"LabelNotFocusable", L"label", 0, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED}),
    [](const testing::TestParamInfo<StateCase>& info) { return std::string(info.param.label); });

TEST_F(AccessibilityTest, TheFocusControlIsFocusedAndTheFocusAnswersWithIt) {
  Build();
  ::SetForegroundWindow(m_hWnd);
  ::SetFocus(m_hWnd);
  m_host.SetFocusControl(Control(L"check"), true);
  Ref<IAccessible> check(Object(L"check"));
  EXPECT_NE(StateOf(check.get()) & STATE_SYSTEM_FOCUSED, 0);
  EXPECT_EQ(StateOf(Ref<IAccessible>(Object(L"ok")).get()) & STATE_SYSTEM_FOCUSED, 0);

  VARIANT var;
  ::VariantInit(&var);
  ASSERT_EQ(Root()->get_accFocus(&var), S_OK);
  Ref<IAccessible> focus(ObjectOfAnswer(Root(), var));
  EXPECT_EQ(focus.get(), check.get());
}

// ---- the tree ----

TEST_F(AccessibilityTest, ChildrenAreTheVisibleControlsInSkinOrder) {
  Build();
  EXPECT_EQ(ChildNames(Root()),
            (std::vector<std::wstring>{L"Toolbar", L"Hello", L"Bold and link\nmore", L"Download", L"", L"", L"User",
                                       L"Password", L"", L"", L"", L"", L""}));
  Ref<IAccessible> row(Object(L"row"));
  EXPECT_EQ(ChildNames(row.get()),
            (std::vector<std::wstring>{L"OK", L"Close", L"Delete", L"Off", L"Bold", L"Small", L"Page"}));
}

TEST_F(AccessibilityTest, AListShowsItsItemsAndATreeNodeNoneOfItsParts) {
  Build();
  EXPECT_EQ(ChildNames(Ref<IAccessible>(Object(L"list")).get()), (std::vector<std::wstring>{L"first", L"second"}));
  EXPECT_EQ(ChildNames(Ref<IAccessible>(Object(L"node")).get()), std::vector<std::wstring>{});
  EXPECT_EQ(ChildNames(Ref<IAccessible>(Object(L"tree")).get()),
            (std::vector<std::wstring>{L"Documents", L"Reports"}));
  // An item's parent is the list, not the body that holds it.
  Ref<IDispatch> parent;
  ASSERT_EQ(Ref<IAccessible>(Object(L"item1"))->get_accParent(parent.out()), S_OK);
  Ref<IAccessible> list(Object(L"list"));
  Ref<IAccessible> parentObject;
  parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(parentObject.out()));
  EXPECT_EQ(parentObject.get(), list.get());
}

struct NavigationCase {
  const char* label;
  const wchar_t* from;
  long direction;
  const wchar_t* to;  // null: nowhere
};

class AccessibleNavigation : public AccessibilityTest, public testing::WithParamInterface<NavigationCase> {};

TEST_P(AccessibleNavigation, NavigateLeadsToTheNeighbour) {
  Build();
  Ref<IAccessible> from(Object(GetParam().from));
  VARIANT var;
  ::VariantInit(&var);
  const HRESULT hr = from->accNavigate(GetParam().direction, Self(), &var);
  if (GetParam().to == nullptr) {
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(var.vt, VT_EMPTY);
    return;
  }
  ASSERT_EQ(hr, S_OK);
  Ref<IAccessible> to(ObjectOfAnswer(from.get(), var));
  Ref<IAccessible> expected(Object(GetParam().to));
  EXPECT_EQ(to.get(), expected.get());
}

INSTANTIATE_TEST_SUITE_P(
    Skin, AccessibleNavigation,
    testing::Values(NavigationCase{"Next", L"ok", NAVDIR_NEXT, L"close"},
                    NavigationCase{"Previous", L"close", NAVDIR_PREVIOUS, L"ok"},
                    NavigationCase{"NoneBeforeTheFirst", L"ok", NAVDIR_PREVIOUS, nullptr},
                    NavigationCase{"FirstChild", L"row", NAVDIR_FIRSTCHILD, L"ok"},
                    NavigationCase{"LastChild", L"row", NAVDIR_LASTCHILD, L"tab"},
                    NavigationCase{"Right", L"ok", NAVDIR_RIGHT, L"close"},
                    NavigationCase{"Down", L"label", NAVDIR_DOWN, L"text"},
                    NavigationCase{"Up", L"label", NAVDIR_UP, L"row"},
                    NavigationCase{"HiddenSkipped", L"text", NAVDIR_NEXT, L"progress"}),
    [](const testing::TestParamInfo<NavigationCase>& info) { return std::string(info.param.label); });

TEST_F(AccessibilityTest, ChildIdsNameChildrenAndTheRootsParentIsTheWindow) {
  Build();
  Ref<IAccessible> row(Object(L"row"));
  EXPECT_EQ(NameOf(row.get(), Child(2)), L"Close");
  BSTR bstr = nullptr;
  EXPECT_EQ(row->get_accName(Child(8), &bstr), E_INVALIDARG);
  Ref<IDispatch> window;
  ASSERT_EQ(Root()->get_accParent(window.out()), S_OK);
  Ref<IAccessible> windowObject;
  window->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(windowObject.out()));
  ASSERT_NE(windowObject.get(), nullptr);
  EXPECT_NE(windowObject.get(), Root());
  // The platform's window object; Wine's answers E_NOTIMPL to every question.
  VARIANT role;
  ::VariantInit(&role);
  const HRESULT hrRole = windowObject->get_accRole(Self(), &role);
  EXPECT_TRUE((hrRole == S_OK && role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_WINDOW) || hrRole == E_NOTIMPL)
      << std::hex << hrRole;
}

TEST_F(AccessibilityTest, LocationIsTheControlsPlaceOnScreen) {
  Build();
  const RECT rc = Control(L"check")->GetPosition();
  POINT pt = {rc.left, rc.top};
  ::ClientToScreen(m_hWnd, &pt);
  long x = 0, y = 0, cx = 0, cy = 0;
  ASSERT_EQ(Ref<IAccessible>(Object(L"check"))->accLocation(&x, &y, &cx, &cy, Self()), S_OK);
  EXPECT_EQ((std::vector<long>{x, y, cx, cy}),
            (std::vector<long>{pt.x, pt.y, rc.right - rc.left, rc.bottom - rc.top}));
}

TEST_F(AccessibilityTest, HitTestsWalkDownToTheControlUnderThePoint) {
  Build();
  // What a client does: from the root, down through each answer to the deepest object.
  const POINT pt = ScreenCentre(L"check");
  IAccessible* pCurrent = Root();
  pCurrent->AddRef();
  for (int depth = 0; depth < 10; ++depth) {
    VARIANT var;
    ::VariantInit(&var);
    ASSERT_EQ(pCurrent->accHitTest(pt.x, pt.y, &var), S_OK);
    IAccessible* pNext = ObjectOfAnswer(pCurrent, var);
    pCurrent->Release();
    pCurrent = pNext;
    ASSERT_NE(pCurrent, nullptr);
    if (var.vt == VT_I4) break;  // the object itself: nothing below it there
  }
  EXPECT_EQ(NameOf(pCurrent), L"Bold");
  pCurrent->Release();

  POINT ptOutside = {0, 0};
  ::ClientToScreen(m_hWnd, &ptOutside);
  VARIANT var;
  ::VariantInit(&var);
  EXPECT_EQ(Ref<IAccessible>(Object(L"ok"))->accHitTest(ptOutside.x - 5, ptOutside.y - 5, &var), S_FALSE);
  EXPECT_EQ(var.vt, VT_EMPTY);
}

// ---- acting ----

TEST_F(AccessibilityTest, TheDefaultActionClicksOnceTheClientsCallIsOver) {
  Build();
  Ref<IAccessible> ok(Object(L"ok"));
  BSTR bstr = nullptr;
  ASSERT_EQ(ok->get_accDefaultAction(Self(), &bstr), S_OK);
  EXPECT_EQ(TakeText(bstr), L"Press");
  ASSERT_EQ(ok->accDoDefaultAction(Self()), S_OK);
  EXPECT_EQ(NoteTypes(), control_testing::TypeList{}) << "the click ran inside the client's call";
  Pump();
  EXPECT_EQ(NoteTypes(), control_testing::TypeList{L"click"});
  EXPECT_EQ(m_notes[0].sender, Control(L"ok"));

  m_notes.clear();
  EXPECT_EQ(Ref<IAccessible>(Object(L"off"))->accDoDefaultAction(Self()), E_FAIL);
  EXPECT_EQ(Ref<IAccessible>(Object(L"label"))->accDoDefaultAction(Self()), DISP_E_MEMBERNOTFOUND);
  Pump();
  EXPECT_EQ(NoteTypes(), control_testing::TypeList{});
}

TEST_F(AccessibilityTest, ACheckBoxsDefaultActionTogglesIt) {
  Build();
  Ref<IAccessible> check(Object(L"check"));
  BSTR bstr = nullptr;
  check->get_accDefaultAction(Self(), &bstr);
  EXPECT_EQ(TakeText(bstr), L"Uncheck");
  ASSERT_EQ(check->accDoDefaultAction(Self()), S_OK);
  Pump();
  EXPECT_EQ(StateOf(check.get()) & STATE_SYSTEM_CHECKED, 0);
}

// ---- lifetime ----

TEST_F(AccessibilityTest, AnObjectWhoseControlIsGoneSaysSoInsteadOfCrashing) {
  Build();
  Ref<IAccessible> label(Object(L"text"));
  auto* pRoot = static_cast<SkinUI::CContainerUI*>(Control(L"root")->QueryNamedInterface(L"Container"));
  ASSERT_TRUE(pRoot->RemoveItem(Control(L"text")));
  Pump();
  BSTR bstr = nullptr;
  EXPECT_EQ(label->get_accName(Self(), &bstr), CO_E_OBJNOTCONNECTED);
  VARIANT var;
  ::VariantInit(&var);
  EXPECT_EQ(label->get_accState(Self(), &var), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(label->accDoDefaultAction(Self()), CO_E_OBJNOTCONNECTED);
  long x = 0, y = 0, cx = 0, cy = 0;
  EXPECT_EQ(label->accLocation(&x, &y, &cx, &cy, Self()), CO_E_OBJNOTCONNECTED);

  // A new tree in the window: the old root's object is gone with its tree, the window's
  // object is the new root's.
  IAccessible* pOldRoot = Root();
  pOldRoot->AddRef();
  m_root.Reset();
  Build(L"<Window><VerticalLayout><Button text=\"New\"/></VerticalLayout></Window>");
  Pump();
  long nCount = 0;
  EXPECT_EQ(pOldRoot->get_accChildCount(&nCount), CO_E_OBJNOTCONNECTED);
  pOldRoot->Release();
  EXPECT_EQ(ChildNames(Root()), std::vector<std::wstring>{L"New"});
}

TEST_F(AccessibilityTest, NoObjectIsMadeBeforeAClientAsks) {
  const LONG lBefore = SkinUI::CHostAccessibility::LiveObjects();
  Build();
  // What a running window does: focus moves, values and texts change.
  m_host.SetFocusControl(Control(L"ok"), true);
  static_cast<SkinUI::CProgressUI*>(Control(L"progress"))->SetValue(120);
  Control(L"label")->SetText(L"Changed");
  PumpFor(300);
  EXPECT_EQ(SkinUI::CHostAccessibility::LiveObjects(), lBefore);
  Root();
  EXPECT_GT(SkinUI::CHostAccessibility::LiveObjects(), lBefore);
}

// ---- the layout left out ----

// The names of the groupings under the object, depth first.
void CollectGroupings(IAccessible* pObject, std::vector<std::wstring>& names) {
  long nCount = 0;
  pObject->get_accChildCount(&nCount);
  for (long i = 1; i <= nCount; ++i) {
    Ref<IDispatch> child;
    if (pObject->get_accChild(Child(i), child.out()) != S_OK) continue;
    Ref<IAccessible> object;
    child->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(object.out()));
    if (object.get() == nullptr) continue;
    if (RoleOf(object.get()) == ROLE_SYSTEM_GROUPING) names.push_back(NameOf(object.get()));
    CollectGroupings(object.get(), names);
  }
}

TEST_F(AccessibilityTest, UnnamedRowsAndColumnsAreLeftOutAndTheirChildrenLifted) {
  Build();
  std::vector<std::wstring> groupings;
  CollectGroupings(Root(), groupings);
  EXPECT_EQ(groupings, std::vector<std::wstring>{L"Toolbar"}) << "only the container the skin names";
  // The label two unnamed layouts deep is the root's child, and says so.
  Ref<IDispatch> parent;
  ASSERT_EQ(Ref<IAccessible>(Object(L"label"))->get_accParent(parent.out()), S_OK);
  Ref<IAccessible> parentObject;
  parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(parentObject.out()));
  EXPECT_EQ(parentObject.get(), Root());
  EXPECT_EQ(NameOf(Root(), Child(2)), L"Hello");
}

TEST_F(AccessibilityTest, AHiddenUnnamedLayoutHidesWhatItHolds) {
  Build();
  Control(L"column")->SetVisible(false);
  Pump();
  const std::vector<std::wstring> names = ChildNames(Root());
  EXPECT_EQ(std::find(names.begin(), names.end(), L"Hello"), names.end());
  EXPECT_EQ(names.front(), L"Toolbar");
  EXPECT_EQ(names[1], L"Bold and link\nmore");
}

// ---- events ----

struct HeardEvent {
  DWORD event;
  LONG child;
};
std::vector<HeardEvent>* g_pHeard = nullptr;
HWND g_hHeard = nullptr;

void CALLBACK HearEvent(HWINEVENTHOOK, DWORD event, HWND hWnd, LONG idObject, LONG idChild, DWORD, DWORD) {
  if (g_pHeard != nullptr && hWnd == g_hHeard && idObject == OBJID_CLIENT) g_pHeard->push_back({event, idChild});
}

class AccessibleEvents : public AccessibilityTest {
 protected:
  void SetUp() override {
    AccessibilityTest::SetUp();
    g_pHeard = &m_heard;
    g_hHeard = m_hWnd;
    // From the system's events (a dialog's start, an alert) to the objects' value changes.
    m_hook = ::SetWinEventHook(EVENT_MIN, EVENT_OBJECT_VALUECHANGE, nullptr, HearEvent, ::GetCurrentProcessId(), 0,
                               WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(m_hook, nullptr);
  }
  void TearDown() override {
    ::UnhookWinEvent(m_hook);
    g_pHeard = nullptr;
    AccessibilityTest::TearDown();
  }
  std::vector<LONG> ChildrenHeard(DWORD event) const {
    std::vector<LONG> children;
    for (const HeardEvent& heard : m_heard) {
      if (heard.event == event) children.push_back(heard.child);
    }
    return children;
  }
  // What the controls' focus events name, in order; the platform's own for the window left out.
  std::vector<std::wstring> FocusHeard() {
    std::vector<std::wstring> names;
    for (LONG lChild : ChildrenHeard(EVENT_OBJECT_FOCUS)) {
      if (lChild != CHILDID_SELF) names.push_back(NameFromEvent(lChild));
    }
    return names;
  }
  // The control an event's child id leads to, as AccessibleObjectFromEvent finds it.
  std::wstring NameFromEvent(LONG lChild) {
    Ref<IAccessible> object;
    VARIANT var;
    ::VariantInit(&var);
    if (::AccessibleObjectFromEvent(m_hWnd, static_cast<DWORD>(OBJID_CLIENT), lChild, object.out(), &var) != S_OK) {
      return L"(none)";
    }
    return NameOf(object.get(), var);
  }

  HWINEVENTHOOK m_hook = nullptr;
  std::vector<HeardEvent> m_heard;
};

TEST_F(AccessibleEvents, AFocusMoveNamesTheControlThatTookIt) {
  Build();
  Root();
  m_host.SetFocusControl(Control(L"check"), true);
  PumpFor(200);
  const std::vector<LONG> focused = ChildrenHeard(EVENT_OBJECT_FOCUS);
  ASSERT_FALSE(focused.empty());
  EXPECT_EQ(NameFromEvent(focused.back()), L"Bold");
}

TEST_F(AccessibleEvents, ALabelsNewTextAndACheckedBoxAreHeard) {
  Build();
  Root();
  Control(L"label")->SetText(L"Changed");
  Ref<IAccessible> check(Object(L"check"));
  check->accDoDefaultAction(Self());
  PumpFor(200);
  const std::vector<LONG> named = ChildrenHeard(EVENT_OBJECT_NAMECHANGE);
  ASSERT_EQ(named.size(), 1u);
  EXPECT_EQ(NameFromEvent(named[0]), L"Changed");
  const std::vector<LONG> changed = ChildrenHeard(EVENT_OBJECT_STATECHANGE);
  ASSERT_FALSE(changed.empty());
  EXPECT_EQ(NameFromEvent(changed.back()), L"Bold");
}

TEST_F(AccessibleEvents, AProgressBarIsHeardAFewTimesASecondEndingWithItsLastValue) {
  Build();
  Root();
  auto* pProgress = static_cast<SkinUI::CProgressUI*>(Control(L"progress"));
  // 25 updates a second, as the installer's main window makes them, for a second.
  const DWORD dwStart = ::GetTickCount();
  for (int i = 1; i <= 25; ++i) {
    pProgress->SetValue(i * 8);
    PumpFor(40);
  }
  const DWORD dwElapsed = ::GetTickCount() - dwStart;
  PumpFor(400);
  const std::vector<LONG> values = ChildrenHeard(EVENT_OBJECT_VALUECHANGE);
  ASSERT_FALSE(values.empty());
  const size_t nMost = dwElapsed / SkinUI::CHostAccessibility::kPacedEventIntervalMs + 2;
  EXPECT_LE(values.size(), nMost) << "in " << dwElapsed << " ms";
  BSTR bstr = nullptr;
  Ref<IAccessible> root(Root());
  root->AddRef();
  root->get_accValue(Child(values.back()), &bstr);
  EXPECT_EQ(TakeText(bstr), L"100%");
}

TEST_F(AccessibleEvents, AListenerHearsTheWindowFromItsFirstPaintWithoutAsking) {
  const LONG lBefore = SkinUI::CHostAccessibility::LiveObjects();
  // What happens before the window is on the screen is nobody's news.
  Build(kSkin, [this] { Control(L"label")->SetText(L"Before"); });
  static_cast<SkinUI::CProgressUI*>(Control(L"progress"))->SetValue(120);
  Control(L"label")->SetText(L"After");
  m_host.SetFocusControl(Control(L"check"), true);
  PumpFor(300);
  EXPECT_EQ(SkinUI::CHostAccessibility::LiveObjects(), lBefore) << "an object was made though nobody asked";
  // Only now does this listener look at what it heard.
  EXPECT_EQ(FocusHeard(), (std::vector<std::wstring>{L"OK", L"Bold"})) << "the focus on open, then its move";
  const std::vector<LONG> values = ChildrenHeard(EVENT_OBJECT_VALUECHANGE);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(NameFromEvent(values[0]), L"Download");
  const std::vector<LONG> named = ChildrenHeard(EVENT_OBJECT_NAMECHANGE);
  ASSERT_EQ(named.size(), 1u);
  EXPECT_EQ(NameFromEvent(named[0]), L"After");
}

TEST_F(AccessibleEvents, ADialogWithAMessageAnnouncesItThenItsFirstFocusAsItOpens) {
  Build(kSkin, [this] {
    Control(L"root")->SetAccessibleRole(ROLE_SYSTEM_DIALOG);
    m_host.SetAccessibleMessage(Control(L"label"));
    m_host.SetFirstFocus(Control(L"progress"));
  });
  PumpFor(300);
  std::vector<DWORD> order;
  for (const HeardEvent& heard : m_heard) {
    if (heard.event != EVENT_OBJECT_FOCUS || heard.child != CHILDID_SELF) order.push_back(heard.event);
  }
  EXPECT_EQ(order, (std::vector<DWORD>{EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_ALERT, EVENT_OBJECT_FOCUS}));
  EXPECT_EQ(ChildrenHeard(EVENT_SYSTEM_DIALOGSTART), std::vector<LONG>{CHILDID_SELF});
  const std::vector<LONG> alerts = ChildrenHeard(EVENT_SYSTEM_ALERT);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(NameFromEvent(alerts[0]), L"Hello") << "the alert is named by the message";
  EXPECT_EQ(FocusHeard(), std::vector<std::wstring>{L"Download"});
  // Read later, the dialog is named by its window and described by its message.
  EXPECT_EQ(RoleOf(Root()), ROLE_SYSTEM_DIALOG);
  EXPECT_EQ(NameOf(Root()), L"Probe window");
  BSTR bstr = nullptr;
  ASSERT_EQ(Root()->get_accDescription(Self(), &bstr), S_OK);
  EXPECT_EQ(TakeText(bstr), L"Hello");
  // The focus there, though no Tab stop, is focusable.
  EXPECT_NE(StateOf(Ref<IAccessible>(Object(L"progress")).get()) & STATE_SYSTEM_FOCUSABLE, 0);
}

}  // namespace

// A window used without a mouse: Tab and Shift+Tab through every control a keyboard can work,
// in skin order, the keys each control answers, and the outline that shows the focus once the
// keyboard has moved it. Keys take the road the modal loop gives them (pre-translation, then
// the window with the focus).

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Control/UIScrollBar.h"
#include "Control/UISlider.h"
#include "Control/UITreeNode.h"
#include "ControlWindowFixture.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UIFocusCue.h"
#include "support/DibCanvas.h"

namespace {

using SkinUI::CControlUI;
using control_testing::TypeList;

class KeyboardTest : public control_testing::ControlWindowTest {
 protected:
  void Build(const wchar_t* pstrSkin, const std::function<void()>& beforeFirstPaint = nullptr) {
    SkinUI::CSkinBuilder builder;
    CControlUI* pRoot = builder.Build(pstrSkin, nullptr, nullptr, &m_host);
    ASSERT_NE(pRoot, nullptr);
    Show(pRoot, beforeFirstPaint);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
  }
  CControlUI* Control(const wchar_t* pstrName) { return m_host.FindControlByName(pstrName); }
  std::wstring FocusName() const {
    CControlUI* pFocus = m_host.GetFocusControl();
    return pFocus != nullptr ? pFocus->GetName().GetData() : L"(none)";
  }
  // A key as the modal loop delivers it, to whichever window has the keyboard focus.
  void Press(UINT vk, bool bShift = false, bool bCtrl = false) {
    HoldKeys(bCtrl, bShift);
    HWND hTarget = ::GetFocus() != nullptr ? ::GetFocus() : m_hWnd;
    for (UINT uMsg : {WM_KEYDOWN, WM_KEYUP}) {
      MSG msg = {};
      msg.hwnd = hTarget;
      msg.message = uMsg;
      msg.wParam = vk;
      msg.lParam = uMsg == WM_KEYUP ? 0xC0000001 : 1;
      if (!SkinUI::CWindowHostUI::TranslateForHosts(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    HoldKeys(false, false);
    Pump();
  }
  std::vector<std::wstring> TabThrough(int nPresses, bool bShift) {
    std::vector<std::wstring> visited;
    for (int i = 0; i < nPresses; ++i) {
      Press(VK_TAB, bShift);
      visited.push_back(FocusName());
    }
    return visited;
  }
  // Pixels of the host's picture along the top edge of the control's outline that differ from
  // the control's own white.
  int OutlinePixels(const wchar_t* pstrName) {
    const RECT rc = SkinUI::CFocusCuePainterUI::OutlineRect(Control(pstrName));
    const std::vector<uint32_t> pixels =
        testing_support::ReadBitmapPixels(m_host.GetPaintOffscreenBitmap(), kWindowWidth, kWindowHeight);
    int n = 0;
    for (int x = rc.left; x < rc.right && !pixels.empty(); ++x) {
      n += (pixels[static_cast<size_t>(rc.top) * kWindowWidth + x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    }
    return n;
  }
};

constexpr wchar_t kEveryKind[] =
    L"<Window size=\"320,240\"><VerticalLayout>"
    L"<Edit name=\"edit\" height=\"20\"/>"
    L"<Button name=\"first\" text=\"First\" height=\"20\"/>"
    L"<Label name=\"label\" text=\"Not reached\" height=\"20\"/>"
    L"<Combo name=\"combo\" height=\"20\"><ListLabelElement text=\"a\"/></Combo>"
    L"<List name=\"list\" height=\"30\"><ListLabelElement text=\"row\" height=\"20\"/></List>"
    L"<Slider name=\"slider\" height=\"16\"/>"
    L"<ScrollBar name=\"bar\" hor=\"true\" range=\"100\" height=\"14\"/>"
    L"<Text name=\"text\" text=\"a {a go}link{/a}\" showhtml=\"true\" height=\"20\"/>"
    L"<Button name=\"off\" text=\"Off\" enabled=\"false\" height=\"20\"/>"
    L"<CheckBox name=\"check\" text=\"Check\" height=\"20\"/>"
    L"</VerticalLayout></Window>";

TEST_F(KeyboardTest, TabVisitsWhatTheKeyboardCanWorkInSkinOrderAndShiftTabGoesBack) {
  Build(kEveryKind);
  EXPECT_EQ(FocusName(), L"first") << "a new window gives no field or list the focus on its own";
  EXPECT_EQ(TabThrough(8, false), (std::vector<std::wstring>{L"combo", L"list", L"slider", L"bar", L"text", L"check",
                                                             L"edit", L"first"}));
  EXPECT_EQ(TabThrough(3, true), (std::vector<std::wstring>{L"edit", L"check", L"text"}));
}

TEST_F(KeyboardTest, CtrlTabLeavesAControlThatTypesTab) {
  Build(L"<Window size=\"320,240\"><VerticalLayout>"
        L"<RichEdit name=\"notes\" wanttab=\"true\" multiline=\"true\" height=\"60\"/>"
        L"<Button name=\"after\" text=\"After\" height=\"20\"/></VerticalLayout></Window>");
  EXPECT_EQ(FocusName(), L"notes");
  Press(VK_TAB);
  EXPECT_EQ(FocusName(), L"notes") << "Tab is the text's own";
  Press(VK_TAB, false, true);
  EXPECT_EQ(FocusName(), L"after");
}

struct KeyCase {
  const char* label;
  const wchar_t* control;
  UINT vk;
  int value;
};

class ValueKeys : public KeyboardTest, public testing::WithParamInterface<KeyCase> {};

int ValueOf(CControlUI* pControl) {
  if (auto* pSlider = static_cast<SkinUI::CSliderUI*>(pControl->QueryNamedInterface(L"Slider"))) {
    return pSlider->GetValue();
  }
  return static_cast<SkinUI::CScrollBarUI*>(pControl->QueryNamedInterface(L"ScrollBar"))->GetScrollValue();
}

TEST_P(ValueKeys, TheFocusedSliderAndScrollBarMoveWithTheKeys) {
  Build(L"<Window size=\"320,240\"><VerticalLayout>"
        L"<Slider name=\"slider\" min=\"0\" max=\"200\" value=\"100\" step=\"5\" height=\"16\"/>"
        L"<ScrollBar name=\"bar\" hor=\"true\" range=\"100\" linesize=\"4\" height=\"14\"/>"
        L"</VerticalLayout></Window>");
  Control(L"bar")->GetHost()->SetFocusControl(Control(GetParam().control), true);
  auto* pBar = static_cast<SkinUI::CScrollBarUI*>(Control(L"bar")->QueryNamedInterface(L"ScrollBar"));
  pBar->SetScrollValue(50, false);
  m_notes.clear();
  Press(GetParam().vk);
  EXPECT_EQ(ValueOf(Control(GetParam().control)), GetParam().value);
  const wchar_t* pstrNotice = std::wstring(GetParam().control) == L"slider" ? L"valuechanged" : L"scroll";
  EXPECT_EQ(NoteTypes(), TypeList{pstrNotice});
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ValueKeys,
    testing::Values(KeyCase{"SliderRightAStep", L"slider", VK_RIGHT, 105},
                    KeyCase{"SliderDownAStepBack", L"slider", VK_DOWN, 95},
                    KeyCase{"SliderPageUpATenth", L"slider", VK_PRIOR, 120},
                    KeyCase{"SliderHome", L"slider", VK_HOME, 0}, KeyCase{"SliderEnd", L"slider", VK_END, 200},
                    KeyCase{"BarRightALine", L"bar", VK_RIGHT, 54}, KeyCase{"BarUpALineBack", L"bar", VK_UP, 46},
                    KeyCase{"BarPageDownATenth", L"bar", VK_NEXT, 60}, KeyCase{"BarEnd", L"bar", VK_END, 100}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.label); });

TEST_F(KeyboardTest, RightOpensAndLeftClosesTheSelectedNode) {
  Build(L"<Window size=\"320,240\"><VerticalLayout>"
        L"<TreeView name=\"tree\" height=\"100\"><TreeNode name=\"folder\" text=\"Folder\" height=\"20\">"
        L"<TreeNode name=\"inside\" text=\"Inside\" height=\"20\"/></TreeNode></TreeView>"
        L"</VerticalLayout></Window>");
  auto* pFolder = static_cast<SkinUI::CTreeNodeUI*>(Control(L"folder"));
  pFolder->Select(true);
  m_host.SetFocusControl(Control(L"tree"), true);
  Press(VK_LEFT);
  EXPECT_FALSE(pFolder->IsNodeExpanded());
  EXPECT_FALSE(Control(L"inside")->IsVisible());
  Press(VK_RIGHT);
  EXPECT_TRUE(pFolder->IsNodeExpanded());
  EXPECT_TRUE(Control(L"inside")->IsVisible());
}

TEST_F(KeyboardTest, ReturnFollowsTheLinkOfTheFocusedText) {
  Build(L"<Window size=\"320,240\"><VerticalLayout>"
        L"<Text name=\"text\" text=\"read {a more}more{/a}\" showhtml=\"true\" height=\"20\"/>"
        L"</VerticalLayout></Window>");
  m_host.SetFocusControl(Control(L"text"), true);
  m_notes.clear();
  Press(VK_RETURN);
  EXPECT_EQ(Params(L"link"), control_testing::ParamList{std::make_pair(0, 0)});
}

constexpr wchar_t kTwoWhiteButtons[] =
    L"<Window size=\"320,240\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<Button name=\"one\" text=\"\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
    L"<Button name=\"two\" text=\"\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
    L"</VerticalLayout></Window>";

TEST_F(KeyboardTest, TheFocusIsOutlinedOnceTheKeyboardMovedItNotBefore) {
  Build(kTwoWhiteButtons);
  ASSERT_EQ(FocusName(), L"one");
  Relayout();
  EXPECT_EQ(OutlinePixels(L"one"), 0) << "the mouse user sees no outline";
  ClickControl(Control(L"two"));
  Relayout();
  EXPECT_EQ(OutlinePixels(L"two"), 0) << "a click shows none either";
  Press(VK_TAB);
  ASSERT_EQ(FocusName(), L"one");
  Relayout();
  EXPECT_GT(OutlinePixels(L"one"), 20);
  EXPECT_EQ(OutlinePixels(L"two"), 0) << "the outline left the control the focus left";
}

TEST_F(KeyboardTest, ANewTreeHidesTheOutlineUntilTheKeyboardMovesTheFocusInIt) {
  Build(kTwoWhiteButtons);
  Press(VK_TAB);
  ASSERT_TRUE(m_host.AreFocusCuesShown());
  Build(kTwoWhiteButtons);
  Pump();
  EXPECT_FALSE(m_host.AreFocusCuesShown());
  Press(VK_TAB);
  Relayout();
  EXPECT_GT(OutlinePixels(FocusName().c_str()), 20);
}

// A window that opens on its progress bar: the window shows its focus from the start.
constexpr wchar_t kOpensOnItsProgress[] =
    L"<Window size=\"320,240\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<Button name=\"close\" text=\"\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
    L"<Progress name=\"progress\" value=\"30\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
    L"<Label name=\"label\" text=\"\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
    L"<Button name=\"cancel\" text=\"\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
    L"</VerticalLayout></Window>";

TEST_F(KeyboardTest, AWindowOpensOnTheFirstFocusItSetsAndTabGoesOnFromThere) {
  for (const bool bShift : {false, true}) {
    Build(kOpensOnItsProgress, [this] {
      m_host.SetFirstFocus(Control(L"progress"));
      m_host.ShowFocusCues();
    });
    EXPECT_EQ(FocusName(), L"progress") << "in place of the first Tab stop";
    Press(VK_RETURN);
    Press(VK_SPACE);
    EXPECT_EQ(FocusName(), L"progress");
    EXPECT_EQ(NoteTypes(), TypeList{}) << "a key on the progress bar did something";
    Relayout();
    EXPECT_EQ(OutlinePixels(L"progress"), 0) << "an outline where no key works";
    Press(VK_TAB, bShift);
    EXPECT_EQ(FocusName(), bShift ? L"close" : L"cancel");
    Relayout();
    EXPECT_GT(OutlinePixels(FocusName().c_str()), 20);
  }
  // Once the window is up, a first focus takes the focus at once.
  m_host.SetFirstFocus(Control(L"progress"));
  EXPECT_EQ(FocusName(), L"progress");
}

TEST_F(KeyboardTest, AClickOnPlainTextOrAProgressBarLeavesTheFocusWhereItWas) {
  Build(kOpensOnItsProgress);
  Press(VK_TAB);
  ASSERT_EQ(FocusName(), L"cancel");
  for (const wchar_t* pstrName : {L"label", L"progress"}) {
    ClickControl(Control(pstrName));
    EXPECT_EQ(FocusName(), L"cancel") << testing::PrintToString(std::wstring(pstrName));
  }
  ClickControl(Control(L"close"));
  EXPECT_EQ(FocusName(), L"close") << "a button takes it";
}

TEST_F(KeyboardTest, ASmallControlsOutlineRunsAroundItAndGoesWithTheFocus) {
  Build(L"<Window size=\"320,240\"><VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"20,20,20,20\">"
        L"<HorizontalLayout height=\"12\"><Button name=\"small\" text=\"\" bkcolor=\"#FFFFFFFF\" width=\"12\"/>"
        L"</HorizontalLayout>"
        L"<Button name=\"big\" text=\"\" bkcolor=\"#FFFFFFFF\" height=\"40\"/>"
        L"</VerticalLayout></Window>");
  ASSERT_EQ(FocusName(), L"small");
  Press(VK_TAB, true);
  Press(VK_TAB);
  ASSERT_EQ(FocusName(), L"small");
  Relayout();
  const RECT rcSmall = Control(L"small")->GetPosition();
  const RECT rcOutline = SkinUI::CFocusCuePainterUI::OutlineRect(Control(L"small"));
  EXPECT_LT(rcOutline.top, rcSmall.top) << "the outline runs around a small control";
  EXPECT_GT(OutlinePixels(L"small"), 5);
  Press(VK_TAB);
  ASSERT_EQ(FocusName(), L"big");
  Relayout();
  EXPECT_EQ(OutlinePixels(L"small"), 0) << "the outline around it went with the focus";
}

}  // namespace

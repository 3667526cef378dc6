// Combo boxes on a real window: the drop-down's size, selection by keys and mouse in it, Escape,
// closing on focus loss, and items or the combo going away while it is open.

#include <gtest/gtest.h>

#include <string>

#include "Control/UICombo.h"
#include "Control/UIComboWnd.h"
#include "Control/UIListLabelElement.h"
#include "Control/UIScrollBar.h"
#include "ControlWindowFixture.h"
#include "Layout/UIVerticalLayout.h"

namespace {

using namespace SkinUI;
using control_testing::ParamList;

const int kItemHeight = 20;

class ComboTest : public control_testing::ControlWindowTest {
 protected:
  CComboUI* ShowCombo(int nItems) {
    CVerticalLayoutUI* pRoot = new CVerticalLayoutUI;
    m_pCombo = new CComboUI;
    m_pCombo->SetFixedHeight(24);
    m_pCombo->SetFixedWidth(140);
    for (int i = 0; i < nItems; ++i) {
      CListLabelElementUI* pItem = new CListLabelElementUI;
      pItem->SetFixedHeight(kItemHeight);
      pItem->SetText((L"item " + std::to_wstring(i)).c_str());
      m_pCombo->AddItem(pItem);
    }
    pRoot->AddItem(m_pCombo);
    pRoot->AddItem(new CControlUI);
    Show(pRoot);
    return m_pCombo;
  }
  // Clicks the combo and answers its drop-down's window.
  HWND Open() {
    ClickControl(m_pCombo);
    CComboWnd* pDropDown = m_pCombo->GetDropDown();
    return pDropDown != nullptr ? pDropDown->GetHWND() : nullptr;
  }
  static int Height(HWND hWnd) {
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(hWnd, &rc);
    return rc.bottom - rc.top;
  }
  // A point in the drop-down's client area over item i (inside its 1-pixel frame).
  static LPARAM OverItem(int i) { return MAKELPARAM(20, 1 + i * kItemHeight + kItemHeight / 2); }

  CComboUI* m_pCombo = nullptr;
};

TEST_F(ComboTest, TheDropDownIsAsHighAsItsItemsUpToTheBoxHeight) {
  ShowCombo(10);
  HWND hDropDown = Open();
  ASSERT_NE(hDropDown, nullptr);
  EXPECT_EQ(NoteTypes().back(), L"dropdown");
  EXPECT_EQ(Height(hDropDown), 150);
  PumpFor(50);
  ASSERT_NE(m_pCombo->GetDropDown(), nullptr) << "the drop-down closed by itself";
  auto* pBar = m_pCombo->GetDropDown()->GetLayout()->GetVerticalScrollBar();
  ASSERT_NE(pBar, nullptr);
  EXPECT_TRUE(pBar->IsVisible());
  m_pCombo->GetDropDown()->RequestClose();
  Pump();
  EXPECT_EQ(m_pCombo->GetDropDown(), nullptr);
  EXPECT_FALSE(::IsWindow(hDropDown));

  m_pCombo->RemoveItemAt(9);
  for (int i = 0; i < 7; ++i) m_pCombo->RemoveItemAt(0);
  Pump();
  hDropDown = Open();
  EXPECT_EQ(Height(hDropDown), 2 * kItemHeight + 4);
}

TEST_F(ComboTest, ItsAttributesAreKeptAsTheSkinWroteThemWhateverTheDpi) {
  ShowCombo(1);
  m_host.SetDpi(144);
  m_pCombo->ApplyAttribute(L"textpadding", L"2,4,6,8");
  EXPECT_EQ(m_pCombo->GetTextPadding().right, 9);
  EXPECT_STREQ(m_pCombo->GetCustomAttribute(L"textpadding"), L"2,4,6,8");
}

TEST_F(ComboTest, KeysSelectInTheOpenDropDownAndAClickChoosesAndCloses) {
  ShowCombo(5);
  HWND hDropDown = Open();
  ASSERT_NE(hDropDown, nullptr);
  EXPECT_EQ(::GetFocus(), hDropDown);
  m_notes.clear();
  ::SendMessageW(hDropDown, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageW(hDropDown, WM_KEYDOWN, VK_DOWN, 0);
  PumpFor(30);
  EXPECT_EQ(Params(L"itemselect"), (ParamList{{0, -1}, {1, 0}}));
  EXPECT_NE(m_pCombo->GetDropDown(), nullptr) << "keys leave it open";

  ::SendMessageW(hDropDown, WM_MOUSEMOVE, 0, OverItem(3));
  ::SendMessageW(hDropDown, WM_LBUTTONDOWN, MK_LBUTTON, OverItem(3));
  ::SendMessageW(hDropDown, WM_LBUTTONUP, 0, OverItem(3));
  Pump();
  EXPECT_EQ(Params(L"itemselect").back(), (std::pair<int, int>{3, 1}));
  EXPECT_EQ(m_pCombo->GetDropDown(), nullptr);
  EXPECT_STREQ(m_pCombo->GetText(), L"item 3");
  EXPECT_EQ(m_pCombo->GetItemAt(3)->GetHost(), &m_host) << "the items are the combo's again";
}

TEST_F(ComboTest, EscapeReturnsToTheItemSelectedAtOpening) {
  ShowCombo(5);
  m_pCombo->SelectIndex(2);
  HWND hDropDown = Open();
  ASSERT_NE(hDropDown, nullptr);
  ::SendMessageW(hDropDown, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageW(hDropDown, WM_KEYDOWN, VK_DOWN, 0);
  m_notes.clear();
  ::SendMessageW(hDropDown, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(Params(L"itemselect"), (ParamList{{2, 4}}));
  EXPECT_EQ(m_pCombo->GetCurSel(), 2);
  EXPECT_EQ(m_pCombo->GetDropDown(), nullptr);
}

TEST_F(ComboTest, TheDropDownClosesWhenTheFocusGoesElsewhere) {
  ShowCombo(3);
  HWND hDropDown = Open();
  ASSERT_NE(hDropDown, nullptr);
  ::SetFocus(m_hWnd);
  Pump();
  EXPECT_FALSE(::IsWindow(hDropDown));
  EXPECT_EQ(m_pCombo->GetDropDown(), nullptr);
  EXPECT_EQ(m_pCombo->GetButtonState() & SkinUI::kStatePushed, 0u);
}

TEST_F(ComboTest, EmptyingOrDestroyingTheComboWhileOpenLeavesNothingBehind) {
  ShowCombo(4);
  EXPECT_TRUE(m_pCombo->SelectIndex(99)) << "past the end selects the last item";
  EXPECT_EQ(m_pCombo->GetCurSel(), 3);
  EXPECT_FALSE(m_pCombo->SelectIndex(-5));
  EXPECT_EQ(m_pCombo->GetCurSel(), -1);
  HWND hDropDown = Open();
  ASSERT_NE(hDropDown, nullptr);
  ::SendMessageW(hDropDown, WM_MOUSEMOVE, 0, OverItem(1));  // the drop-down hovers an item
  m_pCombo->RemoveAllItems();
  Pump();
  EXPECT_FALSE(::IsWindow(hDropDown));
  EXPECT_EQ(m_pCombo->GetCurSel(), -1);
  EXPECT_STREQ(m_pCombo->GetText(), L"");

  for (int i = 0; i < 3; ++i) m_pCombo->AddItem(new CListLabelElementUI);
  hDropDown = Open();
  ASSERT_NE(hDropDown, nullptr);
  ::SendMessageW(hDropDown, WM_MOUSEMOVE, 0, OverItem(0));
  static_cast<CContainerUI*>(m_pCombo->GetParent())->RemoveItem(m_pCombo);
  Pump();
  EXPECT_FALSE(::IsWindow(hDropDown));
}

}  // namespace

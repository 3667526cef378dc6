// The rich edit on the platform's windowless text engine: text, wrapping, scrolling with the
// framework's bars, real keyboard and mouse input, clipboard, limits, Tab and Return, what the
// skin attributes reach, and the text host's lifetime.

#include <gtest/gtest.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "Control/UIScrollBar.h"
#include "Control/UITextHost.h"
#include "Control/UITextServices.h"
#include "RichEditFixture.h"

namespace rich_edit_testing {
namespace {

using SkinUI::CRichEditUI;
using SkinUI::CScrollBarUI;

HWND CaretWindow() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetCurrentThreadId(), &info) ? info.hwndCaret : nullptr;
}

const wchar_t kPromptSentence[] =
    L"Quillmere企业云盘已经安装，如果您需要升级请点击“确认”，此过程可能需要几分钟的时间。"
    L"否则，请点击“取消”。";

std::wstring Repeat(const std::wstring& text, int n) {
  std::wstring out;
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

// One rich edit named "edit" over a button named "next", which takes the focus on Tab.
class OneEditTest : public RichEditTest {
 protected:
  CRichEditUI* BuildEdit(const std::wstring& attributes = L"") {
    if (BuildWindow(L"<VerticalLayout><RichEdit name=\"edit\" " + attributes +
                    L"/><Button name=\"next\" height=\"30\"/></VerticalLayout>") == nullptr) {
      return nullptr;
    }
    return RichEdit();
  }
  // Clicks into the text, where the filter hands the press to the engine.
  void ClickInto(CRichEditUI* pEdit) {
    const RECT rc = pEdit->GetTextArea();
    Click(POINT{rc.left + 5, rc.top + 5});
  }
};

class TextRoundTrip : public OneEditTest, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(TextRoundTrip, TextSetIsReadBackExactly) {
  CRichEditUI* pEdit = BuildEdit();
  ASSERT_NE(pEdit, nullptr);
  ASSERT_NE(pEdit->GetTextHost(), nullptr) << "no text engine";
  pEdit->SetText(GetParam());
  EXPECT_STREQ(pEdit->GetText().GetData(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, TextRoundTrip,
                         ::testing::Values(L"plain ascii", kPromptSentence,
                                           L"第一行\r\n第二行\r\nthird line", L""));

struct WrapCase {
  const wchar_t* attributes;
  bool wraps;
};

class WordWrap : public OneEditTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(WordWrap, ALongLineWrapsUnlessScrollingSideways) {
  CRichEditUI* pEdit = BuildEdit(GetParam().attributes);
  ASSERT_NE(pEdit, nullptr);
  pEdit->SetText(Repeat(L"wrap me ", 40).c_str());
  const LRESULT nLines = Ask(pEdit, EM_GETLINECOUNT);
  if (GetParam().wraps) {
    EXPECT_GT(nLines, 2);
  } else {
    EXPECT_EQ(nLines, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, WordWrap,
                         ::testing::Values(WrapCase{L"", true},
                                           WrapCase{L"autohscroll=\"true\"", false},
                                           WrapCase{L"hscrollbar=\"true\"", false}));

struct BarCase {
  const wchar_t* attributes;
  int repeats;
  bool barShown;
};

class VerticalBar : public OneEditTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(VerticalBar, AppearsOnlyForTextLongerThanTheControl) {
  CRichEditUI* pEdit = BuildEdit(std::wstring(L"vscrollbar=\"true\" ") + GetParam().attributes);
  ASSERT_NE(pEdit, nullptr);
  pEdit->SetText(Repeat(kPromptSentence, GetParam().repeats).c_str());
  Pump(150);
  auto* pBar = pEdit->GetVerticalScrollBar();
  ASSERT_NE(pBar, nullptr);
  EXPECT_EQ(pBar->IsVisible(), GetParam().barShown);
  const RECT rcText = pEdit->GetTextArea();
  if (GetParam().barShown) {
    EXPECT_GT(pBar->GetScrollRange(), 0);
    EXPECT_EQ(pBar->GetPosition().left, rcText.right);
  } else {
    EXPECT_EQ(rcText.right, pEdit->GetPosition().right);
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, VerticalBar,
                         ::testing::Values(BarCase{L"", 30, true},
                                           BarCase{L"rich=\"false\"", 30, true},
                                           BarCase{L"autovscroll=\"true\"", 30, true},
                                           BarCase{L"", 1, false}));

class ScrollTo : public OneEditTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScrollTo, DraggingTheBarScrollsTheText) {
  CRichEditUI* pEdit = BuildEdit(L"vscrollbar=\"true\"");
  ASSERT_NE(pEdit, nullptr);
  pEdit->SetText(Repeat(L"line\r\n", 2000).c_str());
  Pump(150);
  auto* pBar = pEdit->GetVerticalScrollBar();
  ASSERT_TRUE(pBar->IsVisible());
  const int nPos = GetParam() < 0 ? pBar->GetScrollRange() : GetParam();
  pEdit->SetScrollPosition(SIZE{0, nPos});
  POINT pt = {0, 0};
  Ask(pEdit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pt));
  EXPECT_EQ(pBar->GetScrollValue(), nPos);
  EXPECT_EQ(pt.y, nPos);
}

INSTANTIATE_TEST_SUITE_P(Positions, ScrollTo, ::testing::Values(50, -1));

TEST_F(OneEditTest, TheWheelScrollsTheTextAndTheBar) {
  CRichEditUI* pEdit = BuildEdit(L"vscrollbar=\"true\"");
  ASSERT_NE(pEdit, nullptr);
  pEdit->SetText(Repeat(kPromptSentence, 30).c_str());
  Pump(150);
  POINT pt = {40, 40};
  ::ClientToScreen(m_hWnd, &pt);
  ::SetCursorPos(pt.x, pt.y);
  INPUT wheel = {};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
  ::SendInput(1, &wheel, sizeof(wheel));
  Pump();
  POINT ptScroll = {0, 0};
  Ask(pEdit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&ptScroll));
  EXPECT_GT(ptScroll.y, 0);
  EXPECT_EQ(pEdit->GetVerticalScrollBar()->GetScrollValue(), ptScroll.y);
}

TEST_F(OneEditTest, KeysTypeSelectAndReplaceText) {
  CRichEditUI* pEdit = BuildEdit();
  ASSERT_NE(pEdit, nullptr);
  ClickInto(pEdit);
  ASSERT_EQ(m_host.GetFocusControl(), pEdit);
  TypeText(L"hello 世界");
  EXPECT_STREQ(pEdit->GetText().GetData(), L"hello 世界");
  EXPECT_GT(CountEvents(L"textchanged"), 0);
  PressKey(VK_HOME);
  PressKey(VK_RIGHT, VK_SHIFT);
  PressKey(VK_END, VK_SHIFT);
  const CHARRANGE range = Selection(pEdit);
  EXPECT_EQ(range.cpMin, 0);
  EXPECT_EQ(range.cpMax, 8);
  TypeText(L"X");
  PressKey(VK_LEFT);
  PressKey(VK_BACK);
  PressKey(VK_END);
  TypeText(L"!");
  EXPECT_STREQ(pEdit->GetText().GetData(), L"X!");
}

TEST_F(OneEditTest, AReadOnlyEditRefusesInput) {
  CRichEditUI* pEdit = BuildEdit(L"readonly=\"true\" text=\"fixed\"");
  ASSERT_NE(pEdit, nullptr);
  ClickInto(pEdit);
  TypeText(L"abc");
  PressKey(VK_BACK);
  PressKey('V', VK_CONTROL);
  EXPECT_STREQ(pEdit->GetText().GetData(), L"fixed");
  EXPECT_TRUE(pEdit->IsReadOnly());
}

TEST_F(OneEditTest, TypingStopsAtTheLimit) {
  CRichEditUI* pEdit = BuildEdit();
  ASSERT_NE(pEdit, nullptr);
  pEdit->SetLimitText(5);
  ClickInto(pEdit);
  TypeText(L"1234567");
  EXPECT_STREQ(pEdit->GetText().GetData(), L"12345");
}

TEST_F(RichEditTest, CopyAndPasteCarryTheTextThroughTheClipboard) {
  // Plain text: a whole rich text pasted brings its final paragraph mark along.
  ASSERT_NE(BuildWindow(L"<VerticalLayout><RichEdit name=\"edit\" rich=\"false\"/>"
                        L"<RichEdit name=\"other\" rich=\"false\"/></VerticalLayout>"),
            nullptr);
  CRichEditUI* pEdit = RichEdit();
  CRichEditUI* pOther = RichEdit(L"other");
  const wchar_t kText[] = L"剪贴板 round trip";
  pEdit->SetText(kText);
  Click(POINT{10, 10});
  PressKey('A', VK_CONTROL);
  PressKey('C', VK_CONTROL);
  std::wstring clipboard;
  if (::OpenClipboard(m_hWnd)) {
    if (HANDLE hData = ::GetClipboardData(CF_UNICODETEXT)) {
      clipboard = static_cast<const wchar_t*>(::GlobalLock(hData));
      ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
  }
  EXPECT_EQ(clipboard, kText);
  const RECT rcOther = pOther->GetTextArea();
  Click(POINT{rcOther.left + 10, rcOther.top + 10});
  PressKey('V', VK_CONTROL);
  EXPECT_STREQ(pOther->GetText().GetData(), kText);
}

TEST_F(RichEditTest, ACaretScrolledOutOfViewIsNotDrawnOverTheControlsBelow) {
  // The skin's text, taken before the edit had a size, leaves the insertion point at its end.
  ASSERT_NE(BuildWindow(L"<VerticalLayout><RichEdit name=\"edit\" height=\"60\" text=\"" +
                        Repeat(L"the insertion point ends below ", 20) +
                        L"\"/><Control name=\"below\" bkcolor=\"#FF00FF00\"/></VerticalLayout>"),
            nullptr);
  ASSERT_EQ(m_host.GetFocusControl(), RichEdit());
  ASSERT_EQ(CaretWindow(), m_hWnd);
  const RECT rcBelow = m_host.FindControlByName(L"below")->GetPosition();
  // The caret blinks: look over more than one period.
  int nOtherPixels = 0;
  for (int i = 0; i < 4; ++i) {
    Pump(200);
    const testing_support::TestImage image = Capture();
    for (int y = rcBelow.top; y < rcBelow.bottom; ++y) {
      for (int x = rcBelow.left; x < rcBelow.right; ++x) {
        nOtherPixels += (image.at(x, y) & 0xFFFFFF) != 0x00FF00 ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(nOtherPixels, 0);
}

TEST_F(RichEditTest, APasswordEditShowsMaskCharactersOnly) {
  ASSERT_NE(BuildWindow(L"<VerticalLayout><Button name=\"first\" height=\"30\"/>"
                        L"<RichEdit name=\"edit\" password=\"true\" text=\"secret words\" "
                        L"height=\"40\"/><RichEdit name=\"stars\" text=\"************\" "
                        L"height=\"40\"/></VerticalLayout>"),
            nullptr);
  EXPECT_STREQ(RichEdit()->GetText().GetData(), L"secret words");
  const testing_support::TestImage image = Capture();
  const RECT rcPassword = RichEdit()->GetPosition();
  const RECT rcStars = RichEdit(L"stars")->GetPosition();
  int nDifferent = 0;
  for (int y = 0; y < rcPassword.bottom - rcPassword.top; ++y) {
    for (int x = rcPassword.left; x < rcPassword.right; ++x) {
      nDifferent += image.at(x, rcPassword.top + y) != image.at(x, rcStars.top + y) ? 1 : 0;
    }
  }
  EXPECT_EQ(nDifferent, 0);
}

TEST_F(RichEditTest, ALayeredWindowBlinksADrawnCaret) {
  m_host.SetLayered(true);
  ASSERT_NE(BuildWindow(L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><RichEdit name=\"edit\" "
                        L"text=\"caret\"/></VerticalLayout>"),
            nullptr);
  ASSERT_EQ(m_host.GetFocusControl(), RichEdit());
  const POINT ptCaret = RichEdit()->GetTextHost()->GetCaretPosition();
  const POINT ptMiddle = {ptCaret.x, ptCaret.y + RichEdit()->GetTextHost()->GetCaretHeight() / 2};
  bool bSeenCaret = false;
  bool bSeenGap = false;
  for (int i = 0; i < 12; ++i) {
    Pump(100);
    const uint32_t pixel = OffscreenPixel(ptMiddle);
    bSeenCaret |= pixel == 0xFF000000;
    bSeenGap |= pixel == 0xFFFFFFFF;
  }
  EXPECT_TRUE(bSeenCaret);
  EXPECT_TRUE(bSeenGap);
}

struct TabCase {
  bool wantTab;
  const wchar_t* expectedText;
  const wchar_t* expectedFocus;
};

class TabKey : public OneEditTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabKey, GoesIntoTheTextOnlyWhenTheEditWantsIt) {
  CRichEditUI* pEdit = BuildEdit(GetParam().wantTab ? L"" : L"wanttab=\"false\"");
  ASSERT_NE(pEdit, nullptr);
  ClickInto(pEdit);
  PressKey(VK_TAB);
  EXPECT_STREQ(pEdit->GetText().GetData(), GetParam().expectedText);
  ASSERT_NE(m_host.GetFocusControl(), nullptr);
  EXPECT_STREQ(m_host.GetFocusControl()->GetName().GetData(), GetParam().expectedFocus);
}

INSTANTIATE_TEST_SUITE_P(WantTab, TabKey,
                         ::testing::Values(TabCase{true, L"\t", L"edit"},
                                           TabCase{false, L"", L"next"}));

struct ReturnCase {
  const wchar_t* attributes;
  bool withCtrl;
  bool notified;
};

class ReturnKey : public OneEditTest, public ::testing::WithParamInterface<ReturnCase> {};

TEST_P(ReturnKey, IsEitherANewLineOrAReturnNotification) {
  CRichEditUI* pEdit = BuildEdit(GetParam().attributes);
  ASSERT_NE(pEdit, nullptr);
  ClickInto(pEdit);
  PressKey(VK_RETURN, GetParam().withCtrl ? VK_CONTROL : 0);
  EXPECT_EQ(CountEvents(L"return"), GetParam().notified ? 1 : 0);
  EXPECT_EQ(pEdit->GetText().IsEmpty(), GetParam().notified);
}

INSTANTIATE_TEST_SUITE_P(
    WantReturn, ReturnKey,
    ::testing::Values(ReturnCase{L"", false, false},
                      ReturnCase{L"wantreturn=\"false\"", false, true},
                      ReturnCase{L"wantctrlreturn=\"false\"", true, true},
                      ReturnCase{L"wantctrlreturn=\"false\"", false, false}));

TEST_F(OneEditTest, SkinAttributesReachTheEngine) {
  CRichEditUI* pEdit = BuildEdit(L"vscrollbar=\"true\" textcolor=\" #FF112233\" align=\"right\"");
  ASSERT_NE(pEdit, nullptr);
  ASSERT_NE(pEdit->GetTextHost(), nullptr);
  CHARFORMAT2W cf = {};
  cf.cbSize = sizeof(cf);
  Ask(pEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  EXPECT_EQ(cf.crTextColor, RGB(0x11, 0x22, 0x33));
  DWORD dwScrollBars = 0;
  pEdit->GetTextHost()->TxGetScrollBars(&dwScrollBars);
  EXPECT_EQ(dwScrollBars, static_cast<DWORD>(WS_VSCROLL | ES_DISABLENOSCROLL));
  EXPECT_NE(pEdit->GetVerticalScrollBar(), nullptr);
  PARAFORMAT2 pf = {};
  pf.cbSize = sizeof(pf);
  Ask(pEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_EQ(pf.wAlignment, PFA_RIGHT);
}

TEST_F(OneEditTest, FreeingTheControlLeavesNoTextHostBehind) {
  const LONG nBefore = SkinUI::CTxtWinHost::LiveObjects();
  CRichEditUI* pEdit = BuildEdit();
  ASSERT_NE(pEdit, nullptr);
  SkinUI::CTxtWinHost* pTwh = pEdit->GetTextHost();
  ASSERT_NE(pTwh, nullptr);
  EXPECT_EQ(SkinUI::CTxtWinHost::LiveObjects(), nBefore + 1);
  IUnknown* pUnknown = nullptr;
  ASSERT_EQ(pTwh->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnknown)), S_OK);
  EXPECT_EQ(pUnknown->Release(), 1u) << "only the control should hold the host";
  ClickInto(pEdit);
  TypeText(L"typed");
  static_cast<SkinUI::CContainerUI*>(pEdit->GetParent())->RemoveItem(pEdit);
  Pump();
  EXPECT_EQ(SkinUI::CTxtWinHost::LiveObjects(), nBefore);
}

TEST(TextServicesLibrary, ExportsTheInterfaceIdTheHostAsksFor) {
  ASSERT_NE(SkinUI::text_services::Factory(), nullptr);
  const IID* pIid = SkinUI::text_services::ExportedTextServicesIid();
  ASSERT_NE(pIid, nullptr);
  EXPECT_TRUE(::IsEqualIID(*pIid, SkinUI::text_services::kTextServicesIid));
  EXPECT_NE(SkinUI::text_services::ExportedTextHostIid(), nullptr);
}

// The uninstall prompt's text area as its skin declares it, with a text long enough to scroll.
TEST_F(RichEditTest, TheUninstallPromptTextPaintsWrappedWithItsBar) {
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 556, 199, SWP_NOMOVE | SWP_NOZORDER);
  const std::wstring markup =
      L"<Font id=\"0\" name=\"微软雅黑\" size=\"16\" bold=\"false\" italic=\"false\"/>"
      L"<Default name=\"VScrollBar\" value=\"thumbcolor=&quot;#FFC8C8C8&quot; "
      L"button1color=&quot;#FFE4E4E4&quot; button2color=&quot;#FFE4E4E4&quot;\"/>"
      L"<VerticalLayout><HorizontalLayout height=\"38\" bkcolor=\"#FF2B7BD6\"/>"
      L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><HorizontalLayout height=\"20\"/>"
      L"<HorizontalLayout inset=\"20,2,20,2\"><RichEdit name=\"main_txt\" text=\"" +
      Repeat(kPromptSentence, 4) +
      L"\" vscrollbar=\"true\" bkcolor=\"#FFFFFFFF\" textcolor=\"#00666666\" "
      L"disabledtextcolor=\"#FFA7A6AA\" font=\"0\" align=\"wrap\"/></HorizontalLayout>"
      L"<HorizontalLayout height=\"50\"/></VerticalLayout></VerticalLayout>";
  ASSERT_NE(BuildWindow(markup), nullptr);
  CRichEditUI* pEdit = RichEdit(L"main_txt");
  ASSERT_NE(pEdit, nullptr);
  Pump(200);
  ASSERT_TRUE(pEdit->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(pEdit->GetText().GetData(), Repeat(kPromptSentence, 4));
  EXPECT_EQ(CountEvents(L"textchanged"), 0) << "the skin's own text is no change";

  const testing_support::TestImage image = Capture();
  const std::string png = testing_support::EncodePng(image, false);
  if (FILE* pFile = std::fopen("richedit_uninstall_text.png", "wb")) {
    std::fwrite(png.data(), 1, png.size(), pFile);
    std::fclose(pFile);
  }
  // Grey text on white inside the text area, the bar's grey at its right.
  const RECT rcText = pEdit->GetTextArea();
  int nTextPixels = 0;
  for (int y = rcText.top; y < rcText.bottom; ++y) {
    for (int x = rcText.left; x < rcText.right; ++x) {
      const uint32_t rgb = image.at(x, y) & 0xFFFFFF;
      nTextPixels += rgb != 0xFFFFFF && (rgb & 0xFF) == ((rgb >> 16) & 0xFF) ? 1 : 0;
    }
  }
  EXPECT_GT(nTextPixels, 200);
  const RECT rcBar = pEdit->GetVerticalScrollBar()->GetPosition();
  EXPECT_EQ(rcBar.left, rcText.right);
  EXPECT_EQ(image.at(rcBar.left + 8, rcBar.bottom - 8) & 0xFFFFFF, 0xE4E4E4u);
}

}  // namespace
}  // namespace rich_edit_testing

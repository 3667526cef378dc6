// The uninstall prompt with the real skin archive, driven with real input from a timer inside
// its own modal loop: the answer each way out of it gives, that nothing but a click decides,
// and the question it shows with the two versions.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Control/UILabel.h"
#include "InstallerWindowFixture.h"
#include "support/RealInput.h"
#include "windows/UninstallPrompt.h"

namespace installer_window_testing {
namespace {

using testing_support::ScreenPoint;

constexpr wchar_t kSkinQuestion[] =
    L"Quillmere企业云盘已经安装，如果您需要升级请点击“确认”，此过程可能需要几分钟的时间。否则，请点击“取消”。";
constexpr UINT kTickMs = 50;

struct PromptVisit;
// One part of what the user does; called on every tick until it answers true.
using Gesture = std::function<bool(PromptVisit&)>;

// What the timer saw of the prompt while it was up.
struct PromptVisit {
  HWND hOwner = nullptr;
  HWND hPrompt = nullptr;
  SkinUI::CWindowHostUI* pHost = nullptr;
  std::vector<Gesture> gestures;
  size_t next = 0;
  int ticks = 0;  // of the current gesture
  bool openAfterGestures = false;
  std::wstring focusAfterGestures;
  std::wstring text;
  bool textFits = false;

  SkinUI::CControlUI* Find(const wchar_t* name) const { return pHost->FindControlByName(name); }
  POINT Centre(const wchar_t* name) const {
    const RECT rc = Find(name)->GetPosition();
    return ScreenPoint(hPrompt, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  }
};
PromptVisit* g_pVisit = nullptr;

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
  PromptVisit& visit = *g_pVisit;
  if (visit.pHost == nullptr) {
    visit.hPrompt = FindInstallerWindowOwnedBy(visit.hOwner);
    if (visit.hPrompt == nullptr || !::IsWindowVisible(visit.hPrompt)) return;
    SkinUI::WindowImplBase* pWindow = InstallerWindowOf(visit.hPrompt);
    if (pWindow == nullptr) return;
    visit.pHost = &pWindow->GetWindowHost();
  }
  if (visit.next >= visit.gestures.size() || !::IsWindow(visit.hPrompt)) return;
  if (visit.gestures[visit.next](visit)) {
    ++visit.next;
    visit.ticks = 0;
  } else {
    ++visit.ticks;
  }
}

// ---- gestures ----

Gesture Click(const wchar_t* name) {
  return [name](PromptVisit& visit) {
    testing_support::ClickMouse(visit.Centre(name));
    return true;
  };
}

Gesture Hover(const wchar_t* name) {
  return [name](PromptVisit& visit) {
    testing_support::MoveMouse(visit.Centre(name));
    return true;
  };
}

// A press on the button, moved into the white body above the buttons and released there.
Gesture PressDraggedOff(const wchar_t* name) {
  return [name](PromptVisit& visit) {
    testing_support::DragMouse(visit.Centre(name), ScreenPoint(visit.hPrompt, 200, 130));
    return true;
  };
}

// Shift+Tab until the button has the focus.
Gesture ShiftTabOnto(const wchar_t* name) {
  return [name](PromptVisit& visit) {
    if (visit.pHost->GetFocusControl() == visit.Find(name)) return true;
    if (visit.ticks % 4 == 0) testing_support::SendKeyPress(VK_TAB, VK_SHIFT);
    return visit.ticks > 40;
  };
}

Gesture Keys(WORD wKey, WORD wModifier = 0) {
  return [wKey, wModifier](PromptVisit&) {
    testing_support::SendKeyPress(wKey, wModifier);
    return true;
  };
}

// The label's whole text, wrapped as it draws it, fits inside its text area.
bool TextFits(SkinUI::CWindowHostUI* pHost, SkinUI::CLabelUI* pLabel) {
  if (pLabel == nullptr) return false;
  const RECT rcItem = pLabel->GetPosition();
  const RECT rcPadding = pLabel->GetTextPadding();
  RECT rcText = {rcItem.left + rcPadding.left, rcItem.top + rcPadding.top, rcItem.right - rcPadding.right,
                 rcItem.bottom - rcPadding.bottom};
  const LONG cyAvailable = rcText.bottom - rcText.top;
  HDC hDC = ::GetDC(pHost->GetHostWindow());
  const HGDIOBJ hOld = ::SelectObject(hDC, pHost->LookupFont(pLabel->GetFont()));
  const SkinUI::CUIString sText = pLabel->GetText();
  ::DrawTextW(hDC, sText, -1, &rcText, pLabel->GetTextStyle() | DT_CALCRECT | DT_NOPREFIX);
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(pHost->GetHostWindow(), hDC);
  return rcText.bottom - rcText.top <= cyAvailable && rcText.right <= rcItem.right - rcPadding.right;
}

// Lets the input queued so far arrive, then notes what the prompt shows.
Gesture Look() {
  return [](PromptVisit& visit) {
    if (visit.ticks < 400 / static_cast<int>(kTickMs)) return false;
    visit.openAfterGestures = ::IsWindowVisible(visit.hPrompt) != FALSE;
    SkinUI::CControlUI* pFocus = visit.pHost->GetFocusControl();
    visit.focusAfterGestures = pFocus != nullptr ? pFocus->GetName().GetData() : L"";
    SkinUI::CControlUI* pText = visit.Find(L"main_txt");
    visit.text = pText->GetText().GetData();
    visit.textFits = TextFits(visit.pHost, static_cast<SkinUI::CLabelUI*>(pText->QueryNamedInterface(L"Label")));
    return true;
  };
}

// A hidden top-level window standing in for the main window, hidden as it is while the
// prompt asks.
class HiddenOwner {
 public:
  HiddenOwner() {
    m_hWnd = ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 200, 200, 620, 240, nullptr, nullptr, nullptr,
                               nullptr);
  }
  ~HiddenOwner() { ::DestroyWindow(m_hWnd); }
  HWND hwnd() const { return m_hWnd; }

 private:
  HWND m_hWnd = nullptr;
};

// Shows the prompt, runs the gestures in its modal loop; the prompt's answer.
int RunPrompt(PromptVisit& visit, const std::wstring& installed = L"2.0.1.4",
              const std::wstring& published = L"2.0.1.5") {
  HiddenOwner owner;
  visit.hOwner = owner.hwnd();
  g_pVisit = &visit;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, Drive);
  const int answer = ShowUninstallPrompt(owner.hwnd(), installed, published);
  ::KillTimer(nullptr, timer);
  g_pVisit = nullptr;
  return answer;
}

struct WayOut {
  const char* label;
  std::vector<Gesture> gestures;
  int answer;
  const wchar_t* focusBeforeAnswer;  // while the prompt is still up; null: not looked at
};

class UninstallPromptAnswers : public InstallerWindowTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(UninstallPromptAnswers, AnswerTheWayTheUserLeftIt) {
  PromptVisit visit;
  visit.gestures = GetParam().gestures;
  const int answer = RunPrompt(visit);
  ASSERT_NE(visit.hPrompt, nullptr) << "no prompt came up";
  EXPECT_EQ(visit.next, visit.gestures.size()) << "the prompt went before the user was done";
  EXPECT_EQ(answer, GetParam().answer);
  EXPECT_FALSE(::IsWindow(visit.hPrompt));
  if (GetParam().focusBeforeAnswer != nullptr) {
    EXPECT_TRUE(visit.openAfterGestures) << "something other than a click decided";
    EXPECT_EQ(visit.focusAfterGestures, GetParam().focusBeforeAnswer) << "the gesture did not land where meant";
    EXPECT_EQ(visit.text.find(L'x'), std::wstring::npos) << "the question took typed text";
  }
}

const WayOut kWaysOut[] = {
    {"ConfirmButton", {Click(L"btn_ok")}, 1, nullptr},
    {"CancelButton", {Click(L"btn_cancle")}, 2, nullptr},
    {"CloseButton", {Click(L"closebtn")}, 2, nullptr},
    {"SystemClose", {Keys(VK_F4, VK_MENU)}, 0, nullptr},
    {"ReturnOnTheFocusedConfirmButton", {ShiftTabOnto(L"btn_ok"), Keys(VK_RETURN)}, 1, nullptr},
    // The prompt opens on the choice that changes nothing.
    {"ReturnRightAfterItOpens", {Keys(VK_RETURN)}, 2, nullptr},
    {"SpaceRightAfterItOpens", {Keys(VK_SPACE)}, 2, nullptr},
    // Each of these leaves the prompt up; the system close that follows answers 0.
    {"HoverOverTheConfirmButton", {Hover(L"btn_ok"), Look(), Keys(VK_F4, VK_MENU)}, 0, L"btn_cancle"},
    {"TabOntoTheConfirmButton", {ShiftTabOnto(L"btn_ok"), Look(), Keys(VK_F4, VK_MENU)}, 0, L"btn_ok"},
    {"PressDraggedOffTheConfirmButton", {PressDraggedOff(L"btn_ok"), Look(), Keys(VK_F4, VK_MENU)}, 0, L"btn_ok"},
    // The question is plain text: a click on it leaves the focus on the cancel button, typing
    // changes nothing, and Tab goes on from there.
    {"TypingIntoTheQuestionThenTab", {Click(L"main_txt"), Keys('X'), Keys(VK_TAB), Look(), Keys(VK_F4, VK_MENU)}, 0,
     L"closebtn"},
    {"PressDraggedOffTheCancelButton", {PressDraggedOff(L"btn_cancle"), Look(), Keys(VK_F4, VK_MENU)}, 0,
     L"btn_cancle"},
};

INSTANTIATE_TEST_SUITE_P(WaysOut, UninstallPromptAnswers, ::testing::ValuesIn(kWaysOut),
                         [](const ::testing::TestParamInfo<WayOut>& info) { return std::string(info.param.label); });

struct Versions {
  const char* label;
  const wchar_t* installed;
  const wchar_t* published;
  const wchar_t* line;  // below the skin's question; null: the question alone
};

class UninstallPromptQuestion : public InstallerWindowTest, public ::testing::WithParamInterface<Versions> {};

TEST_P(UninstallPromptQuestion, NamesTheVersionsBelowTheSkinsQuestionWithoutScrolling) {
  PromptVisit visit;
  visit.gestures = {Look(), Click(L"btn_cancle")};
  EXPECT_EQ(RunPrompt(visit, GetParam().installed, GetParam().published), 2);
  const std::wstring expected =
      GetParam().line != nullptr ? std::wstring(kSkinQuestion) + L"\r\n" + GetParam().line : kSkinQuestion;
  EXPECT_EQ(visit.text, expected);
  EXPECT_TRUE(visit.textFits) << "the question and the versions fit the text area";
}

INSTANTIATE_TEST_SUITE_P(
    FromTheCaller, UninstallPromptQuestion,
    ::testing::Values(Versions{"Both", L"2.0.1.4", L"2.0.1.5", L"已安装版本：2.0.1.4，最新版本：2.0.1.5"},
                      Versions{"OnlyInTheUninstallList", L"", L"2.0.1.5", L"最新版本：2.0.1.5"},
                      Versions{"NoneKnown", L"", L"", nullptr},
                      // A registry value is anything: no line break of its own, no endless line.
                      Versions{"UnruledRegistryValue", L"2.0\r\n.1.4", L"2.0.1.5.0123456789012345678901234567890123",
                               L"已安装版本：2.0.1.4，最新版本：2.0.1.5.0123456789012345678901234567890…"}),
    [](const ::testing::TestParamInfo<Versions>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace installer_window_testing

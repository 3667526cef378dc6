// The window host's input handling on a real window: mouse, keyboard, focus, control timers,
// message filters and notifications, driven by messages sent and posted to the window.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "HostPaintFixture.h"

namespace {

using SkinUI::CControlUI;
using SkinUI::InputEvent;
using SkinUI::NotifyEvent;

struct SeenEvent {
  std::wstring control;
  int iKind;
  POINT pt;
  WPARAM wParam;
  WCHAR chKey;
};

// Records every input event it is handed, then lets the control base handle it.
class Probe : public CControlUI {
 public:
  Probe(std::vector<SeenEvent>* pLog, const wchar_t* pstrName, UINT uFlags = 0)
      : m_pLog(pLog), m_uFlags(uFlags) {
    SetName(pstrName);
  }
  UINT GetBehaviourFlags() const override { return m_uFlags; }
  void DispatchEvent(InputEvent& event) override {
    m_pLog->push_back(
        {GetName().GetData(), event.iKind, event.ptMouse, event.wParam, event.chKey});
    if (m_onEvent && m_onEvent(event.iKind)) return;  // the hook destroyed this control
    CControlUI::DispatchEvent(event);
  }
  // Answers true when it destroyed the control.
  std::function<bool(int)> m_onEvent;
  bool Activate() override {
    ++m_nActivated;
    return true;
  }
  int m_nActivated = 0;

 private:
  std::vector<SeenEvent>* m_pLog;
  UINT m_uFlags;
};

class LabelProbe : public Probe {
 public:
  using Probe::Probe;
  LPCWSTR ClassName() const override { return L"LabelUI"; }
};

// Just enough of a container for the host's searches: owns its children, hands them the host
// and searches them the way containers do.
class Panel : public Probe {
 public:
  using Probe::Probe;
  ~Panel() override {
    for (CControlUI* pChild : m_children) delete pChild;
  }
  void Destroy(CControlUI* pChild) {
    m_children.erase(std::find(m_children.begin(), m_children.end(), pChild));
    delete pChild;
  }
  template <class T>
  T* Add(T* pChild, RECT rc) {
    m_children.push_back(pChild);
    pChild->SetPosition(rc, false);
    return pChild;
  }
  void SetHost(SkinUI::CWindowHostUI* pHost, CControlUI* pParent, bool bInit) override {
    CControlUI::SetHost(pHost, pParent, bInit);
    for (CControlUI* pChild : m_children) pChild->SetHost(pHost, this, bInit);
  }
  CControlUI* FindControl(SkinUI::FindControlProc Proc, LPVOID pData, UINT uFlags) override {
    if ((uFlags & SkinUI::kFindVisible) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & SkinUI::kFindEnabled) != 0 && !IsEnabled()) return nullptr;
    if ((uFlags & SkinUI::kFindHitTest) != 0 &&
        !::PtInRect(&GetPosition(), *static_cast<POINT*>(pData))) {
      return nullptr;
    }
    const bool bMeFirst = (uFlags & SkinUI::kFindMeFirst) != 0;
    if (bMeFirst) {
      if (CControlUI* pSelf = CControlUI::FindControl(Proc, pData, uFlags)) return pSelf;
    }
    const int n = static_cast<int>(m_children.size());
    const bool bTopFirst = (uFlags & SkinUI::kFindTopFirst) != 0;
    for (int i = 0; i < n; ++i) {
      CControlUI* pChild = m_children[bTopFirst ? n - 1 - i : i];
      if (CControlUI* pFound = pChild->FindControl(Proc, pData, uFlags)) return pFound;
    }
    return bMeFirst ? nullptr : CControlUI::FindControl(Proc, pData, uFlags);
  }

 private:
  std::vector<CControlUI*> m_children;
};

struct SeenNotification {
  std::wstring type;
  CControlUI* pSender;
  WPARAM wParam;
};

class HostInputTest : public host_paint_testing::HostPaintTest {
 protected:
  static const RECT kLeft;
  static const RECT kRight;

  void SetUp() override {
    HostPaintTest::SetUp();
    m_pRoot = new Panel(&m_seen, L"root");
  }

  void Notify(NotifyEvent& event) override {
    m_notes.push_back({event.sType.GetData(), event.pSender, event.wParam});
  }

  // Attaches the tree and runs the first paint, which lays it out and moves the focus in.
  void AttachAndPaint() {
    m_host.AttachRoot(m_pRoot);
    PaintPending();
    m_seen.clear();
    m_notes.clear();
  }
  LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
  }
  void Mouse(UINT uMsg, int x, int y, WPARAM wParam = 0) { Send(uMsg, wParam, MAKELPARAM(x, y)); }
  bool PreTranslateKey(UINT uMsg, WPARAM wParam) {
    MSG msg = {m_hWnd, uMsg, wParam, 0, 0, {0, 0}};
    return SkinUI::CWindowHostUI::TranslateForHosts(&msg);
  }
  void SetShiftDown(bool bDown) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = bDown ? 0x80 : 0;
    ::SetKeyboardState(keys);
  }
  // Delivers what was posted to the window (queued notifications, delayed deletions, timers).
  void DeliverPosted() { PumpFor(60); }

  std::vector<std::wstring> SeenBy(const wchar_t* pstrControl) const {
    std::vector<std::wstring> kinds;
    for (const SeenEvent& e : m_seen) {
      if (e.control == pstrControl) kinds.push_back(KindName(e.iKind));
    }
    return kinds;
  }
  static std::wstring KindName(int iKind) {
    switch (iKind) {
      case SkinUI::kEventMouseMove: return L"move";
      case SkinUI::kEventMouseLeave: return L"leave";
      case SkinUI::kEventMouseEnter: return L"enter";
      case SkinUI::kEventMouseHover: return L"hover";
      case SkinUI::kEventButtonDown: return L"down";
      case SkinUI::kEventButtonUp: return L"up";
      case SkinUI::kEventRightButtonDown: return L"rdown";
      case SkinUI::kEventRightButtonUp: return L"rup";
      case SkinUI::kEventDoubleClick: return L"dblclick";
      case SkinUI::kEventScrollWheel: return L"wheel";
      case SkinUI::kEventSetFocus: return L"setfocus";
      case SkinUI::kEventKillFocus: return L"killfocus";
      case SkinUI::kEventKeyDown: return L"keydown";
      case SkinUI::kEventKeyUp: return L"keyup";
      case SkinUI::kEventChar: return L"char";
      case SkinUI::kEventSysKey: return L"syskey";
      case SkinUI::kEventTimer: return L"timer";
      default: return std::to_wstring(iKind);
    }
  }
  std::vector<std::wstring> NotesOf(const wchar_t* pstrType) const {
    std::vector<std::wstring> senders;
    for (const SeenNotification& n : m_notes) {
      if (n.type == pstrType) senders.push_back(n.pSender ? n.pSender->GetName().GetData() : L"");
    }
    return senders;
  }

  Panel* m_pRoot = nullptr;
  std::vector<SeenEvent> m_seen;
  std::vector<SeenNotification> m_notes;
};

const RECT HostInputTest::kLeft = {10, 10, 50, 40};
const RECT HostInputTest::kRight = {60, 10, 110, 40};

typedef std::vector<std::wstring> Kinds;

TEST_F(HostInputTest, PressAndReleaseReachTheSameControlWhileTheMouseWanders) {
  m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  m_pRoot->Add(new Probe(&m_seen, L"b"), kRight);
  AttachAndPaint();

  Mouse(WM_MOUSEMOVE, 20, 20);
  Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  EXPECT_TRUE(m_host.IsMouseCaptured());
  Mouse(WM_MOUSEMOVE, 70, 20, MK_LBUTTON);  // over b, still pressed on a
  Mouse(WM_LBUTTONUP, 70, 20);
  EXPECT_FALSE(m_host.IsMouseCaptured());
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"enter", L"move", L"setfocus", L"down", L"move", L"up"}));
  EXPECT_TRUE(SeenBy(L"b").empty()) << "hover stays while the mouse is captured";
  EXPECT_EQ(NotesOf(L"setfocus"), (std::vector<std::wstring>{L"a"}));
  EXPECT_EQ(m_seen.back().pt.x, 70) << "the release carries where it happened";

  // Free of the capture, the next move hands the hover over.
  m_seen.clear();
  Mouse(WM_MOUSEMOVE, 71, 21);
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"leave"}));
  EXPECT_EQ(SeenBy(L"b"), (Kinds{L"enter", L"move"}));
  EXPECT_EQ(m_host.GetLastMousePoint().x, 71);
  EXPECT_EQ(m_host.GetLastMousePoint().y, 21);
}

TEST_F(HostInputTest, AControlDestroyedWhileTakingTheFocusLeavesTheMouseFree) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  m_pRoot->Add(new Probe(&m_seen, L"b"), kRight);
  AttachAndPaint();
  pA->m_onEvent = [this, pA](int iKind) {
    if (iKind != SkinUI::kEventSetFocus) return false;
    m_pRoot->Destroy(pA);
    return true;
  };
  Mouse(WM_MOUSEMOVE, 20, 20);
  Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  EXPECT_FALSE(m_host.IsMouseCaptured());
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  EXPECT_TRUE(NotesOf(L"setfocus").empty()) << "no notification names a destroyed control";
  Mouse(WM_MOUSEMOVE, 70, 20);
  Mouse(WM_LBUTTONUP, 70, 20);
  EXPECT_EQ(SeenBy(L"b"), (Kinds{L"enter", L"move"})) << "hover moves on, no stray release";
}

TEST_F(HostInputTest, HoverSkipsControlsDestroyedByLeaveOrEnterHandlers) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  Probe* pB = m_pRoot->Add(new Probe(&m_seen, L"b"), kRight);
  AttachAndPaint();
  Mouse(WM_MOUSEMOVE, 20, 20);
  pA->m_onEvent = [this, pB](int iKind) {
    if (iKind == SkinUI::kEventMouseLeave) m_pRoot->Destroy(pB);
    return false;
  };
  m_seen.clear();
  Mouse(WM_MOUSEMOVE, 70, 20);  // where b was
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"leave"}));
  EXPECT_TRUE(SeenBy(L"b").empty());
  EXPECT_EQ(SeenBy(L"root"), (Kinds{L"enter", L"move"})) << "what is under the mouse now";

  Probe* pC = m_pRoot->Add(new Probe(&m_seen, L"c"), kLeft);
  pC->SetHost(&m_host, m_pRoot, false);
  pC->m_onEvent = [this, pC](int iKind) {
    if (iKind != SkinUI::kEventMouseEnter) return false;
    m_pRoot->Destroy(pC);
    return true;
  };
  m_seen.clear();
  Mouse(WM_MOUSEMOVE, 21, 21);  // c lies over a
  EXPECT_EQ(SeenBy(L"c"), (Kinds{L"enter"})) << "no move reaches a control destroyed on entry";
  m_seen.clear();
  Mouse(WM_MOUSEMOVE, 22, 22);
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"enter", L"move"}));
}

TEST_F(HostInputTest, RightButtonAndDoubleClickGoToTheControlUnderTheMouse) {
  m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();

  Mouse(WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
  EXPECT_FALSE(m_host.IsMouseCaptured()) << "the right button does not capture";
  Mouse(WM_RBUTTONUP, 30, 30);
  Mouse(WM_LBUTTONDBLCLK, 20, 20, MK_LBUTTON | MK_SHIFT);
  Mouse(WM_LBUTTONUP, 20, 20);
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"setfocus", L"rdown", L"rup", L"dblclick", L"up"}));
  EXPECT_EQ(m_seen[3].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));

  // Over no child the root itself is the control under the mouse; outside everything nothing.
  m_seen.clear();
  Mouse(WM_LBUTTONDOWN, -5, -5);
  Mouse(WM_LBUTTONUP, -5, -5);
  EXPECT_TRUE(m_seen.empty());
}

TEST_F(HostInputTest, WheelTowardsTheUserSaysOneAndHoverFollows) {
  m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();

  POINT pt = {20, 20};
  ::ClientToScreen(m_hWnd, &pt);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(pt.x, pt.y));
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
  std::vector<WPARAM> wheel;
  for (const SeenEvent& e : m_seen) {
    if (e.iKind == SkinUI::kEventScrollWheel) wheel.push_back(e.wParam);
  }
  EXPECT_EQ(wheel, (std::vector<WPARAM>{1, 0}));
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"wheel", L"enter", L"move", L"wheel", L"move"}));
  EXPECT_EQ(m_host.GetLastMousePoint().x, 20);
}

TEST_F(HostInputTest, LeavingTheWindowEndsTheHover) {
  m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();

  ::SetCursorPos(600, 500);  // well away from the window
  Mouse(WM_MOUSEMOVE, 20, 20);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"enter", L"move", L"leave"}));
  EXPECT_EQ(m_host.GetLastMousePoint().x, -1);
  EXPECT_EQ(m_host.GetLastMousePoint().y, -1);
}

TEST_F(HostInputTest, ClosingTheWindowReleasesHoverPressAndFocus) {
  m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();

  Mouse(WM_MOUSEMOVE, 20, 20);
  Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  m_seen.clear();
  LRESULT lRes = 0;
  EXPECT_FALSE(m_host.HandleWindowMessage(WM_CLOSE, 0, 0, lRes)) << "the window still closes";
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"leave", L"up", L"killfocus"}));
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  EXPECT_FALSE(m_host.IsMouseCaptured()) << "a refused close leaves the mouse free";
}

TEST_F(HostInputTest, TabWalksTheTabStopsAndWrapsAtBothEnds) {
  m_pRoot->Add(new Probe(&m_seen, L"t1", 1), RECT{0, 0, 10, 10});
  m_pRoot->Add(new Probe(&m_seen, L"plain"), RECT{10, 0, 20, 10});
  m_pRoot->Add(new Probe(&m_seen, L"t2", 1), RECT{20, 0, 30, 10});
  Probe* pHidden = m_pRoot->Add(new Probe(&m_seen, L"hidden", 1), RECT{30, 0, 40, 10});
  m_pRoot->Add(new Probe(&m_seen, L"t3", 1), RECT{40, 0, 50, 10});
  pHidden->SetVisible(false);
  m_host.AttachRoot(m_pRoot);
  PaintPending();
  ASSERT_NE(m_host.GetFocusControl(), nullptr) << "the first paint moves the focus in";
  EXPECT_EQ(m_host.GetFocusControl()->GetName(), L"t1");

  SetShiftDown(false);
  std::vector<std::wstring> forward;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(PreTranslateKey(WM_KEYDOWN, VK_TAB));
    forward.push_back(m_host.GetFocusControl()->GetName().GetData());
  }
  EXPECT_EQ(forward, (std::vector<std::wstring>{L"t2", L"t3", L"t1"}));

  SetShiftDown(true);
  std::vector<std::wstring> backward;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(PreTranslateKey(WM_KEYDOWN, VK_TAB));
    backward.push_back(m_host.GetFocusControl()->GetName().GetData());
  }
  SetShiftDown(false);
  EXPECT_EQ(backward, (std::vector<std::wstring>{L"t3", L"t2", L"t1"}));
  EXPECT_EQ(NotesOf(L"killfocus").size(), 6u);
  EXPECT_EQ(NotesOf(L"setfocus").size(), 7u);
}

TEST_F(HostInputTest, TabWithoutAnyTabStopLeavesTheFocusAlone) {
  m_pRoot->Add(new Probe(&m_seen, L"plain"), kLeft);
  AttachAndPaint();
  EXPECT_TRUE(PreTranslateKey(WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  EXPECT_TRUE(m_notes.empty());
}

TEST_F(HostInputTest, InitialFocusLandsOnTheRequestedControlAfterTheLayout) {
  m_pRoot->Add(new Probe(&m_seen, L"t1", 1), RECT{0, 0, 10, 10});
  Probe* pSecond = m_pRoot->Add(new Probe(&m_seen, L"t2", 1), RECT{20, 0, 30, 10});
  m_pRoot->Add(new Probe(&m_seen, L"t3", 1), RECT{40, 0, 50, 10});
  AttachAndPaint();
  m_host.RequestInitialFocus(pSecond);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  PaintPending();
  ASSERT_NE(m_host.GetFocusControl(), nullptr);
  EXPECT_EQ(m_host.GetFocusControl(), pSecond);
  EXPECT_EQ(SeenBy(L"t2"), (Kinds{L"setfocus"}));
}

TEST_F(HostInputTest, AFocusDestroyedWhileAnInitialFocusIsRequestedIsNamedByNoNotification) {
  Probe* pFirst = m_pRoot->Add(new Probe(&m_seen, L"t1", 1), RECT{0, 0, 10, 10});
  Probe* pSecond = m_pRoot->Add(new Probe(&m_seen, L"t2", 1), RECT{20, 0, 30, 10});
  AttachAndPaint();
  ASSERT_EQ(m_host.GetFocusControl(), pFirst);
  pFirst->m_onEvent = [this, pFirst](int iKind) {
    if (iKind != SkinUI::kEventKillFocus) return false;
    m_pRoot->Destroy(pFirst);
    return true;
  };
  m_host.RequestInitialFocus(pSecond);
  EXPECT_TRUE(NotesOf(L"killfocus").empty()) << "no notification names a destroyed control";
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  PaintPending();
  EXPECT_EQ(m_host.GetFocusControl(), pSecond);
}

TEST_F(HostInputTest, KeysGoToTheFocusAndTheReleaseToWhoeverGotThePress) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a", 1), kLeft);
  Probe* pB = m_pRoot->Add(new Probe(&m_seen, L"b", 1), kRight);
  AttachAndPaint();
  ASSERT_EQ(m_host.GetFocusControl(), pA) << "the first Tab stop has the focus";
  Send(WM_KEYDOWN, 'Q', 0);
  Send(WM_CHAR, L'q', 0);
  m_host.SetFocusControl(pB);
  Send(WM_KEYUP, 'Q', 0);
  Send(WM_CHAR, L'r', 0);
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"keydown", L"char", L"killfocus", L"keyup"}));
  EXPECT_EQ(SeenBy(L"b"), (Kinds{L"setfocus", L"char"}));
  EXPECT_EQ(m_seen[0].chKey, L'Q');
  EXPECT_EQ(m_seen.back().chKey, L'r');

  // Alt+key is offered to the focus control and left for the window to handle.
  m_seen.clear();
  EXPECT_FALSE(PreTranslateKey(WM_SYSKEYDOWN, 'X'));
  EXPECT_EQ(SeenBy(L"b"), (Kinds{L"syskey"}));
}

TEST_F(HostInputTest, AltAndALabelsShortcutFocusesAndActivatesTheControlAfterIt) {
  // The search looks at the last child first, so it meets "other", the label, then "field".
  Probe* pField = m_pRoot->Add(new Probe(&m_seen, L"field"), RECT{20, 0, 30, 10});
  LabelProbe* pLabel = m_pRoot->Add(new LabelProbe(&m_seen, L"label"), RECT{0, 0, 10, 10});
  Probe* pOther = m_pRoot->Add(new Probe(&m_seen, L"other"), RECT{40, 0, 50, 10});
  pLabel->SetShortcut(L'n');
  pOther->SetShortcut(L'o');
  AttachAndPaint();

  EXPECT_TRUE(PreTranslateKey(WM_SYSCHAR, L'N'));
  EXPECT_EQ(m_host.GetFocusControl(), pField);
  EXPECT_EQ(pField->m_nActivated, 1);
  EXPECT_EQ(pLabel->m_nActivated, 0);
  EXPECT_FALSE(PreTranslateKey(WM_SYSCHAR, L'z')) << "no control has that shortcut";
}

class RecordingFilter : public SkinUI::IMessageFilterUI {
 public:
  RecordingFilter(std::vector<std::wstring>* pLog, const wchar_t* pstrName, bool bTake)
      : m_pLog(pLog), m_sName(pstrName), m_bTake(bTake) {}
  LRESULT FilterMessage(UINT uMsg, WPARAM, LPARAM, bool& bHandled) override {
    if (uMsg != WM_LBUTTONDOWN) return 0;
    m_pLog->push_back(m_sName);
    bHandled = m_bTake;
    return 42;
  }

 private:
  std::vector<std::wstring>* m_pLog;
  std::wstring m_sName;
  bool m_bTake;
};

TEST_F(HostInputTest, AFilterThatTakesAMessageKeepsItFromTheControls) {
  m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();
  std::vector<std::wstring> asked;
  RecordingFilter pass(&asked, L"pass", false);
  RecordingFilter take(&asked, L"take", true);
  RecordingFilter late(&asked, L"late", true);
  m_host.RegisterMessageFilter(&pass);
  m_host.RegisterMessageFilter(&take);
  m_host.RegisterMessageFilter(&late);

  EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 15)), 42);
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"pass", L"take"}));
  EXPECT_TRUE(m_seen.empty());
  EXPECT_EQ(m_host.GetLastMousePoint().x, 25) << "the point is remembered all the same";
  EXPECT_FALSE(m_host.IsMouseCaptured());

  EXPECT_TRUE(m_host.UnregisterMessageFilter(&take));
  EXPECT_FALSE(m_host.UnregisterMessageFilter(&take));
  m_host.UnregisterMessageFilter(&pass);
  m_host.UnregisterMessageFilter(&late);
  Mouse(WM_LBUTTONDOWN, 25, 15, MK_LBUTTON);
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"setfocus", L"down"}));
  Mouse(WM_LBUTTONUP, 25, 15);
}

TEST_F(HostInputTest, ControlTimersTickWithTheirKeyAndStartOnlyOnce) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();

  // Pumping also delivers whatever the real mouse does: only ticks count here.
  auto ticks = [this] {
    std::vector<WPARAM> keys;
    for (const SeenEvent& e : m_seen) {
      if (e.iKind == SkinUI::kEventTimer) keys.push_back(e.wParam);
    }
    return keys;
  };
  EXPECT_TRUE(m_host.StartTimer(pA, 7, 10));
  EXPECT_FALSE(m_host.StartTimer(pA, 7, 10)) << "already running";
  DeliverPosted();
  ASSERT_FALSE(ticks().empty());
  EXPECT_EQ(ticks()[0], 7u);
  EXPECT_FALSE(NotesOf(L"timer").empty()) << "the control base reports its timer";

  EXPECT_TRUE(m_host.StopTimer(pA, 7));
  EXPECT_FALSE(m_host.StopTimer(pA, 7));
  DeliverPosted();
  m_seen.clear();
  DeliverPosted();
  EXPECT_TRUE(ticks().empty()) << "a stopped timer is silent";
  EXPECT_TRUE(m_host.StartTimer(pA, 7, 10)) << "a stopped timer starts again";
  m_host.StopAllTimers(pA);
}

TEST_F(HostInputTest, NativeTimerIdsCycleAndSkipThoseStillHeld) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  Probe* pB = m_pRoot->Add(new Probe(&m_seen, L"b"), kRight);
  AttachAndPaint();

  // Ids 17 to 254 for a, then 0 to 16 for b: every id is held.
  for (UINT key = 0; key < 238; ++key) ASSERT_TRUE(m_host.StartTimer(pA, key, 100000));
  for (UINT key = 0; key < 17; ++key) ASSERT_TRUE(m_host.StartTimer(pB, key, 100000));
  EXPECT_FALSE(m_host.StartTimer(pB, 99, 100000)) << "no native id is free";

  auto tickOf = [this](WPARAM id) {
    m_seen.clear();
    Send(WM_TIMER, id, 0);
    return m_seen.empty() ? std::wstring() : m_seen[0].control + L":" +
                                                 std::to_wstring(m_seen[0].wParam);
  };
  EXPECT_EQ(tickOf(17), L"a:0");
  EXPECT_EQ(tickOf(46), L"a:29");
  EXPECT_EQ(tickOf(254), L"a:237");
  EXPECT_EQ(tickOf(0), L"b:0");

  m_host.StopAllTimers(pA);
  EXPECT_EQ(tickOf(17), L"") << "a's timers are gone";
  ASSERT_TRUE(m_host.StartTimer(pB, 99, 100000));
  EXPECT_EQ(tickOf(17), L"b:99");
  m_host.StopEveryTimer();
  EXPECT_EQ(tickOf(0), L"");
}

TEST_F(HostInputTest, QueuedNotificationsArriveAfterTheMessageMergedUnlessRepeatsAreAllowed) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();

  m_host.RaiseNotification(pA, L"scroll", 1, 0, true, false);
  m_host.RaiseNotification(pA, L"scroll", 2, 0, true, false);
  EXPECT_TRUE(m_notes.empty()) << "nothing before the queue message";
  DeliverPosted();
  ASSERT_EQ(m_notes.size(), 1u);
  EXPECT_EQ(m_notes[0].wParam, 2u);
  EXPECT_EQ(m_notes[0].pSender, pA);

  m_notes.clear();
  m_host.RaiseNotification(pA, L"scroll", 3, 0, true, true);
  m_host.RaiseNotification(pA, L"scroll", 4, 0, true, true);
  DeliverPosted();
  ASSERT_EQ(m_notes.size(), 2u);
  EXPECT_EQ(m_notes[0].wParam, 3u);
  EXPECT_EQ(m_notes[1].wParam, 4u);
}

TEST_F(HostInputTest, AControlDestroyedWhileQueuedStillNotifiesWithoutASender) {
  AttachAndPaint();
  Probe* pLoose = new Probe(&m_seen, L"loose");
  pLoose->SetHost(&m_host, nullptr, false);
  m_host.RaiseNotification(pLoose, L"changed", 5, 0, true, true);
  m_host.StartTimer(pLoose, 1, 100000);
  delete pLoose;
  DeliverPosted();
  ASSERT_EQ(m_notes.size(), 1u);
  EXPECT_EQ(m_notes[0].type, L"changed");
  EXPECT_EQ(m_notes[0].pSender, nullptr);
  EXPECT_EQ(m_notes[0].wParam, 5u);
}

TEST_F(HostInputTest, DeferredDeletionWaitsForTheQueueMessage) {
  AttachAndPaint();
  int nDestroyed = 0;
  struct Counted : Probe {
    Counted(std::vector<SeenEvent>* pLog, int* pCount) : Probe(pLog, L"gone"), m_pCount(pCount) {}
    ~Counted() override { ++*m_pCount; }
    int* m_pCount;
  };
  m_host.DeferDelete(new Counted(&m_seen, &nDestroyed));
  m_host.DeferDelete(new Counted(&m_seen, &nDestroyed));
  EXPECT_EQ(nDestroyed, 0);
  DeliverPosted();
  EXPECT_EQ(nDestroyed, 2);
}

// A native child window that answers what the host reflects to it.
LRESULT CALLBACK ReflectingChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == 0x204E) return 0x4E;
  if (uMsg == 0x2111) return 0x111;
  if (uMsg == WM_CTLCOLOREDIT + 0x2000) return 0x133;
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

TEST_F(HostInputTest, ChildWindowMessagesAreReflectedAndSizeLimitsApplied) {
  AttachAndPaint();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ReflectingChildProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuillReflectingChild";
  ::RegisterClassW(&wc);
  HWND hChild = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, m_hWnd,
                                  nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hChild, nullptr);
  NMHDR header = {hChild, 5, 0};
  EXPECT_EQ(Send(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 0x4E);
  EXPECT_EQ(Send(WM_COMMAND, 5, reinterpret_cast<LPARAM>(hChild)), 0x111);
  EXPECT_EQ(Send(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(hChild)), 0x133);
  ::DestroyWindow(hChild);

  m_host.SetMinimumSize(200, 0);
  m_host.SetMaximumSize(0, 300);
  MINMAXINFO info = {};
  info.ptMinTrackSize = POINT{1, 2};
  info.ptMaxTrackSize = POINT{3, 4};
  LRESULT lRes = 0;
  EXPECT_FALSE(m_host.HandleWindowMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info),
                                          lRes));
  EXPECT_EQ(info.ptMinTrackSize.x, 200);
  EXPECT_EQ(info.ptMinTrackSize.y, 2) << "0 leaves the platform's value";
  EXPECT_EQ(info.ptMaxTrackSize.x, 3);
  EXPECT_EQ(info.ptMaxTrackSize.y, 300);
}

TEST_F(HostInputTest, HoverShowsTheControlsToolTipAndSizeReachesTheFocus) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a", 1), kLeft);
  m_pRoot->Add(new Probe(&m_seen, L"b"), kRight);
  pA->SetToolTip(L"first line");
  AttachAndPaint();

  LRESULT lRes = 0;
  Mouse(WM_MOUSEMOVE, 70, 20);
  EXPECT_TRUE(m_host.HandleWindowMessage(WM_MOUSEHOVER, 0, MAKELPARAM(70, 20), lRes))
      << "a control without a tooltip still ends the hover";
  Mouse(WM_MOUSEMOVE, 20, 20);
  EXPECT_TRUE(m_host.HandleWindowMessage(WM_MOUSEHOVER, 0, MAKELPARAM(20, 20), lRes));
  EXPECT_EQ(SeenBy(L"a"), (Kinds{L"enter", L"move", L"hover"}));
  EXPECT_EQ(SeenBy(L"b"), (Kinds{L"enter", L"move", L"hover", L"leave"}));
  HWND hTip = ::FindWindowW(TOOLTIPS_CLASSW, nullptr);
  ASSERT_NE(hTip, nullptr);
  EXPECT_EQ(::GetWindow(hTip, GW_OWNER), m_hWnd);
  EXPECT_FALSE(m_host.HandleWindowMessage(WM_MOUSEHOVER, 0, MAKELPARAM(-5, -5), lRes))
      << "nothing under the mouse";

  m_seen.clear();
  Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(kWidth, kHeight));
  EXPECT_EQ(SeenBy(L"a"), (Kinds{std::to_wstring(SkinUI::kEventWindowSize)}));
  EXPECT_TRUE(SeenBy(L"b").empty());
}

TEST_F(HostInputTest, FocusTakenByAControlsNativeWindowMovesTheFocusToThatControl) {
  m_pRoot->Add(new Probe(&m_seen, L"a", 1), kLeft);
  Probe* pB = m_pRoot->Add(new Probe(&m_seen, L"b"), kRight);
  AttachAndPaint();
  HWND hChild = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 60, 10, 50, 30, m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  HWND hGrandChild = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, hChild, nullptr,
                                       ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(hGrandChild, nullptr);
  m_host.TrackNativeWindow(pB, hChild);
  LRESULT lRes = 0;
  EXPECT_FALSE(
      m_host.HandleWindowMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(hGrandChild), 0, lRes));
  EXPECT_EQ(m_host.GetFocusControl(), pB);
  EXPECT_EQ(NotesOf(L"killfocus"), (std::vector<std::wstring>{L"a"}));
  m_host.UntrackNativeWindow(hChild);
  ::DestroyWindow(hChild);
}

TEST_F(HostInputTest, OnlyControlsThatAskForItSetTheCursor) {
  m_pRoot->Add(new Probe(&m_seen, L"plain"), kLeft);
  m_pRoot->Add(new Probe(&m_seen, L"pointer", 2), kRight);
  AttachAndPaint();
  auto setCursorOver = [this](int x, int y) {
    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    ::SetCursorPos(pt.x, pt.y);
    LRESULT lRes = 0;
    return m_host.HandleWindowMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd),
                                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), lRes);
  };
  EXPECT_TRUE(setCursorOver(70, 20));
  EXPECT_EQ(SeenBy(L"pointer"), (Kinds{std::to_wstring(SkinUI::kEventSetCursor)}));
  EXPECT_FALSE(setCursorOver(20, 20)) << "the platform's cursor stays";
  EXPECT_TRUE(SeenBy(L"plain").empty());

  m_seen.clear();
  m_host.CaptureMouse();
  EXPECT_TRUE(setCursorOver(70, 20)) << "a captured mouse keeps its cursor";
  m_host.ReleaseMouse();
  EXPECT_TRUE(m_seen.empty());
}

class OrderedNotifier : public SkinUI::INotifyUI {
 public:
  OrderedNotifier(std::vector<std::wstring>* pLog, const wchar_t* pstrName)
      : m_pLog(pLog), m_sName(pstrName) {}
  void Notify(NotifyEvent& event) override {
    m_pLog->push_back(m_sName + L":" + event.sType.GetData());
  }

 private:
  std::vector<std::wstring>* m_pLog;
  std::wstring m_sName;
};

TEST_F(HostInputTest, NotifiersHearInTheOrderTheyRegistered) {
  Probe* pA = m_pRoot->Add(new Probe(&m_seen, L"a"), kLeft);
  AttachAndPaint();
  std::vector<std::wstring> heard;
  OrderedNotifier first(&heard, L"first");
  OrderedNotifier second(&heard, L"second");
  m_host.RegisterNotifier(&second);
  m_host.RegisterNotifier(&first);
  Mouse(WM_MOUSEMOVE, 20, 20);
  m_host.RaiseNotification(pA, L"click");
  EXPECT_EQ(heard, (std::vector<std::wstring>{L"second:click", L"first:click"}));
  ASSERT_FALSE(m_notes.empty());
  EXPECT_EQ(m_notes.back().type, L"click") << "the fixture registered before both";
  m_host.UnregisterNotifier(&first);
  m_host.UnregisterNotifier(&second);
}

}  // namespace

// Input events reaching a control: its own handler list first, then the default handling, which
// answers focus, menu and timer events and hands everything else to the parent. Also
// initialisation, interface queries and tree searches of a plain control.

#include <gtest/gtest.h>

#include <vector>

#include "ControlFixture.h"
#include "Core/UIControl.h"

using control_testing::ControlHostTest;
using SkinUI::CControlUI;
using SkinUI::InputEvent;

namespace {

InputEvent MakeEvent(int iKind, WPARAM wParam = 0, LPARAM lParam = 0) {
  InputEvent event = {};
  event.iKind = iKind;
  event.wParam = wParam;
  event.lParam = lParam;
  return event;
}

// A parent that records which events bubble up to it.
class RecordingParent : public CControlUI {
 public:
  void HandleEvent(InputEvent& event) override { kinds.push_back(event.iKind); }
  std::vector<int> kinds;
};

struct HandlerLog {
  std::vector<int> calls;
  bool answer = true;
  bool First(void* pParam) {
    calls.push_back(1);
    return static_cast<InputEvent*>(pParam) != nullptr && answer;
  }
  bool Second(void*) {
    calls.push_back(2);
    return true;
  }
};

// ---- the control's own handlers ----

TEST(ControlEventTest, OwnHandlersRunInOrderBeforeTheDefaultHandling) {
  CControlUI control;
  HandlerLog log;
  control.OnEvent += SkinUI::MakeDelegate(&log, &HandlerLog::First);
  control.OnEvent += SkinUI::MakeDelegate(&log, &HandlerLog::Second);
  InputEvent setFocus = MakeEvent(SkinUI::kEventSetFocus);
  control.DispatchEvent(setFocus);
  EXPECT_EQ(log.calls, (std::vector<int>{1, 2}));
  EXPECT_TRUE(control.IsFocused());
}

TEST(ControlEventTest, AHandlerAnsweringFalseStopsTheDefaultHandling) {
  CControlUI control;
  HandlerLog log;
  log.answer = false;
  control.OnEvent += SkinUI::MakeDelegate(&log, &HandlerLog::First);
  control.OnEvent += SkinUI::MakeDelegate(&log, &HandlerLog::Second);
  InputEvent setFocus = MakeEvent(SkinUI::kEventSetFocus);
  control.DispatchEvent(setFocus);
  EXPECT_EQ(log.calls, (std::vector<int>{1}));
  EXPECT_FALSE(control.IsFocused());
}

TEST(ControlEventTest, UnhandledEventsBubbleToTheParentAndFocusEventsDoNot) {
  RecordingParent parent;
  CControlUI child;
  child.SetHost(nullptr, &parent, false);
  for (int kind : {SkinUI::kEventButtonDown, SkinUI::kEventKeyDown, SkinUI::kEventSetFocus,
                   SkinUI::kEventKillFocus, SkinUI::kEventContextMenu}) {
    InputEvent event = MakeEvent(kind);
    child.DispatchEvent(event);
  }
  EXPECT_EQ(parent.kinds, (std::vector<int>{SkinUI::kEventButtonDown, SkinUI::kEventKeyDown,
                                            SkinUI::kEventContextMenu}));
  EXPECT_FALSE(child.IsFocused());

  CControlUI root;
  InputEvent dropped = MakeEvent(SkinUI::kEventButtonUp);
  root.DispatchEvent(dropped);  // nowhere to go: nothing happens
}

// ---- notifications from the default handling ----

class ControlNotifyTest : public ControlHostTest {};

TEST_F(ControlNotifyTest, TimerEventSendsTimerWithTheControlsKey) {
  CControlUI control;
  control.SetHost(&m_host, nullptr, false);
  InputEvent timer = MakeEvent(SkinUI::kEventTimer, 11, 1234);
  control.DispatchEvent(timer);
  ASSERT_EQ(m_recorder.received.size(), 1u);
  EXPECT_EQ(m_recorder.received[0].type, L"timer");
  EXPECT_EQ(m_recorder.received[0].sender, &control);
  EXPECT_EQ(m_recorder.received[0].wParam, 11u);
  EXPECT_EQ(m_recorder.received[0].lParam, 1234);
}

TEST_F(ControlNotifyTest, ContextMenuSendsMenuOnlyWhenEnabled) {
  RecordingParent parent;
  CControlUI control;
  control.SetHost(&m_host, &parent, false);
  InputEvent menu = MakeEvent(SkinUI::kEventContextMenu, 0, reinterpret_cast<LPARAM>(&control));
  control.DispatchEvent(menu);
  EXPECT_TRUE(m_recorder.received.empty());
  EXPECT_EQ(parent.kinds.size(), 1u);

  control.ApplyAttribute(L"menu", L"true");
  control.DispatchEvent(menu);
  ASSERT_EQ(m_recorder.received.size(), 1u);
  EXPECT_EQ(m_recorder.received[0].type, L"menu");
  EXPECT_EQ(m_recorder.received[0].wParam, 0u);
  EXPECT_EQ(m_recorder.received[0].lParam, reinterpret_cast<LPARAM>(&control));
  EXPECT_EQ(parent.kinds.size(), 1u);
}

TEST_F(ControlNotifyTest, SendersOwnNotifyHandlersHearItBeforeTheListeners) {
  struct Own {
    std::vector<std::wstring> types;
    size_t listenersBefore = 99;
    const std::vector<control_testing::RecordedNotification>* pListener = nullptr;
    bool OnNotify(void* pParam) {
      types.push_back(static_cast<SkinUI::NotifyEvent*>(pParam)->sType.GetData());
      listenersBefore = pListener->size();
      return false;  // the answer does not stop the listeners
    }
  } own;
  own.pListener = &m_recorder.received;
  CControlUI control;
  control.SetHost(&m_host, nullptr, false);
  control.OnNotify += SkinUI::MakeDelegate(&own, &Own::OnNotify);
  InputEvent timer = MakeEvent(SkinUI::kEventTimer, 3);
  control.DispatchEvent(timer);
  EXPECT_EQ(own.types, (std::vector<std::wstring>{L"timer"}));
  EXPECT_EQ(own.listenersBefore, 0u);
  EXPECT_EQ(m_recorder.received.size(), 1u);
}

TEST_F(ControlNotifyTest, VirtualWindowNameTravelsWithTheNotification) {
  CControlUI control;
  control.SetHost(&m_host, nullptr, false);
  control.ApplyAttribute(L"virtualwnd", L"page1");
  InputEvent timer = MakeEvent(SkinUI::kEventTimer, 1);
  control.DispatchEvent(timer);
  ASSERT_EQ(m_recorder.received.size(), 1u);
  EXPECT_EQ(m_recorder.received[0].virtualWnd, L"page1");
}

// ---- initialisation, names, searching ----

TEST(ControlLifecycleTest, AttachingUnderAParentInitialisesOnce) {
  struct InitLog {
    int calls = 0;
    bool OnInit(void*) {
      ++calls;
      return true;
    }
  } log;
  CControlUI parent;
  CControlUI control;
  control.OnInit += SkinUI::MakeDelegate(&log, &InitLog::OnInit);
  control.SetHost(nullptr, nullptr, true);
  EXPECT_EQ(log.calls, 0);
  control.SetHost(nullptr, &parent, false);
  EXPECT_EQ(log.calls, 0);
  control.SetHost(nullptr, &parent, true);
  EXPECT_EQ(log.calls, 1);
  EXPECT_EQ(control.GetParent(), &parent);
}

TEST(ControlLifecycleTest, DestroyHandlersHearTheControlGo) {
  struct DestroyLog {
    void* seen = nullptr;
    bool OnDestroy(void* pParam) {
      seen = pParam;
      return true;
    }
  } log;
  CControlUI* pControl = new CControlUI;
  pControl->OnDestroy += SkinUI::MakeDelegate(&log, &DestroyLog::OnDestroy);
  pControl->AddCustomAttribute(L"kept", L"value");
  delete pControl;
  EXPECT_EQ(log.seen, pControl);
}

TEST(ControlLifecycleTest, NotificationTablesSeeTheControlsCurrentName) {
  CControlUI control;
  EXPECT_STREQ(SkinUI::GetNotifySenderName(nullptr), L"");
  EXPECT_STREQ(SkinUI::GetNotifySenderName(&control), L"");
  control.SetName(L"closebtn");
  EXPECT_STREQ(SkinUI::GetNotifySenderName(&control), L"closebtn");
}

CControlUI* CALLBACK AnyControl(CControlUI* pControl, LPVOID) { return pControl; }
CControlUI* CALLBACK NoControl(CControlUI*, LPVOID) { return nullptr; }

TEST(ControlSearchTest, FlagsFilterHiddenDisabledAndMissedControls) {
  CControlUI control;
  control.SetPosition(RECT{10, 10, 20, 20});
  POINT inside = {15, 15};
  POINT outside = {25, 15};
  EXPECT_EQ(control.FindControl(AnyControl, &inside, SkinUI::kFindHitTest), &control);
  EXPECT_EQ(control.FindControl(AnyControl, &outside, SkinUI::kFindHitTest), nullptr);
  EXPECT_EQ(control.FindControl(NoControl, nullptr, 0), nullptr);
  EXPECT_EQ(control.FindControl(AnyControl, nullptr, SkinUI::kFindHitTest), nullptr);

  control.SetMouseEnabled(false);
  EXPECT_EQ(control.FindControl(AnyControl, &inside, SkinUI::kFindHitTest), nullptr);
  EXPECT_EQ(control.FindControl(AnyControl, nullptr, 0), &control);

  control.SetEnabled(false);
  EXPECT_EQ(control.FindControl(AnyControl, nullptr, SkinUI::kFindEnabled), nullptr);
  control.SetVisible(false);
  EXPECT_EQ(control.FindControl(AnyControl, nullptr, SkinUI::kFindVisible), nullptr);
  EXPECT_EQ(control.FindControl(AnyControl, nullptr, 0), &control);
  // An update test skips the control the procedure answers for.
  EXPECT_EQ(control.FindControl(AnyControl, nullptr, SkinUI::kFindUpdateTest), nullptr);
}

}  // namespace

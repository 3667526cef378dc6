// Notification tables: lookup by type and sender name, chaining to the base class's table,
// handler signatures and routing by virtual window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CheckRecorder.h"
#include "Core/UIBase.h"
#include "Core/UIControl.h"

using SkinUI::CControlUI;
using SkinUI::CNotifyPump;
using SkinUI::CUIString;
using SkinUI::NotifyEvent;
using skin_testing::CheckRecorder;

namespace {

// A plain control with a name: the pump only asks a sender for its name.
struct FakeSender : CControlUI {
  explicit FakeSender(const wchar_t* name) { SetName(name); }
};

CControlUI* AsSender(FakeSender& sender) { return &sender; }

}  // namespace

namespace {

std::vector<std::string> g_calls;

NotifyEvent MakeEvent(const wchar_t* type, CControlUI* pSender, WPARAM wParam = 0,
                      LPARAM lParam = 0) {
  NotifyEvent event = {};
  event.sType = type;
  event.pSender = pSender;
  event.wParam = wParam;
  event.lParam = lParam;
  return event;
}

// Base table: a click from "closebtn", and a "timer" handler taking the two parameters.
class BasePump : public CNotifyPump {
 public:
  void OnCloseClick(NotifyEvent&) { g_calls.push_back("base:closebtn"); }
  void OnTimer(WPARAM wParam, LPARAM lParam) {
    g_calls.push_back("base:timer " + std::to_string(wParam) + "," + std::to_string(lParam));
  }
  UI_DECLARE_NOTIFY_MAP()
};

UI_BEGIN_NOTIFY_MAP(BasePump, CNotifyPump)
UI_ON_NOTIFY_NAMED(L"click", L"closebtn", OnCloseClick)
UI_ON_NOTIFY(L"timer", OnTimer)
UI_END_NOTIFY_MAP()

// Derived table: any click, then a click from "okbtn", and two handlers for "selectchanged".
class DerivedPump : public BasePump {
 public:
  void OnAnyClick(NotifyEvent&) { g_calls.push_back("derived:click"); }
  void OnOkClick(NotifyEvent&) { g_calls.push_back("derived:okbtn"); }
  void OnSelectFirst(NotifyEvent&) { g_calls.push_back("derived:select-first"); }
  void OnSelectSecond(NotifyEvent&) { g_calls.push_back("derived:select-second"); }
  UI_DECLARE_NOTIFY_MAP()
};

UI_BEGIN_NOTIFY_MAP(DerivedPump, BasePump)
UI_ON_NOTIFY(L"click", OnAnyClick)
UI_ON_NOTIFY_NAMED(L"click", L"okbtn", OnOkClick)
UI_ON_NOTIFY(L"selectchanged", OnSelectFirst)
UI_ON_NOTIFY(L"selectchanged", OnSelectSecond)
UI_END_NOTIFY_MAP()

// The pump may live behind another base: handlers must still be called on the right object.
class Payload {
 public:
  virtual ~Payload() = default;
  int filler = 0;
};

class OffsetPump : public Payload, public CNotifyPump {
 public:
  int clicks = 0;
  void OnClick(NotifyEvent&) { ++clicks; }
  UI_DECLARE_NOTIFY_MAP()
};

UI_BEGIN_NOTIFY_MAP(OffsetPump, CNotifyPump)
UI_ON_NOTIFY(L"click", OnClick)
UI_END_NOTIFY_MAP()

class NotifyPumpTest : public ::testing::Test {
 protected:
  void SetUp() override { g_calls.clear(); }
  FakeSender okbtn{L"okbtn"}, closebtn{L"closebtn"}, other{L"other"};
};

TEST_F(NotifyPumpTest, EntryIsChosenByTypeAndSenderNameDerivedTableFirst) {
  const struct {
    const wchar_t* type;
    FakeSender* sender;  // null: the sender was destroyed while the event was queued
    const char* call;    // null: not handled
  } cases[] = {
      {L"click", &okbtn, "derived:okbtn"},       // the named entry wins within a table
      {L"click", &other, "derived:click"},       // else the entry for any sender
      {L"click", &closebtn, "derived:click"},    // the derived table before the base's name
      {L"selectchanged", &other, "derived:select-second"},  // the later of two type-only entries
      {L"timer", &other, "base:timer 12,-3"},    // the base table when the derived has none
      {L"click", nullptr, "derived:click"},
      {L"Click", &okbtn, nullptr},               // types match exactly
  };
  DerivedPump pump;
  for (const auto& c : cases) {
    g_calls.clear();
    NotifyEvent event = MakeEvent(c.type, c.sender != nullptr ? AsSender(*c.sender) : nullptr, 12, -3);
    EXPECT_EQ(pump.DispatchThroughMaps(event), c.call != nullptr);
    EXPECT_EQ(g_calls, c.call != nullptr ? std::vector<std::string>({c.call})
                                         : std::vector<std::string>());
  }
  BasePump base;
  NotifyEvent namedOnly = MakeEvent(L"click", nullptr);
  EXPECT_FALSE(base.DispatchThroughMaps(namedOnly)) << "no name matches a missing sender";
}

TEST_F(NotifyPumpTest, ATableNamingOneTypeAndSenderTwiceIsFound) {
  EXPECT_FALSE(CNotifyPump::HasDuplicateEntries(BasePump::GetThisNotifyMap()));
  EXPECT_TRUE(CNotifyPump::HasDuplicateEntries(DerivedPump::GetThisNotifyMap()));
}

TEST_F(NotifyPumpTest, HandlerRunsOnTheDeclaringObjectWhereverThePumpLies) {
  OffsetPump pump;
  NotifyEvent event = MakeEvent(L"click", AsSender(other));
  static_cast<CNotifyPump&>(pump).PumpNotify(event);
  EXPECT_EQ(pump.clicks, 1);
}

TEST_F(NotifyPumpTest, VirtualWindowNotificationsGoToTheirPumpFirst) {
  DerivedPump window;
  BasePump page;
  ASSERT_TRUE(window.AddVirtualWnd(L"Page", &page));
  NotifyEvent handledByPage = MakeEvent(L"click", AsSender(closebtn));
  handledByPage.sVirtualWnd = L"page";  // names compare without regard to case
  window.PumpNotify(handledByPage);
  NotifyEvent notHandledByPage = MakeEvent(L"click", AsSender(okbtn));
  notHandledByPage.sVirtualWnd = L"PAGE";
  window.PumpNotify(notHandledByPage);
  NotifyEvent otherWindow = MakeEvent(L"click", AsSender(closebtn));
  otherWindow.sVirtualWnd = L"elsewhere";
  window.PumpNotify(otherWindow);
  EXPECT_EQ(g_calls, std::vector<std::string>({"base:closebtn", "derived:okbtn", "derived:click"}));

  EXPECT_TRUE(window.RemoveVirtualWnd(L"Page"));
  g_calls.clear();
  window.PumpNotify(handledByPage);
  EXPECT_EQ(g_calls, std::vector<std::string>({"derived:click"}));
}

// Hand-made tables for the faults a macro-built table cannot have.
const SkinUI::NotifyMessageMap* SelfChainedMap();
const SkinUI::NotifyMapEntry kNoEntries[] = {{L"", L"", SkinUI::kNotifySignatureEnd, {}}};
const SkinUI::NotifyMessageMap kSelfChained = {&SelfChainedMap, kNoEntries};
const SkinUI::NotifyMessageMap* SelfChainedMap() { return &kSelfChained; }

const SkinUI::NotifyMapEntry kBadSignature[] = {
    {L"click", L"", 7, {}},
    {L"", L"", SkinUI::kNotifySignatureEnd, {}},
};
const SkinUI::NotifyMessageMap* RootMap() { return CNotifyPump::GetThisNotifyMap(); }
const SkinUI::NotifyMessageMap kBadSignatureMap = {&RootMap, kBadSignature};

class HandMadePump : public CNotifyPump {
 public:
  explicit HandMadePump(const SkinUI::NotifyMessageMap* pMap) : m_pMap(pMap) {}
  const SkinUI::NotifyMessageMap* GetNotifyMap() const override { return m_pMap; }

 private:
  const SkinUI::NotifyMessageMap* m_pMap;
};

TEST_F(NotifyPumpTest, FaultyTablesAreReportedAndHandleNothing) {
  NotifyEvent event = MakeEvent(L"click", AsSender(other));
  CheckRecorder checks;
  EXPECT_FALSE(HandMadePump(&kSelfChained).DispatchThroughMaps(event)) << "and does not hang";
  EXPECT_FALSE(HandMadePump(&kBadSignatureMap).DispatchThroughMaps(event));
  EXPECT_EQ(checks.conditions(),
            std::vector<std::string>({"pMessageMap != (*pMessageMap->pfnGetBaseMap)()", "0"}));
}

}  // namespace

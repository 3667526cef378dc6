// Delegates and delegate lists: which member runs, in which order, and who owns the copies.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/UIBase.h"
#include "support/AllocationLedger.h"

using SkinUI::CDelegateBase;
using SkinUI::CDelegateList;
using SkinUI::MakeDelegate;
using testing_support::AllocationLedger;

namespace {

class Handler {
 public:
  Handler(std::string name, std::vector<std::string>* pLog) : m_name(std::move(name)), m_pLog(pLog) {}
  virtual ~Handler() = default;

  bool OnFirst(void* pParam) { return Log("first", pParam, true); }
  bool OnSecond(void* pParam) { return Log("second", pParam, true); }
  bool OnRefuse(void* pParam) { return Log("refuse", pParam, false); }
  virtual bool OnVirtual(void* pParam) { return Log("base-virtual", pParam, true); }

 protected:
  bool Log(const char* what, void* pParam, bool bResult) {
    m_pLog->push_back(m_name + "." + what + "(" + std::to_string(*static_cast<int*>(pParam)) + ")");
    return bResult;
  }

 private:
  std::string m_name;
  std::vector<std::string>* m_pLog;
};

TEST(DelegateTest, ListCallsEachMemberOnItsObjectInTheOrderAdded) {
  std::vector<std::string> log;
  Handler a("a", &log), b("b", &log);
  CDelegateList list;
  list += MakeDelegate(&b, &Handler::OnSecond);
  list += MakeDelegate(&a, &Handler::OnFirst);
  list += MakeDelegate(&a, &Handler::OnSecond);
  int param = 42;
  EXPECT_TRUE(list(&param));
  EXPECT_EQ(log, std::vector<std::string>({"b.second(42)", "a.first(42)", "a.second(42)"}));
}

TEST(DelegateTest, SameObjectAndMemberIsListedOnce) {
  std::vector<std::string> log;
  Handler a("a", &log), b("b", &log);
  CDelegateList list;
  list += MakeDelegate(&a, &Handler::OnFirst);
  list += MakeDelegate(&a, &Handler::OnFirst);
  list += MakeDelegate(&b, &Handler::OnFirst);  // another object: a delegate of its own
  EXPECT_EQ(list.GetSize(), 2);
  int param = 1;
  list(&param);
  EXPECT_EQ(log, std::vector<std::string>({"a.first(1)", "b.first(1)"}));
}

TEST(DelegateTest, RefusingDelegateStopsTheWalk) {
  std::vector<std::string> log;
  Handler a("a", &log);
  CDelegateList list;
  list += MakeDelegate(&a, &Handler::OnRefuse);
  list += MakeDelegate(&a, &Handler::OnFirst);
  int param = 7;
  EXPECT_FALSE(list(&param));
  EXPECT_EQ(log, std::vector<std::string>({"a.refuse(7)"}));
}

TEST(DelegateTest, ListFreesEachOfItsCopiesExactlyOnce) {
  std::vector<std::string> log;
  Handler a("a", &log), b("b", &log);
  AllocationLedger ledger;
  {
    CDelegateList list;
    for (int i = 0; i < 30; ++i) {
      list += MakeDelegate(i % 2 == 0 ? &a : &b, &Handler::OnFirst);  // two distinct delegates
      list += MakeDelegate(&a, i % 3 == 0 ? &Handler::OnSecond : &Handler::OnRefuse);
    }
    EXPECT_EQ(list.GetSize(), 4);
    EXPECT_GT(ledger.LiveBlocks(), 0);
  }
  EXPECT_EQ(ledger.LiveBlocks(), 0);
  EXPECT_EQ(ledger.DoubleDeletes(), 0);
}

}  // namespace

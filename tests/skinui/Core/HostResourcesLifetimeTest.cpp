// Every record a host's registries own is freed exactly once: when it is replaced, when the
// registry is emptied, when the window is attached again and when the host goes.

#include <vector>

#include "HostResourcesFixture.h"
#include "support/AllocationLedger.h"

using SkinUI::CControlUI;
using SkinUI::CWindowHostUI;
using skin_testing::HostResourcesTest;
using skin_testing::IsLiveGdiObject;
using testing_support::AllocationLedger;

namespace {

// The loader that records nothing: the ledger counts every allocation the test makes.
class HostLifetimeTest : public HostResourcesTest {
 protected:
  void SetUp() override {
    HostResourcesTest::SetUp();
    CWindowHostUI::SetImageLoader(&skin_testing::FakeImageLoader::Make);
    m_handles.own.reserve(32);
    m_handles.shared.reserve(8);
  }

  struct Handles {
    std::vector<HGDIOBJ> own;
    std::vector<HGDIOBJ> shared;
  } m_handles;

  // Fills every registry of the host, replacing some entries on the way.
  void FillRegistries(CWindowHostUI& host);
  void RemoveSharedResources() {
    m_host.RemoveAllFonts(true);
    m_host.RemoveAllImages(true);
    m_host.RemoveAllDefaultAttributeLists(true);
  }
};

void HostLifetimeTest::FillRegistries(CWindowHostUI& host) {
  Handles& handles = m_handles;
  for (int id = 0; id < 4; ++id) {
    handles.own.push_back(host.RegisterFont(id, L"Arial", 10 + id, false, false, false));
    handles.own.push_back(host.RegisterFont(id, L"Tahoma", 10 + id, true, false, false));
  }
  handles.shared.push_back(host.RegisterFont(9, L"Arial", 9, false, false, false, true));
  handles.own.push_back(host.RegisterImage(L"bk.png")->hBitmap);
  handles.own.push_back(host.RegisterImage(L"bk.png", nullptr, 0, true)->hBitmap);
  handles.own.push_back(host.LookupOrLoadImage(L"btn.png")->hBitmap);
  handles.shared.push_back(host.RegisterImage(L"shared.png", nullptr, 0, true, true)->hBitmap);
  host.SetDefaultFont(L"Tahoma", 15, false, false, false);
  handles.own.push_back(host.GetDefaultFontInfo()->hFont);
  host.SetDefaultAttributes(L"Button", L"a=\"1\"");
  host.SetDefaultAttributes(L"Button", L"a=\"2\"");
  host.SetDefaultAttributes(L"Label", L"b=\"1\"", true);
  host.AddWindowCustomAttribute(L"theme", L"dark");
  host.AddWindowCustomAttribute(L"theme", L"light");
  for (INT_PTR i = 1; i <= 8; ++i) {
    host.JoinOptionGroup(i % 2 != 0 ? L"odd" : L"even", reinterpret_cast<CControlUI*>(i * 16));
  }
  host.LeaveOptionGroup(L"odd", reinterpret_cast<CControlUI*>(16));
}

template <class It>
void ExpectAllDeleted(It first, It last) {
  for (; first != last; ++first) EXPECT_FALSE(IsLiveGdiObject(*first)) << *first;
}

TEST_F(HostLifetimeTest, HostFreesWhatItsRegistriesOwnExactlyOnce) {
  AllocationLedger ledger;
  {
    CWindowHostUI host;
    host.AttachWindow(m_window);
    FillRegistries(host);
  }
  ExpectAllDeleted(m_handles.own.begin(), m_handles.own.end());
  for (HGDIOBJ h : m_handles.shared) EXPECT_TRUE(IsLiveGdiObject(h)) << "shared outlive hosts";

  RemoveSharedResources();
  ExpectAllDeleted(m_handles.shared.begin(), m_handles.shared.end());
  EXPECT_EQ(ledger.LiveBlocks(), 0);
  EXPECT_EQ(ledger.DoubleDeletes(), 0);
}

TEST_F(HostLifetimeTest, AttachingAgainFreesTheWindowsRecordsExactlyOnce) {
  AllocationLedger ledger;
  FillRegistries(m_host);
  m_host.AttachWindow(m_window);
  m_host.AttachWindow(m_window);
  // The window's default font (the last handle) stays with the host.
  ExpectAllDeleted(m_handles.own.begin(), m_handles.own.end() - 1);
  EXPECT_TRUE(IsLiveGdiObject(m_handles.own.back()));
  RemoveSharedResources();
  EXPECT_EQ(ledger.LiveBlocks(), 0);
  EXPECT_EQ(ledger.DoubleDeletes(), 0);
}

TEST_F(HostLifetimeTest, ReplacedMultiLanguageTextIsFreed) {
  CWindowHostUI::AddMultiLanguageString(900, L"first");
  AllocationLedger ledger;
  for (int i = 0; i < 10; ++i) CWindowHostUI::AddMultiLanguageString(900, L"again");
  EXPECT_EQ(ledger.LiveBlocks(), 0) << "each text replaces the one before";
  EXPECT_EQ(ledger.DoubleDeletes(), 0);
}

}  // namespace

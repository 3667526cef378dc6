// The ActiveX host with a real in-process control registered in this test's own prefix: creation
// by program id, class id and server module, in-place activation windowless and windowed,
// painting into the host, clicks, keys and focus through the platform's input queue, and every
// reference released at teardown.

#include <gtest/gtest.h>

#include <memory>

#include "CheckRecorder.h"
#include "Control/UIActiveX.h"
#include "Control/UIButton.h"
#include "HostPaintFixture.h"
#include "Layout/UIHorizontalLayout.h"
#include "TestControlStats.h"
#include "support/RealInput.h"

using namespace SkinUI;
using testing_support::ClickAt;
using testing_support::PressKey;
using testing_support::PumpUntil;

namespace {

const uint32_t kControlRgb = (GetRValue(kTestControlColor) << 16) |
                             (GetGValue(kTestControlColor) << 8) | GetBValue(kTestControlColor);

std::wstring TestControlModule() {
  wchar_t szPath[MAX_PATH] = {};
  ::GetModuleFileNameW(::GetModuleHandleW(L"quill_test_activex.dll"), szPath, MAX_PATH);
  return szPath;
}

std::wstring ClassIdText(REFCLSID clsid) {
  wchar_t sz[64] = {};
  ::StringFromGUID2(clsid, sz, 64);
  return sz;
}

// Registers the control in this program's prefix once, as an installer would.
class RegisterTestControl : public ::testing::Environment {
 public:
  void SetUp() override {
    typedef HRESULT(STDAPICALLTYPE * RegisterProc)();
    RegisterProc pfnRegister = reinterpret_cast<RegisterProc>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"quill_test_activex.dll"), "DllRegisterServer")));
    ASSERT_NE(pfnRegister, nullptr);
    ASSERT_EQ(pfnRegister(), S_OK);
  }
};
const ::testing::Environment* const g_registration =
    ::testing::AddGlobalTestEnvironment(new RegisterTestControl);

// The ActiveX control on the left 60 pixels, a button beside it that can take the focus away.
class ActiveXTest : public host_paint_testing::HostPaintTest {
 protected:
  void SetUp() override {
    HostPaintTest::SetUp();
    m_stats = QuillTestControlStats();
    *m_stats = TestControlStats{};
    ::SetForegroundWindow(m_hWnd);
  }
  void TearDown() override {
    ReplaceTree();  // the tree goes while its window still exists
    HostPaintTest::TearDown();
  }

  CActiveXUI* Embed(CActiveXUI* pActiveX) {
    CHorizontalLayoutUI* pRoot = new CHorizontalLayoutUI;
    pActiveX->SetFixedWidth(60);
    pRoot->AddItem(pActiveX);
    m_pButton = new CButtonUI;
    pRoot->AddItem(m_pButton);
    m_host.AttachRoot(pRoot);
    return pActiveX;
  }
  // The old tree goes after the current message, as the host defers it.
  void ReplaceTree() {
    m_host.AttachRoot(new CControlUI);
    testing_support::PumpMessages(20);
  }
  void Layout() {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    PaintPending();
  }

  TestControlStats* m_stats = nullptr;
  CButtonUI* m_pButton = nullptr;
};

TEST_F(ActiveXTest, DeferredObjectIsCreatedAtTheFirstLayoutAndActivatesWindowless) {
  CActiveXUI* pActiveX = new CActiveXUI;
  pActiveX->ApplyAttribute(L"clsid", L"QuillTest.WindowlessControl");
  Embed(pActiveX);
  EXPECT_FALSE(pActiveX->IsCreated());
  EXPECT_EQ(m_stats->liveObjects, 0);

  Layout();
  EXPECT_TRUE(pActiveX->IsCreated());
  EXPECT_EQ(m_stats->liveObjects, 1);
  EXPECT_EQ(m_stats->windowlessActive, 1);
  EXPECT_EQ(m_stats->getDcAnswer, S_FALSE) << "a windowless object draws only in the paint pass";
  EXPECT_EQ(pActiveX->GetNativeHandle(), m_hWnd);
  EXPECT_EQ(CountEvents(L"showactivex"), 1);
  IOleObject* pObject = nullptr;
  EXPECT_EQ(pActiveX->QueryObject(IID_IOleObject, reinterpret_cast<void**>(&pObject)), S_OK);
  if (pObject != nullptr) pObject->Release();
}

TEST_F(ActiveXTest, WindowlessObjectPaintsIntoTheHostsImage) {
  CActiveXUI* pActiveX = new CActiveXUI;
  pActiveX->SetClassId(kWindowlessControlClsid);
  Embed(pActiveX);
  Layout();
  ASSERT_GT(m_stats->draws, 0);
  EXPECT_EQ(ScreenRgbAt(30, 40), kControlRgb);
  EXPECT_NE(ScreenRgbAt(90, 40), kControlRgb);
}

TEST_F(ActiveXTest, WindowlessObjectHearsClicksOnItAndKeysOnlyWhileFocused) {
  CActiveXUI* pActiveX = new CActiveXUI;
  pActiveX->SetClassId(kWindowlessControlClsid);
  Embed(pActiveX);
  Layout();

  ClickAt(m_hWnd, POINT{30, 40});
  EXPECT_EQ(m_stats->buttonDowns, 1);
  EXPECT_EQ(m_host.GetFocusControl(), pActiveX);
  PressKey('A');
  EXPECT_EQ(m_stats->keyDowns, 1);

  ClickAt(m_hWnd, POINT{90, 40});
  EXPECT_EQ(m_stats->buttonDowns, 1) << "a click beside the object is not the object's";
  EXPECT_EQ(m_host.GetFocusControl(), m_pButton);
  PressKey('B');
  EXPECT_EQ(m_stats->keyDowns, 1);
}

TEST_F(ActiveXTest, WindowedObjectIsCreatedAtOnceAndItsWindowFollowsTheControl) {
  CActiveXUI* pActiveX = Embed(new CActiveXUI);
  Layout();
  pActiveX->ApplyAttribute(L"delaycreate", L"false");
  pActiveX->ApplyAttribute(L"clsid", ClassIdText(kWindowedControlClsid).c_str());
  ASSERT_TRUE(pActiveX->IsCreated()) << "no layout needed once deferral is off";
  HWND hWndObject = m_stats->hwndObject;
  HWND hWndSite = pActiveX->GetNativeHandle();
  ASSERT_NE(hWndObject, nullptr);
  ASSERT_NE(hWndSite, m_hWnd);
  EXPECT_EQ(::GetParent(hWndObject), hWndSite);
  EXPECT_EQ(::GetParent(hWndSite), m_hWnd);

  pActiveX->SetPosition(RECT{5, 6, 45, 36});
  EXPECT_TRUE(host_paint_testing::SameRect(m_host.GetNativeWindowRect(hWndSite), RECT{5, 6, 45, 36}));
  pActiveX->MoveBy(10, 4);
  EXPECT_TRUE(host_paint_testing::SameRect(m_host.GetNativeWindowRect(hWndSite), RECT{15, 10, 55, 40}));
  ::UpdateWindow(hWndObject);
  EXPECT_EQ(ScreenRgbAt(30, 20), kControlRgb);
  pActiveX->SetVisible(false);
  EXPECT_FALSE(::IsWindowVisible(hWndSite));
  pActiveX->SetVisible(true);
  pActiveX->SetInheritedVisible(false);
  EXPECT_FALSE(::IsWindowVisible(hWndSite));
}

TEST_F(ActiveXTest, ClickingAWindowedObjectGivesItTheFocusAndMakesItUiActive) {
  CActiveXUI* pActiveX = new CActiveXUI;
  pActiveX->SetClassId(kWindowedControlClsid);
  Embed(pActiveX);
  Layout();
  ClickAt(m_hWnd, POINT{30, 40});
  EXPECT_EQ(m_stats->buttonDowns, 1);
  EXPECT_GE(m_stats->focusGained, 1);
  EXPECT_EQ(m_stats->uiActive, 1);
  PressKey('A');
  EXPECT_EQ(m_stats->keyDowns, 1);
}

TEST_F(ActiveXTest, ServerModuleMakesAClassTheRegistryDoesNotKnow) {
  skin_testing::CheckRecorder checks;
  CActiveXUI* pFromModule = new CActiveXUI;
  pFromModule->SetServerModule(TestControlModule().c_str());
  pFromModule->SetClassId(kUnregisteredControlClsid);
  Embed(pFromModule);
  Layout();
  EXPECT_EQ(m_stats->windowlessActive, 1);

  std::unique_ptr<CActiveXUI> pFromRegistry(new CActiveXUI);
  pFromRegistry->SetClassId(kUnregisteredControlClsid);
  pFromRegistry->SetHost(&m_host, nullptr, true);
  pFromRegistry->SetPosition(RECT{0, 0, 10, 10});
  EXPECT_TRUE(pFromRegistry->IsCreated());
  void* pObject = nullptr;
  EXPECT_EQ(pFromRegistry->QueryObject(IID_IOleObject, &pObject), E_PENDING);
  SKIP_WITHOUT_DEBUG_CHECKS();
  EXPECT_EQ(checks.conditions(), std::vector<std::string>{"(((HRESULT)(Hr)) >= 0)"});
}

TEST_F(ActiveXTest, AClassNameThatIsNoClassLeavesTheControlEmpty) {
  skin_testing::CheckRecorder checks;
  CActiveXUI* pActiveX = Embed(new CActiveXUI);
  pActiveX->ApplyAttribute(L"clsid", L"Quill.NoSuchControl");
  EXPECT_FALSE(pActiveX->SetClassId(GUID_NULL));
  EXPECT_TRUE(pActiveX->GetClassId() == GUID_NULL);
  Layout();
  EXPECT_EQ(m_stats->liveObjects, 0);
  SKIP_WITHOUT_DEBUG_CHECKS();
  EXPECT_EQ(checks.conditions().front(), "clsid!=GUID_NULL");
}

// The site the object was given, as the object sees it.
IOleInPlaceSite* SiteOf(CActiveXUI* pActiveX) {
  IOleObject* pObject = nullptr;
  IOleClientSite* pClient = nullptr;
  IOleInPlaceSite* pSite = nullptr;
  if (pActiveX->QueryObject(IID_IOleObject, reinterpret_cast<void**>(&pObject)) != S_OK) return nullptr;
  pObject->GetClientSite(&pClient);
  pObject->Release();
  if (pClient == nullptr) return nullptr;
  pClient->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pSite));
  pClient->Release();
  return pSite;
}

TEST_F(ActiveXTest, AWindowlessObjectThatDeactivatesLeavesTheHostsFilters) {
  CActiveXUI* pActiveX = Embed(new CActiveXUI);
  pActiveX->SetClassId(kWindowlessControlClsid);
  Layout();
  IOleInPlaceObject* pInPlace = nullptr;
  ASSERT_EQ(pActiveX->QueryObject(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)), S_OK);
  pInPlace->InPlaceDeactivate();
  pInPlace->Release();
  EXPECT_FALSE(m_host.UnregisterMessageFilter(pActiveX));
}

TEST_F(ActiveXTest, AWindowedObjectIsNotHandedTheHostsMessages) {
  skin_testing::CheckRecorder checks;
  CActiveXUI* pActiveX = Embed(new CActiveXUI);
  pActiveX->SetClassId(kWindowedControlClsid);
  Layout();
  pActiveX->SetFocus();
  bool bHandled = false;
  pActiveX->FilterMessage(WM_KEYDOWN, 'A', 0, bHandled);
  EXPECT_FALSE(bHandled);
  EXPECT_EQ(m_stats->keyDowns, 0);
  EXPECT_TRUE(checks.conditions().empty());
}

TEST_F(ActiveXTest, AWindowlessObjectIsToldItsPlaceInTheHostWindow) {
  CActiveXUI* pActiveX = Embed(new CActiveXUI);
  pActiveX->SetClassId(kWindowlessControlClsid);
  Layout();
  IOleInPlaceSite* pSite = SiteOf(pActiveX);
  ASSERT_NE(pSite, nullptr);
  IOleInPlaceFrame* pFrame = nullptr;
  IOleInPlaceUIWindow* pDoc = nullptr;
  RECT rcPos = {-7, -7, -7, -7}, rcClip = rcPos;
  OLEINPLACEFRAMEINFO info = {};
  EXPECT_EQ(pSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &info), S_OK);
  if (pFrame != nullptr) pFrame->Release();
  pSite->Release();
  EXPECT_TRUE(host_paint_testing::SameRect(rcPos, pActiveX->GetPosition()));
  EXPECT_TRUE(host_paint_testing::SameRect(rcClip, pActiveX->GetPosition()));
}

TEST_F(ActiveXTest, AnObjectWithoutAHostWindowIsNotDrawnOnTheScreen) {
  std::unique_ptr<CActiveXUI> pActiveX(new CActiveXUI);
  pActiveX->SetClassId(kWindowlessControlClsid);
  pActiveX->CreateObject();
  IOleInPlaceSite* pSite = SiteOf(pActiveX.get());
  ASSERT_NE(pSite, nullptr);
  IOleClientSite* pClient = nullptr;
  pSite->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(&pClient));
  pSite->Release();
  ASSERT_NE(pClient, nullptr);
  EXPECT_NE(pClient->ShowObject(), S_OK);
  pClient->Release();
  EXPECT_EQ(m_stats->draws, 0);
}

class ActiveXTeardownTest : public ActiveXTest, public ::testing::WithParamInterface<bool> {};

// The framework's site holds the object's view until the site itself goes, so an object that is
// gone also proves its site gone; the object in turn counts what it holds of the site and frames.
TEST_P(ActiveXTeardownTest, DestroyingTheControlReleasesEveryReferenceOnBothSides) {
  const CLSID clsid = GetParam() ? kWindowlessControlClsid : kWindowedControlClsid;
  auto cycle = [&] {
    CActiveXUI* pActiveX = new CActiveXUI;
    pActiveX->SetClassId(clsid);
    Embed(pActiveX);
    Layout();
    ClickAt(m_hWnd, POINT{30, 40});  // focus, and UI activation for the windowed kind
    ReplaceTree();
  };
  cycle();
  EXPECT_EQ(m_stats->liveObjects, 0);
  EXPECT_EQ(m_stats->liveSiteRefs, 0) << "the object let go of every site object it was given";
  EXPECT_EQ(m_stats->inPlaceActive, 0);
  EXPECT_EQ(m_stats->uiActive, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ActiveXTeardownTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Windowless" : "Windowed");
                         });

}  // namespace

// The web browser control against the platform's browser object (without an HTML engine here):
// creation at the first layout, the event connection, navigation calls and the events they raise,
// the document-host and command-target answers without a receiver, and teardown.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Control/UIWebBrowser.h"
#include "HostPaintFixture.h"
#include "support/RealInput.h"

using namespace SkinUI;

namespace {

// Records the browser's events; every document-host call keeps the control's default answers.
class EventRecorder : public IWebBrowserEventsUI {
 public:
  void BeforeNavigate2(IDispatch*, VARIANT* pvUrl, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                       VARIANT_BOOL*) override {
    urls.push_back(pvUrl != nullptr && pvUrl->vt == VT_BSTR ? pvUrl->bstrVal : L"?");
    events.push_back(L"BeforeNavigate2");
  }
  void NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) override {
    events.push_back(L"NavigateError");
  }
  void NavigateComplete2(IDispatch*, VARIANT*) override { events.push_back(L"NavigateComplete2"); }
  void DocumentComplete(IDispatch*, VARIANT*) override { events.push_back(L"DocumentComplete"); }
  void NewWindow3(IDispatch**, VARIANT_BOOL*, DWORD, BSTR, BSTR) override {}
  void CommandStateChange(long, VARIANT_BOOL) override {}
  HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
  HRESULT GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
  HRESULT ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                 IOleInPlaceUIWindow*) override { return S_OK; }
  HRESULT HideUI() override { return S_OK; }
  HRESULT UpdateUI() override { return S_OK; }
  HRESULT EnableModeless(BOOL) override { return E_NOTIMPL; }
  HRESULT OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
  HRESULT OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
  HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
  HRESULT TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
  HRESULT GetDropTarget(IDropTarget*, IDropTarget**) override { return S_FALSE; }
  HRESULT GetExternal(IDispatch**) override { return S_FALSE; }
  HRESULT TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return E_NOTIMPL; }
  HRESULT FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }
  HRESULT Download(IMoniker*, IBindCtx*, DWORD, LONG, BINDINFO*, LPCOLESTR, LPCOLESTR,
                   UINT) override {
    return S_OK;
  }

  std::vector<std::wstring> events;
  std::vector<std::wstring> urls;
};

class WebBrowserTest : public host_paint_testing::HostPaintTest {
 protected:
  void TearDown() override {
    m_host.AttachRoot(new CControlUI);
    testing_support::PumpMessages(20);
    HostPaintTest::TearDown();
  }
  CWebBrowserUI* Embed(LPCWSTR pstrHomePage, LPCWSTR pstrAutoNavigate) {
    CWebBrowserUI* pBrowser = new CWebBrowserUI;
    pBrowser->ApplyAttribute(L"homepage", pstrHomePage);
    pBrowser->ApplyAttribute(L"autonavi", pstrAutoNavigate);
    pBrowser->SetWebBrowserEventHandler(&m_events);
    m_host.AttachRoot(pBrowser);
    return pBrowser;
  }
  void Layout() {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    PaintPending();
    testing_support::PumpMessages(50);
  }
  EventRecorder m_events;
};

TEST_F(WebBrowserTest, BrowserIsMadeAtTheFirstLayoutAndHearsItsOwnEvents) {
  CWebBrowserUI* pBrowser = Embed(L"", L"false");
  EXPECT_EQ(pBrowser->GetWebBrowser2(), nullptr);
  Layout();
  ASSERT_TRUE(pBrowser->IsCreated());
  ASSERT_NE(pBrowser->GetWebBrowser2(), nullptr);
  EXPECT_TRUE(pBrowser->IsConnectedToEvents());
  EXPECT_NE(pBrowser->GetNativeHandle(), nullptr);
  EXPECT_NE(pBrowser->GetNativeHandle(), m_hWnd) << "the browser is a windowed object";
}

struct NoNavigationCase {
  const wchar_t* homepage;
  const wchar_t* autonavi;
};

class WebBrowserNoNavigationTest : public WebBrowserTest,
                                   public ::testing::WithParamInterface<NoNavigationCase> {};

TEST_P(WebBrowserNoNavigationTest, DoesNotNavigateByItself) {
  CWebBrowserUI* pBrowser = Embed(GetParam().homepage, GetParam().autonavi);
  Layout();
  ASSERT_TRUE(pBrowser->IsCreated());
  EXPECT_TRUE(m_events.urls.empty());
}

INSTANTIATE_TEST_SUITE_P(Settings, WebBrowserNoNavigationTest,
                         ::testing::Values(NoNavigationCase{L"about:blank", L"false"},
                                           NoNavigationCase{L"", L"true"}));

// The home page is asked for before the events are connected, so only later navigations are heard.
TEST_F(WebBrowserTest, NavigateToReachesTheBrowserWhichAnnouncesTheAddress) {
  CWebBrowserUI* pBrowser = Embed(L"about:blank", L"true");
  Layout();
  ASSERT_TRUE(pBrowser->IsConnectedToEvents());
  pBrowser->NavigateTo(L"http://127.0.0.1:9/none.html");
  testing_support::PumpMessages(100);
  EXPECT_EQ(m_events.urls, std::vector<std::wstring>{L"http://127.0.0.1:9/none.html"});
}

TEST_F(WebBrowserTest, WithoutAReceiverTheBrowserKeepsItsOwnMenusAndScriptsKeepRunning) {
  CWebBrowserUI* pBrowser = Embed(L"", L"false");
  pBrowser->SetWebBrowserEventHandler(nullptr);
  EXPECT_EQ(pBrowser->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_EQ(pBrowser->GetHostInfo(nullptr), E_NOTIMPL);
  LPWSTR pstrOut = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(pBrowser->TranslateUrl(0, nullptr, &pstrOut), E_NOTIMPL);
  EXPECT_EQ(pstrOut, nullptr);
  EXPECT_EQ(pBrowser->QueryStatus(nullptr, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
  EXPECT_EQ(pBrowser->Exec(nullptr, 40, 0, nullptr, nullptr), OLECMDERR_E_UNKNOWNGROUP);
  EXPECT_EQ(pBrowser->Invoke(252, IID_IDispatch, 0, 0, nullptr, nullptr, nullptr, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(pBrowser->Invoke(999, IID_NULL, 0, 0, nullptr, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  MSG msg = {m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
  EXPECT_EQ(pBrowser->TranslateAcceleratorKey(&msg), S_FALSE);
  msg.message = WM_KEYDOWN;
  EXPECT_EQ(pBrowser->TranslateAcceleratorKey(&msg), E_NOTIMPL) << "no browser yet";
}

TEST_F(WebBrowserTest, EveryComInterfaceAnswersTheSameFourAndOneIdentity) {
  CWebBrowserUI* pBrowser = Embed(L"", L"false");
  IUnknown* pFromHandler = nullptr;
  IUnknown* pFromDispatch = nullptr;
  ASSERT_EQ(static_cast<IDocHostUIHandler*>(pBrowser)->QueryInterface(
                IID_IUnknown, reinterpret_cast<void**>(&pFromHandler)), S_OK);
  ASSERT_EQ(static_cast<IServiceProvider*>(pBrowser)->QueryInterface(
                IID_IUnknown, reinterpret_cast<void**>(&pFromDispatch)), S_OK);
  EXPECT_EQ(pFromHandler, pFromDispatch);
  pFromHandler->Release();
  pFromDispatch->Release();
  void* pOther = nullptr;
  EXPECT_EQ(static_cast<IDispatch*>(pBrowser)->QueryInterface(IID_IOleClientSite, &pOther),
            E_NOINTERFACE);
  EXPECT_EQ(pOther, nullptr);
  IUnknown* pDownloads = nullptr;
  const IID downloadManager = {0x988934a4, 0x064b, 0x11d3,
                               {0xbb, 0x80, 0x00, 0x10, 0x4b, 0x35, 0xe7, 0xf9}};
  EXPECT_EQ(pBrowser->QueryService(downloadManager, downloadManager,
                                   reinterpret_cast<void**>(&pDownloads)), S_OK);
  if (pDownloads != nullptr) pDownloads->Release();
  EXPECT_EQ(pBrowser->QueryService(IID_IUnknown, IID_IUnknown, &pOther), E_NOINTERFACE);
}

}  // namespace

// The modal loop: its result, the owner's state, WM_QUIT, and the hosts' translation of
// messages before they are dispatched.

#include <gtest/gtest.h>

#include <new>
#include <thread>

#include "WindowWndTestWindow.h"

using SkinUI::CWindowHostUI;
using skin_testing::RecordingWindow;

namespace {

const UINT kStep = WM_APP + 1;
const UINT kSwallowed = WM_APP + 2;

class WindowWndModalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_testing::UseTestModule();
    // Hidden windows: unmapping a shown window costs seconds on a display without a window
    // manager.
    ASSERT_NE(m_owner.Create(nullptr, L"owner", WS_POPUP, 0, 0, 0, 200, 150), nullptr);
    ASSERT_NE(m_window.Create(m_owner, L"modal", WS_POPUP, 0, 20, 20, 100, 80), nullptr);
  }
  void TearDown() override { skin_testing::PumpPending(); }

  RecordingWindow m_owner;
  RecordingWindow m_window{L"QuillTestModal"};
};

class Filter : public SkinUI::IMessageFilterUI {
 public:
  explicit Filter(UINT uTaken) : m_uTaken(uTaken) {}
  int seen = 0;
  LRESULT FilterMessage(UINT uMsg, WPARAM, LPARAM, bool& bHandled) override {
    if (uMsg == m_uTaken) {
      ++seen;
      bHandled = true;
    }
    return 0;
  }

 private:
  UINT m_uTaken;
};

TEST_F(WindowWndModalTest, ReturnsTheCodeGivenToClose) {
  bool bOwnerDisabledMeanwhile = false;
  bool bShownMeanwhile = false;
  m_window.onMessage = [&](UINT uMsg, WPARAM, LPARAM, LRESULT&) {
    if (uMsg == kStep) {
      bOwnerDisabledMeanwhile = !::IsWindowEnabled(m_owner);
      bShownMeanwhile = ::IsWindowVisible(m_window) != FALSE;
      m_window.Close(7);
    }
    return false;
  };
  m_window.Post(kStep);
  EXPECT_EQ(m_window.RunModal(true), 7);
  EXPECT_TRUE(bOwnerDisabledMeanwhile);
  EXPECT_TRUE(bShownMeanwhile);
  EXPECT_TRUE(::IsWindowEnabled(m_owner));
  EXPECT_FALSE(::IsWindow(m_window.GetHWND()));
}

TEST_F(WindowWndModalTest, ReturnsZeroWhenTheWindowIsDestroyedWithoutClose) {
  m_window.onMessage = [&](UINT uMsg, WPARAM, LPARAM, LRESULT&) {
    if (uMsg == kStep) ::DestroyWindow(m_window);
    return false;
  };
  m_window.Post(kStep);
  EXPECT_EQ(m_window.RunModal(false), 0);
  EXPECT_TRUE(::IsWindowEnabled(m_owner));
}

TEST_F(WindowWndModalTest, QuitEndsTheLoopAndIsPostedAgainForTheEnclosingLoop) {
  ::PostQuitMessage(5);
  EXPECT_EQ(m_window.RunModal(false), 0);
  EXPECT_TRUE(::IsWindow(m_window.GetHWND())) << "the window outlives the loop";
  EXPECT_TRUE(::IsWindowEnabled(m_owner));
  MSG msg = {};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(WindowWndModalTest, HostPreFiltersTakeMessagesBeforeTheyAreDispatched) {
  CWindowHostUI host;
  host.AttachWindow(m_window);
  Filter filter(kSwallowed);
  host.RegisterPreFilter(&filter);
  m_window.onMessage = [&](UINT uMsg, WPARAM, LPARAM, LRESULT&) {
    if (uMsg == kStep) m_window.Close(1);
    return false;
  };
  m_window.Post(kSwallowed);
  m_window.Post(kStep);
  EXPECT_EQ(m_window.RunModal(false), 1);
  EXPECT_EQ(filter.seen, 1);
  EXPECT_EQ(m_window.Count(kSwallowed), 0u);
  EXPECT_EQ(m_window.Count(kStep), 1u);
}

TEST_F(WindowWndModalTest, MessagesForChildWindowsGoToTheInnermostHost) {
  RecordingWindow panel(L"QuillTestPanel"), button(L"QuillTestButton");
  ASSERT_NE(panel.Create(m_window, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 80, 60), nullptr);
  ASSERT_NE(button.Create(panel, L"", WS_CHILD | WS_VISIBLE, 0, 5, 5, 20, 20), nullptr);
  CWindowHostUI outer, inner;
  outer.AttachWindow(m_window);
  inner.AttachWindow(panel);
  Filter outerFilter(kSwallowed), innerFilter(kSwallowed);
  outer.RegisterPreFilter(&outerFilter);
  inner.RegisterPreFilter(&innerFilter);

  ::PostMessageW(button, kSwallowed, 0, 0);
  m_window.Close(6);
  EXPECT_EQ(m_window.RunModal(false), 6);
  EXPECT_EQ(innerFilter.seen, 1);
  EXPECT_EQ(outerFilter.seen, 0);
  EXPECT_EQ(button.Count(kSwallowed), 0u);
}

// A window that deletes itself when it is gone, as the message boxes do. Its storage is kept
// (and its handle field left pointing at a live window) so that a loop still reading the deleted
// object would keep running instead of crashing.
class SelfDeletingWindow : public RecordingWindow {
 public:
  explicit SelfDeletingWindow(HWND hStaleHandle)
      : RecordingWindow(L"QuillTestSelfDeleting"), m_hStaleHandle(hStaleHandle) {}
  static void* operator new(size_t) { return s_storage; }
  static void operator delete(void*) { ++s_deleted; }
  static int s_deleted;

 protected:
  void OnWindowGone(HWND hWnd) override {
    RecordingWindow::OnWindowGone(hWnd);
    const HWND hStale = m_hStaleHandle;
    delete this;
    m_hWnd = hStale;  // what a reused block could hold
  }

 private:
  alignas(16) static unsigned char s_storage[];
  HWND m_hStaleHandle;
};
int SelfDeletingWindow::s_deleted = 0;
alignas(16) unsigned char SelfDeletingWindow::s_storage[sizeof(SelfDeletingWindow)];

TEST_F(WindowWndModalTest, WindowThatDeletesItselfEndsItsModalLoop) {
  SelfDeletingWindow* pWindow = new SelfDeletingWindow(m_owner);
  ASSERT_NE(pWindow->Create(m_owner, L"self", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
  pWindow->Close(8);
  // A loop that went on reading the deleted object would run until the owner goes.
  bool bOwnerDestroyedByGuard = false;
  m_owner.onMessage = [&](UINT uMsg, WPARAM, LPARAM, LRESULT&) {
    if (uMsg == kStep) {
      bOwnerDestroyedByGuard = true;
      ::DestroyWindow(m_owner);
    }
    return false;
  };
  const HWND hOwner = m_owner;
  std::thread guard([hOwner] {
    ::Sleep(3000);
    ::PostMessageW(hOwner, kStep, 0, 0);
  });
  const int nResult = pWindow->RunModal(false);
  EXPECT_FALSE(bOwnerDestroyedByGuard);
  guard.join();
  m_owner.onMessage = nullptr;
  EXPECT_EQ(nResult, 8);
  EXPECT_EQ(SelfDeletingWindow::s_deleted, 1);
}

}  // namespace

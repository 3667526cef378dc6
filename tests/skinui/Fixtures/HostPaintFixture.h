#pragma once
// A shown pop-up window whose procedure hands painting, printing and the layered timer to a window
// host, and a root control that records its layouts and paints and fills itself with a colour
// the test can change without invalidating anything.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"

namespace host_paint_testing {

class RecordingRoot : public SkinUI::CControlUI {
 public:
  // Shared with the fixture, so that it outlives the control the host destroys.
  struct Journal {
    std::vector<RECT> layouts;
    std::vector<RECT> paints;
    // Every "windowinit" and paint, in the order they happened.
    std::vector<std::wstring> events;
    int destroyed = 0;
  };

  explicit RecordingRoot(Journal* pJournal, DWORD dwColor = 0xFF2060A0)
      : m_pJournal(pJournal), m_dwColor(dwColor) {}
  ~RecordingRoot() override { ++m_pJournal->destroyed; }

  void SetPosition(RECT rc, bool bNeedInvalidate) override {
    m_pJournal->layouts.push_back(rc);
    CControlUI::SetPosition(rc, bNeedInvalidate);
  }
  bool Paint(HDC hDC, const RECT& rcPaint, SkinUI::CControlUI* pStop) override {
    m_pJournal->paints.push_back(rcPaint);
    m_pJournal->events.push_back(L"paint");
    return CControlUI::Paint(hDC, rcPaint, pStop);
  }
  void PaintBackgroundColor(HDC hDC) override {
    SkinUI::CSkinRenderer::FillColor(hDC, m_rcPaint, m_dwColor);
  }
  // Changes what the next paint draws, leaving the window valid.
  void SetFillQuietly(DWORD dwColor) { m_dwColor = dwColor; }
  void MarkLayoutDirty() { m_bUpdateNeeded = true; }

 private:
  Journal* m_pJournal;
  DWORD m_dwColor;
};

class HostPaintTest : public ::testing::Test, public SkinUI::INotifyUI {
 public:
  static const int kWidth = 120;
  static const int kHeight = 80;

 protected:
  void SetUp() override {
    SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
    m_hWnd = CreateHostWindow(nullptr, WS_POPUP, 0, 0, kWidth, kHeight, &m_host);
    ASSERT_NE(m_hWnd, nullptr);
    m_host.AttachWindow(m_hWnd);
    m_host.RegisterNotifier(this);
  }
  void TearDown() override { m_host.UnregisterNotifier(this); }
  ~HostPaintTest() override {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
  }

  void Notify(SkinUI::NotifyEvent& event) override {
    m_journal.events.push_back(event.sType.GetData());
  }

  // A window whose WM_PAINT, WM_PRINTCLIENT and WM_TIMER reach pHost.
  static HWND CreateHostWindow(HWND hParent, DWORD dwStyle, int x, int y, int cx, int cy,
                               SkinUI::CWindowHostUI* pHost);

  RecordingRoot* AttachRecordingRoot(DWORD dwColor = 0xFF2060A0) {
    RecordingRoot* pRoot = new RecordingRoot(&m_journal, dwColor);
    m_host.AttachRoot(pRoot);
    return pRoot;
  }
  // Delivers whatever WM_PAINT the window has pending, as the message loop would.
  void PaintPending() { ::UpdateWindow(m_hWnd); }
  // Runs the message loop for about ms milliseconds (the layered window repaints from a timer).
  void PumpFor(DWORD ms);
  int CountEvents(const wchar_t* type) const;

  // The host's off-screen image, 0xAARRGGBB rows top to bottom; empty without one.
  std::vector<uint32_t> ReadOffscreen() const;
  uint32_t OffscreenAt(const std::vector<uint32_t>& pixels, int x, int y) const {
    return pixels[static_cast<size_t>(y) * kWidth + x];
  }
  // What the window shows on screen, read back through its device context.
  uint32_t ScreenRgbAt(int x, int y) const;

  HWND m_hWnd = nullptr;
  SkinUI::CWindowHostUI m_host;
  RecordingRoot::Journal m_journal;
};

inline bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

}  // namespace host_paint_testing

namespace host_paint_testing {

// GDI objects the process holds. Where GetGuiResources is not implemented the handle table is
// probed instead: a handle value without its generation bits names whatever object lives at that
// slot.
int LiveGdiObjects();

}  // namespace host_paint_testing

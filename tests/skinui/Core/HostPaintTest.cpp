// A window host lays its tree out when the window paints, and paints through its off-screen
// bitmap only the area that was invalidated.

#include "HostPaintFixture.h"
#include "support/DibCanvas.h"

namespace host_paint_testing {
namespace {

const RECT kClient = {0, 0, HostPaintTest::kWidth, HostPaintTest::kHeight};

TEST_F(HostPaintTest, RootFillReachesTheOffscreenImageAndTheWindow) {
  AttachRecordingRoot(0xFF2060A0);
  PaintPending();

  const std::vector<uint32_t> pixels = ReadOffscreen();
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(OffscreenAt(pixels, 0, 0) & 0xFFFFFF, 0x2060A0u);
  EXPECT_EQ(OffscreenAt(pixels, kWidth - 1, kHeight - 1) & 0xFFFFFF, 0x2060A0u);
  EXPECT_EQ(ScreenRgbAt(kWidth / 2, kHeight / 2), 0x2060A0u);
  RECT rcUpdate;
  EXPECT_FALSE(::GetUpdateRect(m_hWnd, &rcUpdate, FALSE)) << "the paint validates the window";
}

TEST_F(HostPaintTest, WindowWithoutRootPaintsBlack) {
  HDC hDC = ::GetDC(m_hWnd);
  RECT rc = kClient;
  ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::ReleaseDC(m_hWnd, hDC);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  PaintPending();
  EXPECT_EQ(ScreenRgbAt(5, 5), 0x000000u);
  EXPECT_EQ(ScreenRgbAt(kWidth - 2, kHeight - 2), 0x000000u);
}

TEST_F(HostPaintTest, LayoutWaitsForThePaint) {
  RecordingRoot* pRoot = AttachRecordingRoot();
  EXPECT_TRUE(m_journal.layouts.empty());
  EXPECT_TRUE(::IsRectEmpty(&pRoot->GetPosition()));

  PaintPending();
  ASSERT_EQ(m_journal.layouts.size(), 1u);
  EXPECT_TRUE(SameRect(m_journal.layouts[0], kClient));
  EXPECT_TRUE(SameRect(pRoot->GetPosition(), kClient));

  // A request on its own lays nothing out; the next paint does.
  pRoot->RequestLayout();
  EXPECT_EQ(m_journal.layouts.size(), 1u);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  PaintPending();
  EXPECT_EQ(m_journal.layouts.size(), 2u);
}

TEST_F(HostPaintTest, ResizedWindowIsLaidOutAndPaintedAtItsNewSize) {
  RecordingRoot* pRoot = AttachRecordingRoot(0xFF00FF00);
  PaintPending();
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth + 40, kHeight + 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  pRoot->RequestLayout();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  PaintPending();
  const RECT rcBigger = {0, 0, kWidth + 40, kHeight + 20};
  EXPECT_TRUE(SameRect(pRoot->GetPosition(), rcBigger));
  EXPECT_EQ(ScreenRgbAt(kWidth + 30, kHeight + 10), 0x00FF00u);
}

TEST_F(HostPaintTest, WindowInitIsSentOnceAfterTheFirstLayoutAndBeforeTheFirstPaint) {
  AttachRecordingRoot();
  PaintPending();
  for (int i = 0; i < 3; ++i) {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    PaintPending();
  }
  EXPECT_EQ(CountEvents(L"windowinit"), 1);
  ASSERT_GE(m_journal.events.size(), 2u);
  EXPECT_EQ(m_journal.events[0], L"windowinit");
  EXPECT_EQ(m_journal.events[1], L"paint");
  ASSERT_EQ(m_journal.layouts.size(), 1u) << "repaints without a layout request lay nothing out";

  // A new root is a new window content: it gets its own "windowinit".
  AttachRecordingRoot();
  PaintPending();
  EXPECT_EQ(CountEvents(L"windowinit"), 2);
  PumpFor(50);
  EXPECT_EQ(m_journal.destroyed, 1) << "the replaced root is destroyed after the message";
}

TEST_F(HostPaintTest, InvalidatedRectangleIsTheOnlyAreaRepainted) {
  RecordingRoot* pRoot = AttachRecordingRoot(0xFFFF0000);
  PaintPending();
  pRoot->SetFillQuietly(0xFF0000FF);
  RECT rcDirty = {10, 20, 40, 30};
  m_host.Invalidate(rcDirty);
  PaintPending();

  ASSERT_FALSE(m_journal.paints.empty());
  EXPECT_TRUE(SameRect(m_journal.paints.back(), RECT{10, 20, 40, 30}));
  const std::vector<uint32_t> pixels = ReadOffscreen();
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(OffscreenAt(pixels, 10, 20) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(OffscreenAt(pixels, 39, 29) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(OffscreenAt(pixels, 9, 20) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(OffscreenAt(pixels, 40, 29) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(OffscreenAt(pixels, 20, 30) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(ScreenRgbAt(20, 25), 0x0000FFu);
  EXPECT_EQ(ScreenRgbAt(60, 60), 0xFF0000u);
}

TEST_F(HostPaintTest, ShowDirtyOutlinesEachRepaintedAreaInRed) {
  RecordingRoot* pRoot = AttachRecordingRoot(0xFFFFFFFF);
  PaintPending();
  m_host.SetShowUpdateRect(true);
  pRoot->SetFillQuietly(0xFFFFFFFF);
  RECT rcDirty = {20, 20, 60, 50};
  m_host.Invalidate(rcDirty);
  PaintPending();
  EXPECT_EQ(ScreenRgbAt(20, 30), 0xDC0000u) << "left edge";
  EXPECT_EQ(ScreenRgbAt(40, 49), 0xDC0000u) << "bottom edge";
  EXPECT_EQ(ScreenRgbAt(40, 35), 0xFFFFFFu) << "inside stays as painted";
  const std::vector<uint32_t> pixels = ReadOffscreen();
  EXPECT_EQ(OffscreenAt(pixels, 20, 30) & 0xFFFFFF, 0xFFFFFFu) << "the outline is not content";
}

TEST_F(HostPaintTest, PrintingDrawsTheWholeTreeIntoTheGivenContext) {
  AttachRecordingRoot(0xFF808000);
  PaintPending();
  HDC hScreen = ::GetDC(nullptr);
  HDC hDC = ::CreateCompatibleDC(hScreen);
  HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, kWidth, kHeight);
  ::ReleaseDC(nullptr, hScreen);
  HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
  ::SendMessageW(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hDC), PRF_CLIENT);
  const COLORREF cr = ::GetPixel(hDC, kWidth - 3, kHeight - 3);
  ::SelectObject(hDC, hOld);
  ::DeleteObject(hBitmap);
  ::DeleteDC(hDC);
  EXPECT_EQ(cr, RGB(0x80, 0x80, 0x00));
  EXPECT_TRUE(SameRect(m_journal.paints.back(), kClient));
}

// A picture taken with PrintWindow into a 32-bit bitmap, the way screenshot tools and the
// gallery's self-test take one.
class HostPrintTest : public HostPaintTest {
 protected:
  bool Print() { return ::PrintWindow(m_hWnd, m_picture.dc(), 0) != FALSE; }
  uint32_t PictureAt(int x, int y) const { return m_picture.At(x, y); }

  // A plain window that erases itself with a stock brush and has no painting of its own.
  static HWND CreateChild(HWND hParent, int iStockBrush, const RECT& rc) {
    const wchar_t* pstrClass = iStockBrush == WHITE_BRUSH ? L"QuillPrintWhite" : L"QuillPrintBlack";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(iStockBrush));
    wc.lpszClassName = pstrClass;
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, pstrClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc.left, rc.top,
                             rc.right - rc.left, rc.bottom - rc.top, hParent, nullptr,
                             wc.hInstance, nullptr);
  }

  testing_support::DibCanvas m_picture{kWidth, kHeight};
};

// What GDI drew must be opaque in the picture, or the picture reads as empty.
TEST_F(HostPrintTest, APrintedWindowIsOpaqueAndShowsWhatTheScreenShows) {
  AttachRecordingRoot(0xFF2060A0);
  PaintPending();
  ASSERT_TRUE(Print());
  int nTransparent = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) nTransparent += (PictureAt(x, y) >> 24) != 0xFF ? 1 : 0;
  }
  EXPECT_EQ(nTransparent, 0);
  for (const POINT& pt : {POINT{0, 0}, POINT{kWidth / 2, kHeight / 2}, POINT{kWidth - 1, kHeight - 1}}) {
    EXPECT_EQ(PictureAt(pt.x, pt.y) & 0xFFFFFF, ScreenRgbAt(pt.x, pt.y));
  }
}

// A child window that leaves its own children to the default printing still shows them, and no
// window's erasing reaches past its own area.
TEST_F(HostPrintTest, NativeChildWindowsAndTheirChildrenAppearWhereTheScreenShowsThem) {
  AttachRecordingRoot(0xFF2060A0);
  HWND hChild = CreateChild(m_hWnd, WHITE_BRUSH, RECT{10, 10, 50, 40});
  CreateChild(hChild, BLACK_BRUSH, RECT{5, 5, 20, 20});
  HWND hHidden = CreateChild(m_hWnd, BLACK_BRUSH, RECT{60, 10, 100, 40});
  ::ShowWindow(hHidden, SW_HIDE);
  HWND hAbove = CreateChild(m_hWnd, BLACK_BRUSH, RECT{40, 30, 60, 50});
  ::SetWindowPos(hAbove, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ASSERT_TRUE(Print());
  for (const POINT& pt : {POINT{12, 12}, POINT{20, 20}, POINT{45, 25}, POINT{45, 35}, POINT{70, 20},
                          POINT{5, 60}}) {
    EXPECT_EQ(PictureAt(pt.x, pt.y) & 0xFFFFFF, ScreenRgbAt(pt.x, pt.y)) << pt.x << "," << pt.y;
  }
  EXPECT_EQ(PictureAt(12, 12) & 0xFFFFFF, 0xFFFFFFu) << "the child";
  EXPECT_EQ(PictureAt(20, 20) & 0xFFFFFF, 0x000000u) << "the child's child";
  EXPECT_EQ(PictureAt(70, 20) & 0xFFFFFF, 0x2060A0u) << "a hidden child stays out";
  EXPECT_EQ(PictureAt(45, 35) & 0xFFFFFF, 0x000000u) << "the child above covers the one below";
}

}  // namespace
}  // namespace host_paint_testing

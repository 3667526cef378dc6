// The date-time label with its native picker driven by real clicks and keys, and the animated GIF
// advancing on its frames' own delays.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "Control/UIDateTime.h"
#include "Control/UIGifAnim.h"
#include <memory>

#include "HostPaintFixture.h"
#include "support/DibCanvas.h"
#include "support/GifWriter.h"
#include "support/RealInput.h"
#include "support/TestFiles.h"

using namespace SkinUI;
using testing_support::ClickAt;
using testing_support::GifFrame;
using testing_support::PressKey;
using testing_support::PumpMessages;
using testing_support::PumpUntil;

namespace {

SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME st = {};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  st.wHour = hour;
  st.wMinute = minute;
  return st;
}

// Controls on a host whose window hands it every message, destroyed before the host.
class HostedControlTest : public host_paint_testing::HostPaintTest {
 protected:
  void SetUp() override {
    HostPaintTest::SetUp();
    ::SetForegroundWindow(m_hWnd);
  }
  void TearDown() override {
    m_owned.clear();
    HostPaintTest::TearDown();
  }
  template <typename T>
  T* Adopt(T* pControl, RECT rc) {
    pControl->SetHost(&m_host, nullptr, true);
    pControl->SetPosition(rc);
    m_owned.emplace_back(pControl);
    return pControl;
  }
  std::vector<std::unique_ptr<CControlUI>> m_owned;
};

// ---- date-time ----

class DateTimeTest : public HostedControlTest {
 protected:
  CDateTimeUI* AdoptPicker() {
    CDateTimeUI* pDate = Adopt(new CDateTimeUI, RECT{5, 5, 115, 30});
    pDate->SetTime(MakeTime(2023, 4, 5, 9, 5));
    return pDate;
  }
  // Opens the picker the way a click on the label does, then clicks on its year field.
  HWND OpenPickerOnYear(CDateTimeUI* pDate) {
    m_host.SetFocusControl(pDate);
    HWND hPicker = pDate->GetNativeHandle();
    if (hPicker != nullptr) {
      RECT rc = {};
      ::GetWindowRect(hPicker, &rc);
      POINT pt = {rc.left + 12, (rc.top + rc.bottom) / 2};
      ::ScreenToClient(m_hWnd, &pt);
      ClickAt(m_hWnd, pt);
    }
    return hPicker;
  }
};

struct StyleCase {
  const wchar_t* style;
  const wchar_t* text;
};

class DateTimeStyleTest : public DateTimeTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(DateTimeStyleTest, ValueSetIsReadBackAndShownInTheStylesFormat) {
  CDateTimeUI* pDate = AdoptPicker();
  pDate->ApplyAttribute(L"style", GetParam().style);
  pDate->SetTime(MakeTime(2023, 4, 5, 9, 5));
  EXPECT_EQ(pDate->GetTime().wYear, 2023);
  EXPECT_EQ(pDate->GetTime().wMinute, 5);
  EXPECT_STREQ(pDate->GetText().GetData(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Styles, DateTimeStyleTest,
                         ::testing::Values(StyleCase{L"time", L"09:05"},
                                           StyleCase{L"date", L"2023-04-05"},
                                           StyleCase{L"anything", L"2023-04-05"}));

TEST_F(DateTimeTest, ThePickerTakesANewValueTypedIntoItAndClosesWhenTheFocusLeaves) {
  CDateTimeUI* pDate = AdoptPicker();
  HWND hPicker = OpenPickerOnYear(pDate);
  ASSERT_NE(hPicker, nullptr);
  wchar_t szClass[64] = {};
  ::GetClassNameW(hPicker, szClass, 64);
  EXPECT_STREQ(szClass, L"DateTimeWnd");
  EXPECT_EQ(::GetFocus(), hPicker);
  PressKey(VK_UP);  // one step up in the field the click selected
  SYSTEMTIME shown = {};
  ::SendMessageW(hPicker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
  wchar_t szShown[32] = {};
  ::wsprintfW(szShown, L"%4d-%02d-%02d", shown.wYear, shown.wMonth, shown.wDay);
  ASSERT_STRNE(szShown, L"2023-04-05") << "the key reached the picker";

  ClickAt(m_hWnd, POINT{60, 60});  // the host window, outside the picker
  EXPECT_TRUE(PumpUntil([&] { return pDate->GetNativeHandle() == nullptr; }, 1000));
  EXPECT_FALSE(::IsWindow(hPicker));
  EXPECT_STREQ(pDate->GetText().GetData(), szShown);
  EXPECT_EQ(pDate->GetTime().wDay, shown.wDay);
}

TEST_F(DateTimeTest, EscapeClosesThePickerAndKeepsTheOldValue) {
  CDateTimeUI* pDate = AdoptPicker();
  HWND hPicker = OpenPickerOnYear(pDate);
  ASSERT_NE(hPicker, nullptr);
  PressKey(VK_UP);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return pDate->GetNativeHandle() == nullptr; }, 1000));
  EXPECT_EQ(pDate->GetTime().wYear, 2023);
  EXPECT_STREQ(pDate->GetText().GetData(), L"2023-04-05");
}

TEST_F(DateTimeTest, DestroyingTheControlWithItsPickerOpenClosesThePicker) {
  CDateTimeUI* pDate = AdoptPicker();
  m_host.SetFocusControl(pDate);
  HWND hPicker = pDate->GetNativeHandle();
  ASSERT_NE(hPicker, nullptr);
  m_owned.clear();
  EXPECT_FALSE(::IsWindow(hPicker));
  PumpMessages(20);  // a close posted by the picker finds nothing to touch
}

// ---- animated GIF ----

const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
const uint32_t kBlue = 0x0000FF;

class GifTest : public HostedControlTest {
 protected:
  std::wstring WriteGif(const wchar_t* name, const std::vector<GifFrame>& frames) {
    const std::wstring path = m_files / name;
    EXPECT_TRUE(testing_support::WriteSolidGif(path, 16, 16, frames));
    return path;
  }
  CGifAnimUI* AdoptGif(const std::wstring& path, bool bAutoPlay = true) {
    CGifAnimUI* pGif = new CGifAnimUI;
    pGif->ApplyAttribute(L"bkimage", path.c_str());
    pGif->ApplyAttribute(L"autoplay", bAutoPlay ? L"true" : L"false");
    Adopt(pGif, RECT{0, 0, 16, 16});
    pGif->Init();  // as the host does when the control joins a tree
    return pGif;
  }
  // The colour the control paints at its centre.
  uint32_t PaintedColour(CGifAnimUI* pGif) {
    testing_support::DibCanvas canvas(16, 16, 0x000000);
    pGif->Paint(canvas.dc(), RECT{0, 0, 16, 16}, nullptr);
    return canvas.Rgb(8, 8);
  }
  // Milliseconds until the frame after the current one shows; 0 when it never came.
  DWORD WaitForNextFrame(CGifAnimUI* pGif) {
    const UINT nFrom = pGif->GetCurrentFrame();
    const DWORD dwStart = ::GetTickCount();
    if (!PumpUntil([&] { return pGif->GetCurrentFrame() != nFrom; }, 2000)) return 0;
    return ::GetTickCount() - dwStart;
  }

  testing_support::ScratchFolder m_files{L"gifs"};
};

TEST_F(GifTest, FramesAdvanceInOrderEachAfterItsOwnDelay) {
  CGifAnimUI* pGif = AdoptGif(WriteGif(L"three.gif", {{kRed, 5}, {kGreen, 20}, {kBlue, 0}}));
  ASSERT_TRUE(pGif->IsPlaying());
  EXPECT_EQ(pGif->GetFrameCount(), 3u);
  const UINT aExpectedDelay[] = {50, 200, 100};  // a delay of 0 counts as 100 ms
  for (UINT i = 0; i < 4; ++i) {
    const UINT nFrame = pGif->GetCurrentFrame();
    EXPECT_EQ(nFrame, i % 3);
    const DWORD dwTook = WaitForNextFrame(pGif);
    EXPECT_GE(dwTook + 15, aExpectedDelay[nFrame]) << "frame " << nFrame << " left early";
    EXPECT_LT(dwTook, aExpectedDelay[nFrame] + 400) << "frame " << nFrame << " stayed too long";
  }
}

TEST_F(GifTest, StoppingOrHidingReturnsToTheFirstFrameAndShowsIt) {
  CGifAnimUI* pGif = AdoptGif(WriteGif(L"two.gif", {{kRed, 2}, {kGreen, 2}}));
  ASSERT_GT(WaitForNextFrame(pGif), 0u);
  EXPECT_EQ(PaintedColour(pGif), kGreen);
  pGif->Stop();
  EXPECT_FALSE(pGif->IsPlaying());
  EXPECT_EQ(pGif->GetCurrentFrame(), 0u);
  EXPECT_EQ(PaintedColour(pGif), kRed);
  PumpMessages(60);
  EXPECT_EQ(pGif->GetCurrentFrame(), 0u) << "the timer is gone";

  pGif->Play();
  ASSERT_GT(WaitForNextFrame(pGif), 0u);
  pGif->SetVisible(false);
  EXPECT_EQ(pGif->GetCurrentFrame(), 0u);
  PumpMessages(60);
  EXPECT_EQ(pGif->GetCurrentFrame(), 0u);
  pGif->SetVisible(true);
  EXPECT_TRUE(pGif->IsPlaying());
}

TEST_F(GifTest, SingleFrameImageShowsAndStaysOnItsFrame) {
  CGifAnimUI* pGif = AdoptGif(WriteGif(L"one.gif", {{kBlue, 2}}));
  EXPECT_EQ(pGif->GetFrameCount(), 1u);
  PumpMessages(80);
  EXPECT_EQ(pGif->GetCurrentFrame(), 0u);
  EXPECT_EQ(PaintedColour(pGif), kBlue);
}

TEST_F(GifTest, CorruptOrMissingFileLeavesAnEmptyControl) {
  const std::wstring corrupt = m_files / L"corrupt.gif";
  ASSERT_TRUE(testing_support::WriteFileBytes(corrupt, std::string("GIF89a\x10\x00\x10\x00garbage", 19)));
  for (const std::wstring& path : {corrupt, m_files / L"missing.gif"}) {
    CGifAnimUI* pGif = AdoptGif(path);
    EXPECT_FALSE(pGif->IsLoaded());
    EXPECT_FALSE(pGif->IsPlaying());
    EXPECT_EQ(PaintedColour(pGif), 0x000000u) << "nothing is drawn";
  }
}

TEST_F(GifTest, AutoSizeTakesTheImagesSizeAndAutoPlayOffWaits) {
  CGifAnimUI* pGif = new CGifAnimUI;
  pGif->ApplyAttribute(L"autosize", L"true");
  pGif->ApplyAttribute(L"autoplay", L"false");
  pGif->ApplyAttribute(L"bkimage", WriteGif(L"sized.gif", {{kRed, 2}, {kGreen, 2}}).c_str());
  Adopt(pGif, RECT{0, 0, 40, 40})->Init();
  EXPECT_EQ(pGif->GetFixedWidth(), 16);
  EXPECT_EQ(pGif->GetFixedHeight(), 16);
  EXPECT_FALSE(pGif->IsPlaying());
}

}  // namespace

// The preview window in this process, on a skin in a folder of its own: an edit is on screen
// within a second without anything asking for it, a skin that stops parsing keeps the last one
// on screen under an overlay that names the line and column, and fixing it takes the overlay
// away. Pictures of each state stay in the working folder (preview_*.png).

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CheckRecorder.h"
#include "Control/UIControlCatalog.h"
#include "Core/UIControl.h"
#include "PreviewWindow.h"
#include "support/DibCanvas.h"
#include "support/MessagePump.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"

namespace skinview_testing {
namespace {

using testing_support::DibCanvas;

std::string SkinWith(const char* pstrGreeting, const char* pstrColour) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
             "<Window size=\"320,160\" caption=\"0,0,0,30\">\n"
             "  <VerticalLayout bkcolor=\"") +
         pstrColour +
         "\" inset=\"20,20,20,20\">\n"
         "    <Label name=\"greeting\" text=\"" +
         pstrGreeting +
         "\" height=\"30\" textcolor=\"#FF000000\" />\n"
         "    <Control bkimage=\"parts\\stripe.png\" height=\"10\" />\n"
         "  </VerticalLayout>\n"
         "</Window>\n";
}

// A skin whose third line holds an attribute in single quotes, the quote at column 15.
const char kBroken[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Window size=\"320,160\">\n"
    "  <Label text='oops' />\n"
    "</Window>\n";

std::string Stripe(uint32_t colour) {
  return testing_support::EncodePng(testing_support::TestImage(40, 10, colour));
}

class PreviewReloadTest : public testing::Test {
 protected:
  void SetUp() override {
    // As skinview starts: the panel's skin comes from this program's resources.
    SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
    SkinUI::RegisterAllControls();
    ASSERT_TRUE(testing_support::CreateFolderTree(m_folder / L"parts"));
    ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"parts\\stripe.png", Stripe(0xFF2060C0)));
  }
  void TearDown() override {
    if (m_pPreview != nullptr && ::IsWindow(*m_pPreview)) ::DestroyWindow(*m_pPreview);
    m_pPreview.reset();
    SkinUI::CWindowHostUI::SetSkinFolder(L"");
    // Loads, reloads and failures leave the framework's own checks quiet.
    EXPECT_EQ(m_checks.conditions(), std::vector<std::string>{});
  }

  void Open(const std::string& text) {
    Write(text);
    SkinLocation skin;
    skin.folder = m_folder.path() + L"\\";
    skin.file = L"live.xml";
    SkinUI::CWindowHostUI::SetSkinFolder(skin.folder.c_str());
    m_pPreview.reset(new CPreviewWindow(skin, 0, SIZE{0, 0}, false));
    ASSERT_NE(m_pPreview->CreatePreview(), nullptr);
    ASSERT_TRUE(m_pPreview->IsWatching());
    ::SetWindowPos(*m_pPreview, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE);
    testing_support::PumpMessagesUntil([] { return false; }, 300);
  }

  void Write(const std::string& text) {
    ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"live.xml", text));
  }

  // Pumps until done or a second has passed since the change; true when done came in time.
  bool ShownWithinASecond(const std::function<bool()>& done) {
    const DWORD dwStart = ::GetTickCount();
    const bool bDone = testing_support::PumpMessagesUntil(done, 1000);
    m_dwTaken = ::GetTickCount() - dwStart;
    return bDone && m_dwTaken <= 1000;
  }

  SkinUI::CControlUI* Find(LPCWSTR pstrName) {
    return m_pPreview->GetWindowHost().FindControlByName(pstrName);
  }

  // The window's client area as the screen shows it; kept as preview_<label>.png.
  uint32_t ScreenPixel(int x, int y, const char* pstrLabel = nullptr) {
    RECT rc = {};
    ::GetClientRect(*m_pPreview, &rc);
    DibCanvas canvas(rc.right, rc.bottom);
    HDC hdc = ::GetDC(*m_pPreview);
    ::BitBlt(canvas.dc(), 0, 0, rc.right, rc.bottom, hdc, 0, 0, SRCCOPY);
    ::ReleaseDC(*m_pPreview, hdc);
    ::GdiFlush();
    if (pstrLabel != nullptr) Keep(canvas, pstrLabel);
    return canvas.Rgb(x, y);
  }

  static void Keep(const DibCanvas& canvas, const char* pstrLabel) {
    testing_support::TestImage image(canvas.width(), canvas.height());
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) image.at(x, y) = 0xFF000000 | canvas.Rgb(x, y);
    }
    const std::string label(pstrLabel);
    testing_support::WriteFileBytes(testing_support::CurrentFolder() + L"\\preview_" +
                                        std::wstring(label.begin(), label.end()) + L".png",
                                    testing_support::EncodePng(image, false));
  }

  skin_testing::CheckRecorder m_checks;
  testing_support::ScratchFolder m_folder{L"skinview-preview"};
  std::unique_ptr<CPreviewWindow> m_pPreview;
  DWORD m_dwTaken = 0;
};

TEST_F(PreviewReloadTest, AnEditToTheSkinOrAFileInItsFolderIsOnScreenWithinASecond) {
  Open(SkinWith("Hello", "#FFF0F0F0"));
  ASSERT_NE(Find(L"greeting"), nullptr);
  EXPECT_EQ(ScreenPixel(5, 5, "first"), 0xF0F0F0u);
  RECT rcBefore = {};
  ::GetWindowRect(*m_pPreview, &rcBefore);

  // Nothing changes, nothing is read again: the folder is watched, not polled.
  testing_support::PumpMessagesUntil([] { return false; }, 600);
  EXPECT_EQ(m_pPreview->LastLoad().nCount, 1);

  Write(SkinWith("Goodbye", "#FFFFE0A0"));
  EXPECT_TRUE(ShownWithinASecond([&] {
    SkinUI::CControlUI* pGreeting = Find(L"greeting");
    return pGreeting != nullptr && pGreeting->GetText() == L"Goodbye" && ScreenPixel(5, 5) == 0xFFE0A0u;
  })) << "took " << m_dwTaken << " ms";
  ScreenPixel(0, 0, "edited");
  RECT rcAfter = {};
  ::GetWindowRect(*m_pPreview, &rcAfter);
  EXPECT_TRUE(::EqualRect(&rcBefore, &rcAfter)) << "the window keeps its place";

  // The stripe below the greeting comes from an image in a folder below the skin's.
  const int yStripe = 20 + 30 + 5;
  EXPECT_EQ(ScreenPixel(30, yStripe), 0x2060C0u);
  ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"parts\\stripe.png", Stripe(0xFFC03020)));
  const int nLoadsBefore = m_pPreview->LastLoad().nCount;
  EXPECT_TRUE(ShownWithinASecond([&] { return ScreenPixel(30, yStripe) == 0xC03020u; }))
      << "took " << m_dwTaken << " ms" << " loads " << nLoadsBefore << " -> " << m_pPreview->LastLoad().nCount;
}

TEST_F(PreviewReloadTest, ASkinThatStopsParsingIsShownUnderTheErrorUntilItIsFixed) {
  Open(SkinWith("Hello", "#FFF0F0F0"));
  const uint32_t uCorner = ScreenPixel(20, 140);

  Write(kBroken);
  EXPECT_TRUE(ShownWithinASecond([&] { return m_pPreview->Overlay().IsShown(); }));
  const CPreviewWindow::Load& load = m_pPreview->LastLoad();
  EXPECT_FALSE(load.bParsed);
  EXPECT_EQ(load.nLine, 3);
  EXPECT_EQ(load.nColumn, 15);
  EXPECT_EQ(load.error, L"live.xml:3:15: error: Expected attribute value");
  // The last skin that parsed is still there, under the overlay's box.
  ASSERT_NE(Find(L"greeting"), nullptr);
  EXPECT_EQ(Find(L"greeting")->GetText(), L"Hello");
  const RECT rcBox = m_pPreview->Overlay().GetBox();
  EXPECT_TRUE(::PtInRect(&rcBox, POINT{20, 140}));
  EXPECT_NE(ScreenPixel(20, 140, "broken"), uCorner);
  EXPECT_EQ(ScreenPixel(5, 5), 0xF0F0F0u) << "outside the box the skin shows as it was";
  const std::vector<std::wstring> rows = m_pPreview->Panel().RowTexts();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], L"3:15  Expected attribute value");

  Write(SkinWith("Fixed", "#FFF0F0F0"));
  EXPECT_TRUE(ShownWithinASecond([&] {
    return !m_pPreview->Overlay().IsShown() && Find(L"greeting") != nullptr &&
           Find(L"greeting")->GetText() == L"Fixed" && ScreenPixel(20, 140) == uCorner;
  })) << "took " << m_dwTaken << " ms";
  EXPECT_TRUE(m_pPreview->LastLoad().bParsed);
  EXPECT_TRUE(m_pPreview->Panel().RowTexts().empty());
}

TEST_F(PreviewReloadTest, ASkinThatNeverParsedShowsTheErrorAloneAndItsWarningsOnceFixed) {
  Open(kBroken);
  EXPECT_TRUE(m_pPreview->Overlay().IsShown());
  EXPECT_EQ(m_pPreview->GetWindowHost().FindControlByName(L"greeting"), nullptr);
  ScreenPixel(0, 0, "never_parsed");

  Write(SkinWith("Hello", "#FFF0F0F0\" bordersise=\"1"));
  EXPECT_TRUE(ShownWithinASecond([&] { return !m_pPreview->Overlay().IsShown(); }));
  RECT rc = {};
  ::GetClientRect(*m_pPreview, &rc);
  EXPECT_EQ(rc.right, 320) << "the skin's size once it parses";
  EXPECT_EQ(m_pPreview->Panel().RowTexts(),
            std::vector<std::wstring>{
                L"3:39  unknown attribute \"bordersise\" on VerticalLayout; did you mean \"bordersize\"?"});
  ScreenPixel(0, 0, "with_warning");
}

}  // namespace
}  // namespace skinview_testing

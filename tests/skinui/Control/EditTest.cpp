// Single-line edits on a real window: typing through real keyboard messages into the native
// window, the limits it enforces, password masking, its colours over the skin, and the window
// closing with the focus, with a hidden container or with its control.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Control/UIEdit.h"
#include "Control/UILabel.h"
#include "ControlWindowFixture.h"
#include "Layout/UIVerticalLayout.h"
#include "support/DibCanvas.h"

namespace {

using namespace SkinUI;
using control_testing::TypeList;
using testing_support::DibCanvas;

class EditTest : public control_testing::ControlWindowTest {
 protected:
  // Edits stacked 30 pixels high in a blue vertical layout.
  void ShowEdits(std::initializer_list<CEditUI*> edits) {
    m_pRoot = new CVerticalLayoutUI;
    m_pRoot->SetBkColor(0xFF0000FF);
    for (CEditUI* pEdit : edits) {
      pEdit->SetFixedHeight(30);
      m_pRoot->AddItem(pEdit);
    }
    Show(m_pRoot);
  }
  // Focuses the edit the way a click does; answers its native window.
  HWND Focus(CEditUI* pEdit) {
    ClickControl(pEdit);
    return pEdit->GetNativeHandle();
  }
  // Each character as the keyboard sends it: key down, the character the message loop
  // translates it to, key up.
  void Type(HWND hWnd, const std::wstring& text) {
    for (wchar_t ch : text) {
      const SHORT vks = ::VkKeyScanW(ch);
      const UINT vk = LOBYTE(vks);
      HoldKeys(false, (HIBYTE(vks) & 1) != 0);
      PressKey(hWnd, vk);
    }
    HoldKeys(false, false);
  }
  void PressKey(HWND hWnd, UINT vk) {
    const LPARAM lScan = static_cast<LPARAM>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(hWnd, WM_KEYDOWN, vk, 1 | lScan);
    DrainMessages();
    ::PostMessageW(hWnd, WM_KEYUP, vk, 1 | lScan | 0xC0000000);
    DrainMessages();
  }
  void DrainMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  int Count(const wchar_t* pstrType) const {
    int n = 0;
    for (const auto& type : NoteTypes()) n += type == pstrType ? 1 : 0;
    return n;
  }
  static COLORREF PixelOf(HWND hWnd, int x, int y) {
    ::UpdateWindow(hWnd);
    HDC hDC = ::GetDC(hWnd);
    const COLORREF cr = ::GetPixel(hDC, x, y);
    ::ReleaseDC(hWnd, hDC);
    return cr;
  }

  // Pixels of the host's image inside rc darker than mid grey.
  int DarkPixels(const RECT& rc) const {
    const std::vector<uint32_t> pixels =
        testing_support::ReadBitmapPixels(m_host.GetPaintOffscreenBitmap(), kWindowWidth, kWindowHeight);
    if (pixels.empty()) return -1;
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
      for (int x = rc.left; x < rc.right; ++x) {
        const uint32_t p = pixels[static_cast<size_t>(y) * kWindowWidth + x];
        n += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 0x80 ? 1 : 0;
      }
    }
    return n;
  }

  CVerticalLayoutUI* m_pRoot = nullptr;
};

TEST_F(EditTest, TypedTextReachesTheControlChangeByChangeAndStaysWhenTheWindowCloses) {
  CEditUI* pEdit = new CEditUI;
  ShowEdits({pEdit, new CEditUI});
  HWND hWnd = Focus(pEdit);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_EQ(::GetFocus(), hWnd);
  EXPECT_EQ(Count(L"textchanged"), 0) << "opening is no change";
  Type(hWnd, L"Hello 42");
  EXPECT_STREQ(pEdit->GetText(), L"Hello 42");
  EXPECT_EQ(Count(L"textchanged"), 8);
  PressKey(hWnd, VK_RETURN);
  EXPECT_EQ(Count(L"return"), 1);
  EXPECT_STREQ(pEdit->GetText(), L"Hello 42") << "Return inserts nothing";

  ::SetFocus(m_hWnd);
  Pump();
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(pEdit->GetNativeHandle(), nullptr);
  EXPECT_STREQ(pEdit->GetText(), L"Hello 42");
}

TEST_F(EditTest, TheNativeWindowEnforcesLengthNumbersAndReadOnly) {
  CEditUI* pShort = new CEditUI;
  pShort->ApplyAttribute(L"maxchar", L"3");
  CEditUI* pNumber = new CEditUI;
  pNumber->ApplyAttribute(L"numberonly", L"true");
  CEditUI* pFixed = new CEditUI;
  pFixed->ApplyAttribute(L"readonly", L"true");
  pFixed->SetText(L"keep");
  ShowEdits({pShort, pNumber, pFixed});
  Type(Focus(pShort), L"abcdef");
  Type(Focus(pNumber), L"1a2");
  Type(Focus(pFixed), L"xy");
  EXPECT_STREQ(pShort->GetText(), L"abc");
  EXPECT_STREQ(pNumber->GetText(), L"12");
  EXPECT_STREQ(pFixed->GetText(), L"keep");
}

TEST_F(EditTest, FocusSelectsEverythingOrPutsTheCaretAtTheEnd) {
  CEditUI* pAll = new CEditUI;
  pAll->ApplyAttribute(L"autoselall", L"true");
  pAll->SetText(L"abc");
  CEditUI* pEnd = new CEditUI;
  pEnd->SetText(L"abcd");
  ShowEdits({pAll, pEnd});
  DWORD dwStart = 9;
  DWORD dwEnd = 9;
  ::SendMessageW(Focus(pAll), EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
  EXPECT_EQ(dwStart, 0u);
  EXPECT_EQ(dwEnd, 3u);
  // A click on an open edit puts the caret where it lands; focusing by keyboard leaves it at the end.
  m_host.SetFocusControl(pEnd);
  ::SendMessageW(pEnd->GetNativeHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
  EXPECT_EQ(dwStart, 4u);
  EXPECT_EQ(dwEnd, 4u);
}

TEST_F(EditTest, PasswordsPaintOneMaskCharacterPerCharacter) {
  CEditUI* pEdit = new CEditUI;
  pEdit->ApplyAttribute(L"password", L"true");
  pEdit->SetText(L"a\U0001F600bcd");  // a surrogate pair counts once
  CLabelUI* pMask = new CLabelUI;
  pMask->SetText(L"*****");
  pMask->SetFixedHeight(30);
  pMask->SetTextPadding(pEdit->GetTextPadding());
  ShowEdits({pEdit});
  m_pRoot->AddItem(pMask);
  Relayout();
  EXPECT_STREQ(pEdit->GetDisplayText(), L"*****");

  const int cx = pEdit->GetWidth();
  DibCanvas edit(cx, 30, 0x00FFFFFF);
  DibCanvas label(cx, 30, 0x00FFFFFF);
  ::SetWindowOrgEx(edit.dc(), 0, pEdit->GetY(), nullptr);
  ::SetWindowOrgEx(label.dc(), 0, pMask->GetY(), nullptr);
  pEdit->PaintTextLayer(edit.dc());
  pMask->PaintTextLayer(label.dc());
  EXPECT_GT(edit.CountOtherThan(0xFFFFFF, 0, 0, cx, 30), 0);
  EXPECT_TRUE(edit.SamePixels(label));

  HWND hWnd = Focus(pEdit);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_NE(::GetWindowLongW(hWnd, GWL_STYLE) & ES_PASSWORD, 0);
  EXPECT_EQ(::SendMessageW(hWnd, EM_GETPASSWORDCHAR, 0, 0), L'*');
}

TEST_F(EditTest, ANativeBackgroundColourTintsWhatLiesUnderTheWindow) {
  CEditUI* pTinted = new CEditUI;
  pTinted->ApplyAttribute(L"nativebkcolor", L"#80FF0000");
  pTinted->SetBkColor(0);  // the blue layout shows through the control
  CEditUI* pSolid = new CEditUI;
  pSolid->ApplyAttribute(L"nativebkcolor", L"FF00FF00");
  ShowEdits({pTinted, pSolid});
  const COLORREF crTinted = PixelOf(Focus(pTinted), 1, 1);
  EXPECT_EQ(GetRValue(crTinted), 0xFF);
  EXPECT_EQ(GetGValue(crTinted), 0x00);
  EXPECT_NEAR(GetBValue(crTinted), 0x7F, 2) << "half of the blue under the window";
  EXPECT_EQ(PixelOf(Focus(pSolid), 1, 1), RGB(0, 0xFF, 0));
}

TEST_F(EditTest, InALayeredWindowTypedTextShowsInTheWindowsImage) {
  m_host.SetLayered(true);
  CEditUI* pEdit = new CEditUI;
  ShowEdits({pEdit});
  HWND hWnd = Focus(pEdit);
  ASSERT_NE(hWnd, nullptr);
  PumpFor(100);
  const RECT rcText = pEdit->GetPosition();
  const int nBefore = DarkPixels(rcText);
  Type(hWnd, L"WWWW");
  PumpFor(100);
  EXPECT_STREQ(pEdit->GetText(), L"WWWW");
  EXPECT_GT(DarkPixels(rcText), nBefore + 20) << "the layered image was recomposed with the text";
}

TEST_F(EditTest, HidingTheContainerOfAnOpenEditClearsTheFocusAndClosesTheWindow) {
  CEditUI* pEdit = new CEditUI;
  ShowEdits({pEdit});
  HWND hWnd = Focus(pEdit);
  ASSERT_NE(hWnd, nullptr);
  m_pRoot->SetVisible(false);
  Pump();
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(EditTest, AnEditDestroyedWhileItsWindowHasTheFocusTakesTheWindowAlong) {
  CEditUI* pEdit = new CEditUI;
  const std::wstring sLong(100000, L'x');
  pEdit->SetText(sLong.c_str());
  ShowEdits({pEdit, new CEditUI});
  HWND hWnd = Focus(pEdit);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_EQ(pEdit->GetText().GetLength(), 100000);
  m_pRoot->SetDeferredDelete(false);
  m_pRoot->RemoveItem(pEdit);
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  Pump();
  Relayout();
  ClickControl(m_pRoot->GetItemAt(0));
  EXPECT_NE(m_pRoot->GetItemAt(0)->GetNativeHandle(), nullptr) << "the window still works";
}

}  // namespace

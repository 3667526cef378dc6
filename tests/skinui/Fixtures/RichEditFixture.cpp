#include "RichEditFixture.h"

#include <richedit.h>

#include <memory>
#include <vector>

#include "Core/UIDlgBuilder.h"
#include "support/DibCanvas.h"
#include "support/RealInput.h"

namespace rich_edit_testing {

void RichEditTest::SetUp() {
  HostPaintTest::SetUp();
  ASSERT_TRUE(::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, kWindowWidth, kWindowHeight,
                             SWP_SHOWWINDOW));
}

SkinUI::CControlUI* RichEditTest::BuildWindow(const std::wstring& markup) {
  SkinUI::CSkinBuilder builder;
  const std::wstring text = L"<Window>" + markup + L"</Window>";
  SkinUI::CControlUI* pRoot = builder.Build(text.c_str(), nullptr, nullptr, &m_host);
  if (pRoot == nullptr) return nullptr;
  m_host.AttachRoot(pRoot);
  ::SetForegroundWindow(m_hWnd);
  ::SetActiveWindow(m_hWnd);
  ::SetFocus(m_hWnd);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  Pump(100);
  return pRoot;
}

SkinUI::CRichEditUI* RichEditTest::RichEdit(const wchar_t* pstrName) {
  SkinUI::CControlUI* pControl = m_host.FindControlByName(pstrName);
  return pControl == nullptr
             ? nullptr
             : static_cast<SkinUI::CRichEditUI*>(pControl->QueryNamedInterface(L"RichEdit"));
}

void RichEditTest::Pump(DWORD ms) {
  const DWORD dwStart = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (SkinUI::CWindowHostUI::TranslateForHosts(&msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (::GetTickCount() - dwStart < ms);
}

void RichEditTest::TypeText(const std::wstring& text) {
  testing_support::SendText(text);
  Pump();
}

void RichEditTest::PressKey(WORD vk, WORD modifier1, WORD modifier2) {
  testing_support::SendKeyPress(vk, modifier1, modifier2);
  Pump();
}

void RichEditTest::Click(POINT ptClient) {
  testing_support::ClickMouse(testing_support::ScreenPoint(m_hWnd, ptClient.x, ptClient.y));
  Pump();
}

LRESULT RichEditTest::Ask(SkinUI::CRichEditUI* pEdit, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  pEdit->SendTextMessage(uMsg, wParam, lParam, &lResult);
  return lResult;
}

CHARRANGE RichEditTest::Selection(SkinUI::CRichEditUI* pEdit) {
  CHARRANGE range = {-1, -1};
  Ask(pEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

testing_support::TestImage RichEditTest::Capture() const {
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  testing_support::TestImage image(rc.right, rc.bottom);
  void* pBits = nullptr;
  HDC hWindowDC = ::GetDC(m_hWnd);
  HDC hMemDC = ::CreateCompatibleDC(hWindowDC);
  HBITMAP hBitmap = testing_support::CreateTopDownDib(image.width, image.height, &pBits);
  HGDIOBJ hOld = ::SelectObject(hMemDC, hBitmap);
  ::BitBlt(hMemDC, 0, 0, image.width, image.height, hWindowDC, 0, 0, SRCCOPY);
  const uint32_t* pPixels = static_cast<const uint32_t*>(pBits);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = 0xFF000000u | pPixels[i];
  ::SelectObject(hMemDC, hOld);
  ::DeleteObject(hBitmap);
  ::DeleteDC(hMemDC);
  ::ReleaseDC(m_hWnd, hWindowDC);
  return image;
}

uint32_t RichEditTest::OffscreenPixel(POINT pt) const {
  BITMAP bitmap = {};
  HBITMAP hBitmap = m_host.GetPaintOffscreenBitmap();
  if (hBitmap == nullptr || ::GetObjectW(hBitmap, sizeof(bitmap), &bitmap) == 0) return 0;
  const std::vector<uint32_t> pixels =
      testing_support::ReadBitmapPixels(hBitmap, bitmap.bmWidth, bitmap.bmHeight);
  if (pixels.empty() || pt.x < 0 || pt.x >= bitmap.bmWidth || pt.y < 0 || pt.y >= bitmap.bmHeight) {
    return 0;
  }
  return pixels[static_cast<size_t>(pt.y) * bitmap.bmWidth + pt.x];
}

}  // namespace rich_edit_testing

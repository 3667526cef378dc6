#pragma once
// Rich edits built from skin markup into the host of a real, active window, driven by real input
// (SendInput, through the message loop the framework's modal loop runs) and read back through
// the engine.

#include <windows.h>
#include <richedit.h>

#include <string>

#include "Control/UIRichEdit.h"
#include "HostPaintFixture.h"
#include "support/PngWriter.h"

namespace rich_edit_testing {

class RichEditTest : public host_paint_testing::HostPaintTest {
 public:
  static const int kWindowWidth = 360;
  static const int kWindowHeight = 240;

 protected:
  void SetUp() override;

  // Builds "<Window>" + markup + "</Window>" as the host's tree, activates and paints the
  // window. Null when the markup does not build.
  SkinUI::CControlUI* BuildWindow(const std::wstring& markup);
  SkinUI::CRichEditUI* RichEdit(const wchar_t* pstrName = L"edit");

  // Runs the message loop the way the framework's modal loop does (hosts translate first).
  void Pump(DWORD ms = 60);
  void TypeText(const std::wstring& text);
  // A key with the modifiers held (VK_CONTROL, VK_SHIFT), each pressed and released in order.
  void PressKey(WORD vk, WORD modifier1 = 0, WORD modifier2 = 0);
  void Click(POINT ptClient);

  // The engine's answer to a message.
  static LRESULT Ask(SkinUI::CRichEditUI* pEdit, UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  static CHARRANGE Selection(SkinUI::CRichEditUI* pEdit);

  // What the window shows, read through its device context.
  testing_support::TestImage Capture() const;
  // A pixel of the host's off-screen image (what a layered window presents), 0xAARRGGBB.
  uint32_t OffscreenPixel(POINT pt) const;
};

}  // namespace rich_edit_testing

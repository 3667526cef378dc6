// The smallest program on the framework: a skinned window with a greeting and a button that
// closes it. `hello --selftest` builds the window, checks that the skin made its controls and a
// click on the button ends it, and exits with 0 when all went well.

#include <windows.h>

#include "Control/UIControlCatalog.h"
#include "Core/UIConstants.h"
#include "Core/UIControl.h"
#include "Utils/WinImplBase.h"

namespace {

const wchar_t kSkin[] =
    L"<Window size=\"320,160\" caption=\"0,0,0,30\">"
    L"<VerticalLayout bkcolor=\"#FFF4F6F8\" inset=\"16,16,16,16\">"
    L"<Label name=\"greeting\" text=\"Hello from skinui\" height=\"40\"/>"
    L"<Button name=\"btn_close\" text=\"Close\" height=\"32\" bkcolor=\"#FF3A7BD5\""
    L" textcolor=\"#FFFFFFFF\"/>"
    L"</VerticalLayout></Window>";

class CHelloWindow : public SkinUI::WindowImplBase {
 public:
  UI_DECLARE_NOTIFY_MAP()

  bool closedByButton = false;

 protected:
  LPCWSTR WindowClassName() const override { return L"SkinUIHello"; }
  SkinUI::CUIString SkinFolder() const override { return SkinUI::CUIString(); }
  // Skin text that starts with "<" is the skin itself rather than a file name.
  SkinUI::CUIString SkinFile() const override { return kSkin; }

 private:
  void OnCloseClick(SkinUI::NotifyEvent&) {
    closedByButton = true;
    Close(IDOK);
  }
};

UI_BEGIN_NOTIFY_MAP(CHelloWindow, WindowImplBase)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyClick, L"btn_close", OnCloseClick)
UI_END_NOTIFY_MAP()

int SelfTest(CHelloWindow& window) {
  SkinUI::CWindowHostUI& host = window.GetWindowHost();
  SkinUI::CControlUI* pGreeting = host.FindControlByName(L"greeting");
  SkinUI::CControlUI* pButton = host.FindControlByName(L"btn_close");
  if (pGreeting == nullptr || pButton == nullptr) return 2;
  if (pGreeting->GetText() != L"Hello from skinui") return 3;
  // The button's click, as the host would raise it, goes through the window's table.
  host.RaiseNotification(pButton, SkinUI::kNotifyClick);
  MSG msg;
  while (::IsWindow(window.GetHWND()) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return window.closedByButton ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
  SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  // Every control a skin may name; a program may register only those its skins use instead.
  SkinUI::RegisterAllControls();
  CHelloWindow window;
  if (window.Create(nullptr, L"Hello", WS_POPUP | WS_SYSMENU, 0, 0, 0, 0, 0) == nullptr) return 1;
  window.CenterOnOwner();
  if (argc > 1 && ::lstrcmpA(argv[1], "--selftest") == 0) return SelfTest(window);
  return window.RunModal();
}

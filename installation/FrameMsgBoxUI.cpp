#include "FrameMsgBoxUI.h"

#include <new>
#include <string>

#include "Common/tool.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "SetupConstants.h"

namespace {
// Visible overlapped window with caption, system menu, sizing frame, minimise and maximise
// boxes, raised edge: the skinned-window base strips the caption and sizes it from the skin.
constexpr DWORD kBoxStyle = 0x10CF0000;
constexpr DWORD kBoxExStyle = WS_EX_WINDOWEDGE;
}  // namespace

UI_BEGIN_NOTIFY_MAP(CFrameMsgBoxUI, CXMLWnd)
UI_ON_NOTIFY(L"click", OnClickNotify)
UI_END_NOTIFY_MAP()

CFrameMsgBoxUI::CFrameMsgBoxUI(LPCWSTR pstrSkinFile) : CXMLWnd(pstrSkinFile) {}

void CFrameMsgBoxUI::OnWindowGone(HWND hWnd) {
  CXMLWnd::OnWindowGone(hWnd);
  delete this;
}

void ShowSetupError(HWND hMainWnd, UINT nStringId) {
  const std::wstring text = setup::LoadStringResource(SkinUI::CWindowHostUI::GetModuleInstance(), nStringId);
  CFrameMsgBoxUI* pBox = new (std::nothrow) CFrameMsgBoxUI(setup::kMessageBoxSkin);
  if (pBox == nullptr) return;
  // The title is the main window's class name, as every installer window's is.
  if (pBox->Create(hMainWnd, setup::kWindowClassName, kBoxStyle, kBoxExStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                   CW_USEDEFAULT, CW_USEDEFAULT) == nullptr) {
    // Not deleted: a window that failed after its first message has already taken the object
    // with it, and one that never got that far leaves only these few bytes behind.
    return;
  }
  pBox->CenterOnOwner();
  if (SkinUI::CControlUI* pText = pBox->GetWindowHost().FindControlByName(L"main_txt")) {
    pText->SetText(text.c_str());
  }
  // The box deletes itself when its window goes; it is not touched after the loop.
  pBox->RunModal(true);
  ::PostMessageW(hMainWnd, WM_CLOSE, 0, 0);
}

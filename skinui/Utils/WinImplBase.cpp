// The skinned window's message router, its notifications and standard system buttons, the
// default-key filter, and the end of the window.

#include "Utils/WinImplBase.h"

#include "Core/UIConstants.h"
#include "Core/UIControl.h"

namespace SkinUI {

namespace {

// Handler slots the router gives messages to, as one table.
typedef LRESULT (WindowImplBase::*MessageHandler)(UINT, WPARAM, LPARAM, bool&);

// The answer of every handler that leaves its message to the next stage.
LRESULT NotHandled(bool& bHandled) {
  bHandled = false;
  return 0;
}

}  // namespace

// The standard system buttons, by the names skins give them.
UI_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"closebtn", OnCloseButton)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"minbtn", OnMinimizeButton)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"maxbtn", OnMaximizeButton)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"restorebtn", OnRestoreButton)
UI_END_NOTIFY_MAP()

WindowImplBase::WindowImplBase() = default;

// The embedded host goes first (it destroys the control tree), then the pump's table.
WindowImplBase::~WindowImplBase() = default;

LPCWSTR WindowImplBase::SuperclassName() const { return nullptr; }

UINT WindowImplBase::ClassStyle() const { return CS_DBLCLKS; }

LRESULT WindowImplBase::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // Inside a member: the handlers are protected.
  static const struct {
    UINT uMsg;
    MessageHandler pfnHandler;
  } kRoutes[] = {
      {WM_CREATE, &WindowImplBase::HandleCreate},
      {WM_DESTROY, &WindowImplBase::HandleDestroy},
      {WM_SIZE, &WindowImplBase::HandleSize},
      {WM_SETFOCUS, &WindowImplBase::HandleSetFocus},
      {WM_KILLFOCUS, &WindowImplBase::HandleKillFocus},
      {WM_CLOSE, &WindowImplBase::HandleClose},
      {WM_GETMINMAXINFO, &WindowImplBase::HandleGetMinMaxInfo},
      {WM_NCCALCSIZE, &WindowImplBase::HandleNcCalcSize},
      {WM_NCHITTEST, &WindowImplBase::HandleNcHitTest},
      {WM_NCPAINT, &WindowImplBase::HandleNcPaint},
      {WM_NCACTIVATE, &WindowImplBase::HandleNcActivate},
      {WM_KEYDOWN, &WindowImplBase::HandleKeyDown},
      {WM_CHAR, &WindowImplBase::HandleChar},
      {WM_SYSCOMMAND, &WindowImplBase::HandleSysCommand},
      {WM_MOUSEMOVE, &WindowImplBase::HandleMouseMove},
      {WM_LBUTTONDOWN, &WindowImplBase::HandleLButtonDown},
      {WM_LBUTTONUP, &WindowImplBase::HandleLButtonUp},
      {WM_MOUSEWHEEL, &WindowImplBase::HandleMouseWheel},
      {WM_MOUSEHOVER, &WindowImplBase::HandleMouseHover},
  };
  LRESULT lRes = 0;
  bool bHandled = false;
  for (const auto& route : kRoutes) {
    if (route.uMsg != uMsg) continue;
    bHandled = true;
    lRes = (this->*route.pfnHandler)(uMsg, wParam, lParam, bHandled);
    if (bHandled) return lRes;
    break;
  }
  lRes = ProcessOtherMessage(uMsg, wParam, lParam, bHandled);
  if (bHandled) return lRes;
  if (m_Host.HandleWindowMessage(uMsg, wParam, lParam, lRes)) return lRes;
  return CallPreviousProc(uMsg, wParam, lParam);
}

void WindowImplBase::OnWindowGone(HWND /*hWnd*/) {
  m_Host.UnregisterPreFilter(this);
  m_Host.UnregisterNotifier(this);
  // Forgetting the root also ends the host's ownership of it, so the tree is destroyed here,
  // while the host it reports to is still whole.
  CControlUI* pRoot = m_Host.GetRoot();
  if (pRoot == nullptr) return;
  m_Host.ForgetControl(pRoot);
  delete pRoot;
}

void WindowImplBase::OnSkinLoaded() {}

void WindowImplBase::OnCloseButton(NotifyEvent& /*event*/) { Close(2); }

void WindowImplBase::OnMinimizeButton(NotifyEvent& /*event*/) { Send(WM_SYSCOMMAND, SC_MINIMIZE); }

void WindowImplBase::OnMaximizeButton(NotifyEvent& /*event*/) { Send(WM_SYSCOMMAND, SC_MAXIMIZE); }

void WindowImplBase::OnRestoreButton(NotifyEvent& /*event*/) { Send(WM_SYSCOMMAND, SC_RESTORE); }

bool WindowImplBase::OnDefaultKey(WPARAM wKey) { return wKey == VK_ESCAPE; }

int WindowImplBase::SkinResourceKind() const { return kSkinFromFolder; }

CUIString WindowImplBase::SkinArchiveName() const { return CUIString(); }

LPCWSTR WindowImplBase::SkinResourceId() const { return L""; }

LRESULT WindowImplBase::HandleClose(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleNcPaint(UINT, WPARAM, LPARAM, bool& /*bHandled*/) { return 0; }

LRESULT WindowImplBase::HandleMouseWheel(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleMouseHover(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleChar(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleKeyDown(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleKillFocus(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleSetFocus(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleLButtonDown(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleLButtonUp(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleMouseMove(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

LRESULT WindowImplBase::ProcessOtherMessage(UINT, WPARAM, LPARAM, bool& bHandled) {
  return NotHandled(bHandled);
}

void WindowImplBase::Notify(NotifyEvent& event) { PumpNotify(event); }

LRESULT WindowImplBase::FilterMessage(UINT uMsg, WPARAM wParam, LPARAM /*lParam*/,
                                      bool& bHandled) {
  if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    bHandled = OnDefaultKey(wParam);
  }
  return 0;
}

CControlUI* WindowImplBase::CreateCustomControl(LPCWSTR /*pstrClass*/) { return nullptr; }

}  // namespace SkinUI

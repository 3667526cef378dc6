#include "windows/XMLWnd.h"

#include <oleacc.h>

#include "Control/UIButton.h"
#include "Control/UIEdit.h"
#include "Control/UILabel.h"
#include "Control/UIProgress.h"
#include "Control/UIScrollBar.h"
#include "Control/UIText.h"
#include "Core/UIControlFactory.h"
#include "Layout/UIHorizontalLayout.h"
#include "Layout/UIVerticalLayout.h"
#include "Utils/UIShadow.h"
#include "resource.h"
#include "windows/WindowConstants.h"

namespace {

// The elements the installer's own skins are made of, and their window shadow. Only these are
// linked into the installer: the framework's other controls (lists, trees, hosted objects,
// animations) would add to the program for nothing.
void RegisterInstallerElements() {
  using namespace SkinUI;
  RegisterControl<CVerticalLayoutUI>(L"VerticalLayout");
  RegisterControl<CHorizontalLayoutUI>(L"HorizontalLayout");
  RegisterControl<CLabelUI>(L"Label");
  RegisterControl<CTextUI>(L"Text");
  RegisterControl<CButtonUI>(L"Button");
  RegisterControl<CProgressUI>(L"Progress");
  RegisterControl<CEditUI>(L"Edit");
  RegisterControl<CScrollBarUI>(L"ScrollBar");
  CShadowUI::RegisterAsHostShadow();
}

}  // namespace

CXMLWnd::CXMLWnd(LPCWSTR pstrSkinFile) : m_strSkinFile(pstrSkinFile) { RegisterInstallerElements(); }

CXMLWnd::~CXMLWnd() = default;

HWND CXMLWnd::CreateOver(HWND hOwner) {
  if (Create(hOwner, setup::kWindowClassName, kInstallerWindowStyle, kInstallerWindowExStyle, CW_USEDEFAULT,
             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT) == nullptr) {
    return nullptr;
  }
  CenterOnOwner();
  return m_hWnd;
}

LRESULT CXMLWnd::HandleCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  const LRESULT lRes = SkinUI::WindowImplBase::HandleCreate(uMsg, wParam, lParam, bHandled);
  // Each window asks or tells the person something: a screen reader names it by the title its
  // skin shows at the top.
  if (const SkinUI::CControlUI* pTitle = m_Host.FindControlByName(setup::kTitleControlName)) {
    const SkinUI::CUIString sTitle = pTitle->GetText();
    // The main window is created with it already; a box is not.
    WCHAR szCurrent[64] = {};
    ::GetWindowTextW(m_hWnd, szCurrent, 64);
    if (!sTitle.IsEmpty() && sTitle != szCurrent) ::SetWindowTextW(m_hWnd, sTitle);
  }
  SkinUI::CControlUI* pRoot = m_Host.GetRoot();
  if (pRoot != nullptr && pRoot->GetAccessibleRole() == 0) pRoot->SetAccessibleRole(ROLE_SYSTEM_DIALOG);
  return lRes;
}

LPCWSTR CXMLWnd::WindowClassName() const { return setup::kWindowClassName; }

// Skin files sit at the top of the archive.
SkinUI::CUIString CXMLWnd::SkinFolder() const { return SkinUI::CUIString(); }

SkinUI::CUIString CXMLWnd::SkinFile() const { return m_strSkinFile; }

int CXMLWnd::SkinResourceKind() const { return SkinUI::kSkinFromArchiveResource; }

LPCWSTR CXMLWnd::SkinResourceId() const { return MAKEINTRESOURCEW(IDR_SKIN_ARCHIVE); }

LRESULT CXMLWnd::ProcessOtherMessage(UINT uMsg, WPARAM wParam, LPARAM /*lParam*/,
                                     bool& bHandled) {
  // The press still goes on to the host and to the default handling, so the drag works as
  // usual; from then on the border no longer resizes the window.
  if (uMsg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
    const LONG lStyle = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, lStyle & ~WS_THICKFRAME);
  }
  bHandled = false;
  return 0;
}

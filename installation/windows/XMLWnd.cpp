#include "windows/XMLWnd.h"

#include "Control/UIButton.h"
#include "Control/UIEdit.h"
#include "Control/UILabel.h"
#include "Control/UIProgress.h"
#include "Control/UIRichEdit.h"
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
  RegisterControl<CRichEditUI>(L"RichEdit");
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

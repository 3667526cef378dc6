#include "windows/XMLWnd.h"

#include "Control/UIControlCatalog.h"
#include "resource.h"
#include "windows/WindowConstants.h"

CXMLWnd::CXMLWnd(LPCWSTR pstrSkinFile) : m_strSkinFile(pstrSkinFile) {
  // The skins may name any control the framework has (and a window shadow).
  SkinUI::RegisterAllControls();
}

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

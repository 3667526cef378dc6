#pragma once
// CXMLWnd: the base of the installer's skinned windows. Every installer window draws its skin
// from the archive stored in the program's own resources, under one window class; a concrete
// window only names its skin file.

#include <windows.h>

#include "Utils/WinImplBase.h"

// Visible overlapped window with caption, system menu, sizing frame, minimise and maximise
// boxes, raised edge: the skinned-window base strips the caption and sizes it from the skin.
inline constexpr DWORD kInstallerWindowStyle = 0x10CF0000;
inline constexpr DWORD kInstallerWindowExStyle = WS_EX_WINDOWEDGE;

class CXMLWnd : public SkinUI::WindowImplBase {
 public:
  // pstrSkinFile: the skin's file name in the archive, e.g. "installation.xml".
  explicit CXMLWnd(LPCWSTR pstrSkinFile);
  ~CXMLWnd() override;

  // A box over `hOwner`: created with the installer's styles and centred on the owner. Null
  // when the window could not be made; a window that failed after its first message has taken
  // the object with it.
  HWND CreateOver(HWND hOwner);

 protected:
  LPCWSTR WindowClassName() const override;
  SkinUI::CUIString SkinFolder() const override;
  SkinUI::CUIString SkinFile() const override;
  int SkinResourceKind() const override;
  LPCWSTR SkinResourceId() const override;
  // Once the skin is built the window is a dialog to assistive technology, titled with the
  // text of its skin's caption ("titlename").
  LRESULT HandleCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  // A press on the caption takes the sizing frame away.
  LRESULT ProcessOtherMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

  SkinUI::CUIString m_strSkinFile;
};

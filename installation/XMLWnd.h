#pragma once
// CXMLWnd: the base of the installer's skinned windows. Every installer window draws its skin
// from the archive stored in the program's own resources, under one window class; a concrete
// window only names its skin file.

#include <windows.h>

#include "Utils/WinImplBase.h"

class CXMLWnd : public SkinUI::WindowImplBase {
 public:
  // pstrSkinFile: the skin's file name in the archive, e.g. "installation.xml".
  explicit CXMLWnd(LPCWSTR pstrSkinFile);
  ~CXMLWnd() override;

 protected:
  LPCWSTR WindowClassName() const override;
  SkinUI::CUIString SkinFolder() const override;
  SkinUI::CUIString SkinFile() const override;
  int SkinResourceKind() const override;
  LPCWSTR SkinResourceId() const override;
  // A press on the caption takes the sizing frame away.
  LRESULT ProcessOtherMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

  SkinUI::CUIString m_strSkinFile;
};

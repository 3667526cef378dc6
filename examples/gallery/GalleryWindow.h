#pragma once
// The gallery's window: a plain native window whose host shows the controls of "gallery.xml",
// and whose notification handler makes the controls talk to each other a little.

#include <windows.h>

#include "Core/UIBase.h"
#include "Core/UIManager.h"

class CGalleryWindow : public SkinUI::CWindowWnd, public SkinUI::INotifyUI {
 public:
  // The names of the controls the skin must have built, null-terminated.
  static const wchar_t* const kControlNames[];

  SkinUI::CWindowHostUI& Host() { return m_host; }
  bool IsBuilt() const { return m_bBuilt; }
  void Notify(SkinUI::NotifyEvent& event) override;

 protected:
  LPCWSTR WindowClassName() const override { return L"QuillGalleryWindow"; }
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool BuildSkin();

  SkinUI::CWindowHostUI m_host;
  bool m_bBuilt = false;
};

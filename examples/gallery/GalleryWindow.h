#pragma once
// The gallery's window: a skinned window (WindowImplBase) whose skin "gallery.xml" shows every
// control of the framework on five tab pages. The notification table below is the part to
// read: it shows how a program hears its controls and answers them.

#include <windows.h>

#include "Utils/WinImplBase.h"

class CGalleryWindow : public SkinUI::WindowImplBase {
 public:
  // One tab page: the option that shows it and the names of the controls on it, null-terminated.
  struct Page {
    const wchar_t* pstrTab;
    const wchar_t* const* ppControls;
    // The page's controls a person works with the keyboard: Tab reaches each of them.
    const wchar_t* const* ppKeyboard;
  };
  static const Page kPages[];
  static const int kPageCount;

  UI_DECLARE_NOTIFY_MAP()

 protected:
  LPCWSTR WindowClassName() const override { return L"SkinUIGallery"; }
  // The skin and its pictures sit in the folder "skin" beside the program.
  SkinUI::CUIString SkinFolder() const override { return L"skin\\"; }
  SkinUI::CUIString SkinFile() const override { return L"gallery.xml"; }
  void OnSkinLoaded() override;

 private:
  void OnAddClick(SkinUI::NotifyEvent& event);
  void OnResetClick(SkinUI::NotifyEvent& event);
  void OnPreviousPageClick(SkinUI::NotifyEvent& event);
  void OnNextPageClick(SkinUI::NotifyEvent& event);
  void OnChildButtonClick(SkinUI::NotifyEvent& event);
  void OnSelectChanged(SkinUI::NotifyEvent& event);
  void OnSliderChanged(SkinUI::NotifyEvent& event);
  void OnScroll(SkinUI::NotifyEvent& event);
  void OnLink(SkinUI::NotifyEvent& event);
  void OnEditChanged(SkinUI::NotifyEvent& event);
  void OnListSelect(SkinUI::NotifyEvent& event);
  void OnComboSelect(SkinUI::NotifyEvent& event);
  void OnTreeSelect(SkinUI::NotifyEvent& event);
  void OnTileSelect(SkinUI::NotifyEvent& event);
  void OnDpiChanged(SkinUI::NotifyEvent& event);

  // The control of that name, as the class the skin made it.
  template <class T>
  T* Find(LPCWSTR pstrName) {
    return static_cast<T*>(m_Host.FindControlByName(pstrName));
  }
  // Moves the progress bar and the slider together and says where they are.
  void ShowValue(int nValue);
  // One line in the status bar at the foot of the window.
  void ShowStatus(LPCWSTR pstrFormat, ...);
  // The window's DPI and scale, at the right of the status bar.
  void ShowDpi();
};

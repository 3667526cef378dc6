#pragma once
// CComboWnd: the pop-up of an open combo box. It has a window host of its own whose root is a
// scrolling column holding the combo's items (which stay the combo's), closes when it loses the
// focus, and deletes itself when its window is gone.

#include <windows.h>

#include "Core/UIBase.h"
#include "Core/UIManager.h"

namespace SkinUI {

class CComboUI;
class CControlUI;
class CVerticalLayoutUI;

class CComboWnd : public CWindowWnd {
 public:
  // Places, creates and shows the pop-up under (or above) pOwner. False when it cannot be made;
  // the object has then deleted itself.
  bool OpenFor(CComboUI* pOwner);
  // Scrolls the item at iIndex into view.
  void EnsureVisible(int iIndex);
  void Scroll(int dx, int dy);
  // Posts the close request.
  void RequestClose();
  // The combo lets go of an item while the pop-up shows it.
  void DetachItem(CControlUI* pItem);
  // The combo is going away: its items go back to it and the window is destroyed without
  // reporting to it.
  void Abandon();

  CWindowHostUI& GetDropDownHost() { return m_host; }
  CVerticalLayoutUI* GetLayout() const { return m_pLayout; }

 protected:
  LPCWSTR WindowClassName() const override;
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND hWnd) override;

 private:
  RECT PlaceUnderOwner() const;
  void BuildLayout();
  // The items go back to the combo's own host and parent.
  void ReturnItems();
  void SendToOwner(int iKind, WPARAM wParam);

  CComboUI* m_pOwner = nullptr;
  int m_iOldSel = -1;
  CWindowHostUI m_host;
  CVerticalLayoutUI* m_pLayout = nullptr;
};

}  // namespace SkinUI

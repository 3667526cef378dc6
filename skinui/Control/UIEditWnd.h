#pragma once
// CEditWnd: the native single-line edit window a focused CEditUI places over its text area. It
// owns itself: it deletes itself once its window is gone, and lets its control know first.

#include <windows.h>

#include "Core/UIBase.h"

namespace SkinUI {

class CEditUI;

class CEditWnd : public CWindowWnd {
 public:
  static constexpr UINT_PTR kCaretTimerId = 20;

  // Creates and shows the window for pOwner and gives it the keyboard focus. False when the
  // window cannot be made; the object has then deleted itself.
  bool OpenFor(CEditUI* pOwner);
  // The owner's text area, narrowed to its font's height and clipped by every ancestor; empty
  // when an ancestor is hidden or nothing is left.
  RECT GetEditRect() const;
  // The owner is going away: the window is destroyed without reporting back to it.
  void Abandon();

 protected:
  LPCWSTR WindowClassName() const override;
  LPCWSTR SuperclassName() const override;
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND hWnd) override;

 private:
  bool IsLayeredHost() const;
  LRESULT OnReflectedCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnReflectedColor(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnPrint(WPARAM wParam, LPARAM lParam);

  CEditUI* m_pOwner = nullptr;
  HBRUSH m_hBkBrush = nullptr;
  bool m_bInit = false;
  bool m_bCaretShown = false;
};

}  // namespace SkinUI

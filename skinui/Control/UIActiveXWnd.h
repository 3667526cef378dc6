#pragma once
// CActiveXWnd: the child window a windowed ActiveX object lives in, kept over its control's
// rectangle. In a layered host it is composed into the host's image, caret included.

#include <windows.h>

#include "Core/UIBase.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXWnd : public CWindowWnd {
 public:
  explicit CActiveXWnd(CActiveXCtrl* pOwner);
  // Null when the window cannot be made.
  HWND Init(HWND hWndParent);

  static const UINT_PTR kLayeredTimerId = 20;

 protected:
  LPCWSTR WindowClassName() const override;
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND hWnd) override;

 private:
  void DoVerb(LONG iVerb);
  void OnPrint(HDC hDC);
  void DrawCaret(HDC hDC);
  bool IsLayeredHost() const;

  CActiveXCtrl* m_pOwner;
  int m_iLayeredTick;
  bool m_bDrawCaret;
};

}  // namespace SkinUI

#pragma once
// The caret a text host keeps for its engine on the host window. The window has one caret, which
// the system draws over whatever lies under it, while the engine puts it at its insertion point
// even when that is scrolled out of the text area; so the caret is shown only while the engine
// wants it and it lies in the visible text.

#include <windows.h>

namespace SkinUI {

class CTextCaret {
 public:
  // A new caret starts hidden. A width or height of 0 is the system's border width or height.
  bool Create(HWND hWnd, HBITMAP hBitmap, int cx, int cy);
  void Show(HWND hWnd, bool bShow, const RECT& rcVisible);
  bool MoveTo(HWND hWnd, POINT pt, const RECT& rcVisible);
  // After the visible text area changed.
  void Follow(HWND hWnd, const RECT& rcVisible);
  // Destroys the caret when it is still ours.
  void Destroy(HWND hWnd);

  bool IsWanted() const { return m_bWanted; }
  POINT Position() const { return m_pt; }
  SIZE Size() const { return m_sz; }
  SIZE PreviousSize() const { return m_szOld; }

 private:
  void Apply(HWND hWnd, const RECT& rcVisible);

  SIZE m_sz = {0, 0};
  SIZE m_szOld = {0, 0};
  POINT m_pt = {0, 0};
  bool m_bWanted = false;
  bool m_bCreated = false;
  bool m_bNativeShown = false;
};

}  // namespace SkinUI

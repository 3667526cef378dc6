#pragma once
// CHostInput: where a host's input goes. The control under the mouse (hover), the one a button
// went down on (it gets the release), the one that took the last key down (it gets the key up)
// and the focus control are weak handles: a control destroyed by any handler is gone from here
// at once, whoever destroyed it. With them the mouse state the window's messages leave behind.

#include <windows.h>

#include "Core/UIControlHandle.h"

namespace SkinUI {

class CHostInput {
 public:
  // The modifier keys and mouse buttons down now, as InputEvent::wKeyState bits.
  static WORD CurrentKeyState();

  CControlHandle hover;
  CControlHandle pressed;
  CControlHandle keyTarget;
  CControlHandle focus;
  // Where the focus goes when the tree is first laid out; empty: the first Tab stop.
  CControlHandle firstFocus;
  // Client coordinates of the last mouse message; (-1, -1) before the first.
  POINT ptLastMouse = {-1, -1};
  // The window asked for hover and leave messages and has not had them yet.
  bool bTracking = false;
  // The window holds the mouse capture for the pressed control.
  bool bCaptured = false;
};

}  // namespace SkinUI

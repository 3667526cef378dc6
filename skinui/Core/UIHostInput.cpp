#include "Core/UIHostInput.h"

#include "Core/UIEvents.h"

namespace SkinUI {

WORD CHostInput::CurrentKeyState() {
  WORD wState = 0;
  if (::GetKeyState(VK_CONTROL) < 0) wState |= kKeyStateControl;
  if (::GetKeyState(VK_RBUTTON) < 0) wState |= kKeyStateRightButton;
  if (::GetKeyState(VK_LBUTTON) < 0) wState |= kKeyStateLeftButton;
  if (::GetKeyState(VK_SHIFT) < 0) wState |= kKeyStateShift;
  if (::GetKeyState(VK_MENU) < 0) wState |= kKeyStateAlt;
  return wState;
}

}  // namespace SkinUI

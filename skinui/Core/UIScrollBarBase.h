#pragma once
// CScrollBarBaseUI: what a container needs of its scroll bars. The bar itself (its parts,
// images and input) belongs to the layer above and is made through the control factory by the
// element name "ScrollBar"; a program that registers none has containers without bars.

#include "Core/UIControl.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarBaseUI : public CControlUI {
 public:
  // The name a scroll bar answers to in QueryNamedInterface with this face of itself.
  static constexpr const wchar_t* kInterfaceName = L"IScrollBar";

  virtual void SetOwner(CContainerUI* pOwner) = 0;
  virtual void SetHorizontal(bool bHorizontal = true) = 0;
  virtual int GetScrollRange() const = 0;
  virtual void SetScrollRange(int nRange) = 0;
  virtual int GetScrollValue() const = 0;
  virtual void SetScrollValue(int nPos, bool bNotify = true) = 0;
};

}  // namespace SkinUI

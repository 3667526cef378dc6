#pragma once
// CControlHandle: a weak reference to a control that reads null from the moment the control is
// destroyed. Code that calls out to a control, whose handler may destroy it or any other,
// checks the handle afterwards instead of looking the control up again.

#include <memory>

namespace SkinUI {

class CControlUI;

class CControlHandle {
 public:
  CControlHandle() = default;
  // Implicit, so that a handle is assigned and compared like the pointer it stands for.
  CControlHandle(CControlUI* pControl);  // NOLINT(google-explicit-constructor)

  CControlUI* Get() const { return m_pSlot != nullptr ? *m_pSlot : nullptr; }
  operator CControlUI*() const { return Get(); }  // NOLINT(google-explicit-constructor)
  CControlUI* operator->() const { return Get(); }
  // The control held until now, and the handle empty.
  CControlUI* Take() {
    CControlUI* pControl = Get();
    m_pSlot.reset();
    return pControl;
  }

 private:
  // The control's own slot, which its destructor empties; shared by every handle to it.
  std::shared_ptr<CControlUI*> m_pSlot;
};

}  // namespace SkinUI

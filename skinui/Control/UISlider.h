#pragma once
// CSliderUI: a progress bar with a draggable thumb and the "valuechanged" notification.

#include <windows.h>

#include "Control/UIProgress.h"

namespace SkinUI {

class CSliderUI : public CProgressUI {
 public:

  CSliderUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UINT GetBehaviourFlags() const override;
  void SetEnabled(bool bEnable = true) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  void PaintStateImages(HDC hDC) override;

  int GetStep() const { return m_nStep; }
  void SetStep(int nStep);
  void SetThumbSize(int cx, int cy);
  void SetImmediateNotify(bool bImmediate) { m_bImmediate = bImmediate; }
  void SetThumbImage(LPCWSTR pstrImage);
  void SetThumbHotImage(LPCWSTR pstrImage);
  void SetThumbPushedImage(LPCWSTR pstrImage);
  UINT GetSliderState() const { return m_uSliderState; }
  // Window client coordinates.
  RECT GetThumbRect() const;
  // The value the thumb would take with its centre at the point.
  int ValueAtPoint(POINT pt) const;

 protected:
  void NotifyValueChanged();
  // The arrows move by a step, Page Up and Page Down by a tenth of the range, Home and End to
  // either end; false for any other key.
  bool StepByKey(WCHAR chKey);

  UINT m_uSliderState;
  int m_nStep;
  bool m_bImmediate;
  SIZE m_szThumb;
  ImageDrawInfo m_diThumb;
  ImageDrawInfo m_diThumbHot;
  ImageDrawInfo m_diThumbPushed;

 private:
  // Moves the thumb to the value (kept in range) and tells of the change once: the accessibility
  // clients and the "valuechanged" listeners; nothing when the value stays.
  void StepTo(int nValue);
};

}  // namespace SkinUI

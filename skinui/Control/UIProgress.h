#pragma once
// CProgressUI: a label that draws its fore image over the share of itself its value stands for.

#include <windows.h>

#include "Control/UILabel.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UI_DECLARE_ATTRIBUTES()
  void PaintStateImages(HDC hDC) override;

  bool IsHorizontal() const { return m_bHorizontal; }
  void SetHorizontal(bool bHorizontal = true);
  int GetMinValue() const { return m_nMin; }
  void SetMinValue(int nMin);
  int GetMaxValue() const { return m_nMax; }
  void SetMaxValue(int nMax);
  int GetValue() const { return m_nValue; }
  // Clamped into the range.
  void SetValue(int nValue);
  void SetForeImage(LPCWSTR pstrImage);
  // The fill's rectangle relative to the control, as the last paint placed it.
  RECT GetFillRect() const { return m_rcFill; }

 protected:
  // Repairs an empty range and a value outside it, as painting needs them.
  void NormaliseRange();

  bool m_bHorizontal;
  int m_nMin;
  int m_nMax;
  int m_nValue;
  // The fore image is the base control's second image record.
  RECT m_rcFill;
};

}  // namespace SkinUI

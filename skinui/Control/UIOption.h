#pragma once
// COptionUI: a button with a selected state; options sharing a group name in one window keep at
// most one of them selected.

#include <windows.h>

#include "Control/UIButton.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  ~COptionUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  void SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit = true) override;
  bool Activate() override;
  void SetEnabled(bool bEnable = true) override;
  UI_DECLARE_ATTRIBUTES()
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintStateImages(HDC hDC) override;
  void PaintTextLayer(HDC hDC) override;

  // The operation options add after the label's.
  virtual void SetSelected(bool bSelected, bool bNotify = true);

  bool IsSelected() const { return m_bSelected; }
  LPCWSTR GetGroup() const { return m_sGroupName; }
  // Null or empty leaves every group.
  void SetGroup(LPCWSTR pstrGroupName);
  void SetSelectedImage(LPCWSTR pstrImage);
  void SetSelectedHotImage(LPCWSTR pstrImage);
  void SetOptionForeImage(LPCWSTR pstrImage);
  void SetSelectedBkColor(DWORD dwColor) { m_dwSelectedBkColor = dwColor; }
  void SetSelectedTextColor(DWORD dwColor) { m_dwSelectedTextColor = dwColor; }

 protected:
  bool PaintSelectedLayer(HDC hDC);

  bool m_bSelected;
  CUIString m_sGroupName;
  DWORD m_dwSelectedBkColor;
  DWORD m_dwSelectedTextColor;
  ImageDrawInfo m_diSelected;
  ImageDrawInfo m_diSelectedHot;
  ImageDrawInfo m_diOptionFore;
};

}  // namespace SkinUI

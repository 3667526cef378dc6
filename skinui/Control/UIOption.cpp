// Options: selection, groups in the window host, selected-state painting.

#include "Control/UIOption.h"

#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

COptionUI::COptionUI() : m_bSelected(false), m_dwSelectedBkColor(0), m_dwSelectedTextColor(0) {}

COptionUI::~COptionUI() {
  if (!m_sGroupName.IsEmpty() && m_pHost != nullptr) m_pHost->LeaveOptionGroup(m_sGroupName, this);
}

LPCWSTR COptionUI::ClassName() const { return L"OptionUI"; }

LPVOID COptionUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Option") == 0) return this;
  return CButtonUI::QueryNamedInterface(pstrName);
}

void COptionUI::SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit) {
  // Moving to another window must not leave a dangling member in the old window's group.
  if (pHost != m_pHost && m_pHost != nullptr && !m_sGroupName.IsEmpty()) {
    m_pHost->LeaveOptionGroup(m_sGroupName, this);
  }
  CButtonUI::SetHost(pHost, pParent, bInit);
  if (bInit && !m_sGroupName.IsEmpty() && m_pHost != nullptr) {
    m_pHost->JoinOptionGroup(m_sGroupName, this);
  }
}

void COptionUI::SetGroup(LPCWSTR pstrGroupName) {
  if (pstrGroupName == nullptr) {
    if (m_sGroupName.IsEmpty()) return;
  } else if (m_sGroupName == pstrGroupName) {
    return;
  }
  if (!m_sGroupName.IsEmpty() && m_pHost != nullptr) m_pHost->LeaveOptionGroup(m_sGroupName, this);
  m_sGroupName = pstrGroupName != nullptr ? pstrGroupName : L"";
  if (!m_sGroupName.IsEmpty() && m_pHost != nullptr) m_pHost->JoinOptionGroup(m_sGroupName, this);
  // Re-applying the state makes a selected option deselect its new companions.
  const bool bSelected = m_bSelected;
  m_bSelected = !bSelected;
  SetSelected(bSelected, false);
}

void COptionUI::SetSelected(bool bSelected, bool bNotify) {
  if (m_bSelected == bSelected) return;
  m_bSelected = bSelected;
  if (bSelected) {
    m_uButtonState |= kStateSelected;
  } else {
    m_uButtonState &= ~kStateSelected;
  }
  NotifyAccessible(AccessibleEvent::kState);
  if (m_pHost == nullptr) {
    Invalidate();
    return;
  }
  if (!m_sGroupName.IsEmpty()) {
    if (!bSelected) {
      Invalidate();
      return;
    }
    CPtrArrayUI* pMembers = m_pHost->OptionGroupMembers(m_sGroupName);
    for (int i = 0; pMembers != nullptr && i < pMembers->GetSize(); ++i) {
      COptionUI* pOther = static_cast<COptionUI*>(pMembers->GetAt(i));
      if (pOther != this) pOther->SetSelected(false, bNotify);
    }
  }
  if (bNotify) m_pHost->RaiseNotification(this, kNotifySelectChanged);
  Invalidate();
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  SetSelected(!m_sGroupName.IsEmpty() ? true : !m_bSelected, true);
  return true;
}

void COptionUI::SetEnabled(bool bEnable) {
  CButtonUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = m_bSelected ? static_cast<UINT>(kStateSelected) : 0u;
}

void COptionUI::SetSelectedImage(LPCWSTR pstrImage) { ReplaceImage(m_diSelected, pstrImage); }
void COptionUI::SetSelectedHotImage(LPCWSTR pstrImage) { ReplaceImage(m_diSelectedHot, pstrImage); }
void COptionUI::SetOptionForeImage(LPCWSTR pstrImage) { ReplaceImage(m_diOptionFore, pstrImage); }

UI_BEGIN_ATTRIBUTES(COptionUI, CButtonUI)
UI_ATTRIBUTE(L"group", kTextValue, self.SetGroup(pstrValue))
UI_ATTRIBUTE(L"selected", kBoolValue, self.SetSelected(IsTrue(pstrValue), true))
UI_ATTRIBUTE(L"selectedimage", kImageValue, self.SetSelectedImage(pstrValue))
UI_ATTRIBUTE(L"selectedhotimage", kImageValue, self.SetSelectedHotImage(pstrValue))
UI_ATTRIBUTE(L"foreimage", kImageValue, self.SetOptionForeImage(pstrValue))
UI_ATTRIBUTE(L"selectedbkcolor", kColorValue, self.SetSelectedBkColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"selectedtextcolor", kColorValue, self.SetSelectedTextColor(ReadColor(pstrValue)))
UI_END_ATTRIBUTES()

SIZE COptionUI::MeasureSize(SIZE szAvailable) {
  if (m_bAutoCalcWidth && m_pHost != nullptr && m_pHost->GetHostDC() != nullptr) {
    SIZE szText = {0, 0};
    ::GetTextExtentPoint32W(m_pHost->GetHostDC(), m_sText, m_sText.GetLength(), &szText);
    const int cx = szText.cx + m_rcTextPadding.left + m_rcTextPadding.right;
    if (cx < GetMaxWidth()) m_cxyFixed.cx = cx;
  }
  if (m_cxyFixed.cy != 0) return CControlUI::MeasureSize(szAvailable);
  return SIZE{m_cxyFixed.cx, FontHeight() + 8};
}

bool COptionUI::PaintSelectedLayer(HDC hDC) {
  if ((m_uButtonState & kStateHot) != 0 && DrawImage(hDC, m_diSelectedHot)) return true;
  if (DrawImage(hDC, m_diSelected)) return true;
  if (m_dwSelectedBkColor != 0) {
    CSkinRenderer::FillColor(hDC, m_rcPaint, AdjustColor(m_dwSelectedBkColor));
    return true;
  }
  return false;
}

void COptionUI::PaintStateImages(HDC hDC) {
  if (!(m_bSelected && PaintSelectedLayer(hDC))) {
    const UINT uSaved = m_uButtonState;
    m_uButtonState &= ~kStatePushed;
    CButtonUI::PaintStateImages(hDC);
    m_uButtonState |= uSaved & kStatePushed;
  }
  DrawImage(hDC, m_diOptionFore);
}

void COptionUI::PaintTextLayer(HDC hDC) {
  if (!m_bSelected) {
    const UINT uSaved = m_uButtonState;
    m_uButtonState &= ~kStatePushed;
    CButtonUI::PaintTextLayer(hDC);
    m_uButtonState |= uSaved & kStatePushed;
    return;
  }
  ApplyDefaultTextColors();
  if (m_sText.IsEmpty()) return;
  DWORD dwColor = m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
  if (InHighContrast()) dwColor = ContrastTextColor();
  DrawLabelText(hDC, TextRect(), dwColor, m_uTextStyle);
}

}  // namespace SkinUI

// Column headers: pushing, dragging the separator band, attributes and painting.

#include "Control/UIListHeaderItem.h"

#include "Control/UILabel.h"
#include "Control/UIStateImage.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

CListHeaderItemUI::CListHeaderItemUI()
    : m_separator(false),
      m_bDragable(true),
      m_uState(0),
      m_ptLastMouse{0, 0},
      m_iFont(-1),
      m_dwTextColor(0),
      m_uTextStyle(kTextCenter | kTextVCenter | kTextSingleLine),
      m_rcTextPadding(2, 0, 2, 0),
      m_bShowHtml(false) {
  m_separator.SetSize(4);
  m_cxyMin.cx = kMinColumnWidth;
}

LPCWSTR CListHeaderItemUI::ClassName() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListHeaderItem") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

UINT CListHeaderItemUI::GetBehaviourFlags() const { return kBehaviourSetCursor; }

void CListHeaderItemUI::SetEnabled(bool bEnable) {
  CContainerUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uState = 0;
}

void CListHeaderItemUI::SetDragable(bool bDragable) {
  m_bDragable = bDragable;
  if (!bDragable) m_uState &= ~kStateCaptured;
}

void CListHeaderItemUI::SetSepWidth(int iWidth) {
  m_separator.SetSize(iWidth);
  Invalidate();
}

void CListHeaderItemUI::SetTextColor(DWORD dwColor) {
  m_dwTextColor = dwColor;
  Invalidate();
}

void CListHeaderItemUI::SetTextStyle(UINT uStyle) {
  m_uTextStyle = uStyle;
  Invalidate();
}

void CListHeaderItemUI::SetFont(int iFont) {
  m_iFont = iFont;
  Invalidate();
}

void CListHeaderItemUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool bShowHtml) {
  m_bShowHtml = bShowHtml;
  Invalidate();
}

RECT CListHeaderItemUI::GetSeparatorRect() const { return m_separator.GetBand(m_rcItem, false); }

bool CListHeaderItemUI::InGrip(POINT pt) const {
  RECT rcGrip = GetSeparatorRect();
  if (::IsRectEmpty(&rcGrip)) return false;
  if (GetSepWidth() > 0) {
    rcGrip.left -= kBandGrip;
  } else {
    rcGrip.right += kBandGrip;
  }
  return ::PtInRect(&rcGrip, pt) != FALSE;
}

void CListHeaderItemUI::DragTo(POINT pt) {
  const int dx = pt.x - m_ptLastMouse.x;
  const int nWidth = m_rcItem.right - m_rcItem.left;
  const int nNewWidth = GetSepWidth() > 0 ? nWidth + dx : nWidth - dx;
  if (nNewWidth <= GetMinWidth()) return;
  m_ptLastMouse = pt;
  SetFixedWidth(nNewWidth);
  // The columns belong to the list that holds the header: it lays its items out again.
  if (m_pParent != nullptr) m_pParent->RequestParentLayout();
}

void CListHeaderItemUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CContainerUI>(*this, event)) return;
  if (NoteFocusEvent(event)) {
    Invalidate();
    return;
  }
  const bool bEnabled = IsEnabled();
  switch (event.iKind) {
    case kEventButtonDown:
    case kEventDoubleClick:
      if (!bEnabled) return;
      if (!InGrip(event.ptMouse)) {
        m_uState |= kStatePushed;
        if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyHeaderClick);
        Invalidate();
      } else if (m_bDragable) {
        m_uState |= kStateCaptured;
        m_ptLastMouse = event.ptMouse;
      }
      return;
    case kEventButtonUp:
      if ((m_uState & kStateCaptured) != 0) {
        m_uState &= ~kStateCaptured;
        if (m_pParent != nullptr) m_pParent->RequestParentLayout();
      } else if ((m_uState & kStatePushed) != 0) {
        m_uState &= ~kStatePushed;
        Invalidate();
      }
      return;
    case kEventMouseMove:
      if ((m_uState & kStateCaptured) != 0) DragTo(event.ptMouse);
      return;
    case kEventSetCursor:
      if (bEnabled && m_bDragable && InGrip(event.ptMouse)) {
        SetStandardCursor(kCursorSizeWE);
        return;
      }
      break;
    case kEventMouseEnter:
    case kEventMouseLeave:
      if (!bEnabled) return;
      if (event.iKind == kEventMouseEnter) {
        m_uState |= kStateHot;
      } else {
        m_uState &= ~kStateHot;
      }
      Invalidate();
      return;
    default:
      break;
  }
  CContainerUI::HandleEvent(event);
}

UI_BEGIN_ATTRIBUTES(CListHeaderItemUI, CContainerUI)
UI_ATTRIBUTE(L"dragable", kBoolValue, self.SetDragable(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"sepwidth", kPixelValue, self.SetSepWidth(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"align", kTextValue,
             ApplyAlignWords(self.m_uTextStyle, pstrValue);
             self.Invalidate())
UI_ATTRIBUTE(L"endellipsis", kBoolValue,
             SetStyleBit(self.m_uTextStyle, kTextEndEllipsis, IsTrue(pstrValue));
             self.Invalidate())
UI_ATTRIBUTE(L"font", kFontValue, self.SetFont(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"textcolor", kColorValue, self.SetTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"textpadding", kPixelRectValue, self.SetTextPadding(ReadRect(pstrValue)))
UI_ATTRIBUTE(L"showhtml", kBoolValue, self.SetShowHtml(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"normalimage", kImageValue,
             if (StoreImageAttribute(self.m_images.normal, pstrValue)) self.Invalidate())
UI_ATTRIBUTE(L"hotimage", kImageValue,
             if (StoreImageAttribute(self.m_images.hot, pstrValue)) self.Invalidate())
UI_ATTRIBUTE(L"pushedimage", kImageValue,
             if (StoreImageAttribute(self.m_images.pushed, pstrValue)) self.Invalidate())
UI_ATTRIBUTE(L"focusedimage", kImageValue,
             if (StoreImageAttribute(self.m_images.focused, pstrValue)) self.Invalidate())
UI_ATTRIBUTE(L"sepimage", kImageValue,
             if (StoreImageAttribute(self.m_diSeparator, pstrValue)) self.Invalidate())
UI_END_ATTRIBUTES()

SIZE CListHeaderItemUI::MeasureSize(SIZE szAvailable) {
  if (m_cxyFixed.cy != 0 || m_pHost == nullptr) return CContainerUI::MeasureSize(szAvailable);
  return SIZE{m_cxyFixed.cx, m_pHost->GetDefaultFontInfo()->tm.tmHeight + 14};
}

void CListHeaderItemUI::PaintStateImages(HDC hDC) {
  SetStyleBit(m_uState, kStateFocused, m_bFocused);
  PaintStateImage(hDC, m_pHost, m_rcItem, m_rcPaint,
                  {{(m_uState & kStatePushed) != 0, &m_images.pushed},
                   {(m_uState & kStateHot) != 0, &m_images.hot},
                   {(m_uState & kStateFocused) != 0, &m_images.focused}},
                  m_images.normal);
  CSkinRenderer::RenderImage(hDC, m_pHost, GetSeparatorRect(), m_rcPaint, m_diSeparator);
}

void CListHeaderItemUI::PaintTextLayer(HDC hDC) {
  if (m_sText.IsEmpty()) return;
  if (m_dwTextColor == 0 && m_pHost != nullptr) {
    m_dwTextColor = m_pHost->GetDefaultColor(kDefaultTextColor);
  }
  RECT rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.top += m_rcTextPadding.top;
  rc.right -= m_rcTextPadding.right;
  rc.bottom -= m_rcTextPadding.bottom;
  DrawControlText(hDC, m_pHost, rc, m_sText, AdjustColor(m_dwTextColor), m_iFont,
                  m_uTextStyle | kTextSingleLine, m_bShowHtml);
}

}  // namespace SkinUI

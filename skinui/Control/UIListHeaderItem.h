#pragma once
// CListHeaderItemUI: one column header. A click sends "headerclick"; dragging the separator band
// on its edge resizes the column (and the list lays its columns out again).

#include <windows.h>

#include "Control/UIStateImage.h"
#include "Core/UIContainer.h"
#include "Layout/UILayoutSeparator.h"

namespace SkinUI {

class CListHeaderItemUI : public CContainerUI {
 public:
  static constexpr int kMinColumnWidth = 16;
  // The band is this much wider toward the inside for hit tests, so that it is easy to grab.
  static constexpr int kBandGrip = 4;

  CListHeaderItemUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  // Wants set-cursor events (the sizing cursor over the band).
  UINT GetBehaviourFlags() const override;
  void SetEnabled(bool bEnable = true) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintStateImages(HDC hDC) override;
  void PaintTextLayer(HDC hDC) override;

  bool IsDragable() const { return m_bDragable; }
  void SetDragable(bool bDragable);
  // n > 0: the band lies on the right edge; -n: on the left edge.
  int GetSepWidth() const { return m_separator.GetSize(); }
  void SetSepWidth(int iWidth);
  UINT GetButtonState() const { return m_uState; }
  RECT GetSeparatorRect() const;
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetTextColor(DWORD dwColor);
  void SetTextStyle(UINT uStyle);
  UINT GetTextStyle() const { return m_uTextStyle; }
  void SetFont(int iFont);
  void SetTextPadding(RECT rc);
  void SetShowHtml(bool bShowHtml);

 private:
  bool InGrip(POINT pt) const;
  void DragTo(POINT pt);

  // Only its band geometry is used: the header item drags its own width.
  CLayoutSeparator m_separator;
  bool m_bDragable;
  UINT m_uState;
  POINT m_ptLastMouse;
  int m_iFont;
  DWORD m_dwTextColor;
  UINT m_uTextStyle;
  CUIRect m_rcTextPadding;
  bool m_bShowHtml;
  StateImageSet m_images;
  ImageDrawInfo m_diSeparator;
};

}  // namespace SkinUI

#pragma once
// ListInfo: the item styling one list shares with all of its items, and the "item..." skin
// attributes that set it. Lists, combo boxes and the list view read the same names.

#include <windows.h>

#include "Core/UIRender.h"

namespace SkinUI {

class CControlUI;
class CWindowHostUI;

struct ListInfo {
  static constexpr int kMaxColumns = 32;

  ListInfo();

  int nColumns;
  // Horizontal extents of the header items, shifted by the body's horizontal scroll position.
  RECT rcColumn[kMaxColumns];
  int nFont;
  UINT uTextStyle;
  RECT rcTextPadding;  // skin pixels: see TextPaddingAt
  DWORD dwTextColor;
  DWORD dwBkColor;
  ImageDrawInfo diBk;
  // Background colour and image on even rows only.
  bool bAlternateBk;
  DWORD dwSelectedTextColor;
  DWORD dwSelectedBkColor;
  ImageDrawInfo diSelected;
  DWORD dwHotTextColor;
  DWORD dwHotBkColor;
  ImageDrawInfo diHot;
  DWORD dwDisabledTextColor;
  DWORD dwDisabledBkColor;
  ImageDrawInfo diDisabled;
  // A 1-pixel line along each item's bottom when not 0.
  DWORD dwLineColor;
  bool bShowHtml;
  bool bMultiExpandable;
};

// What an "item..." attribute asks of the list that owns the record.
enum ListInfoChange {
  kListInfoNotMine,  // not an item attribute
  kListInfoRepaint,
  kListInfoRelayout,
};

// One "item..." attribute: every list, combo box and list view reads them for its rows.
struct ListItemAttribute {
  LPCWSTR pstrName;       // compared exactly
  LPCWSTR pstrValueKind;  // as in the controls' attribute tables
  ListInfoChange (*pfnApply)(ListInfo& info, LPCWSTR pstrValue);
};
int ListItemAttributeCount();
const ListItemAttribute& ListItemAttributeAt(int iIndex);

// The item text padding in the window's pixels of the host (at its DPI).
RECT TextPaddingAt(const ListInfo& info, const CWindowHostUI* pHost);

ListInfoChange ApplyListInfoAttribute(ListInfo& info, LPCWSTR pstrName, LPCWSTR pstrValue);
// The same for the control that owns the record, which is repainted or laid out again as the
// attribute asks; false when the name is no item attribute.
bool ApplyListInfoAttributeTo(CControlUI& owner, ListInfo& info, LPCWSTR pstrName,
                              LPCWSTR pstrValue);

}  // namespace SkinUI

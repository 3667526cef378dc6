// The list info's defaults and its skin attributes.

#include "Control/UIListInfo.h"

#include "Control/UILabel.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIControl.h"
#include "Core/UIDpiAttributes.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

// Colours and images only need a repaint; showing tags changes row heights.
#define UI_ITEM_COLOR(name, field)                                 \
  {name, kColorValue, [](ListInfo& info, LPCWSTR pstrValue) {      \
     info.field = ReadColorAfterBlanks(pstrValue);                 \
     return kListInfoRepaint;                                      \
   }}
#define UI_ITEM_IMAGE(name, field)                                 \
  {name, kImageValue, [](ListInfo& info, LPCWSTR pstrValue) {      \
     StoreImageAttribute(info.field, pstrValue);                   \
     return kListInfoRepaint;                                      \
   }}

const ListItemAttribute kItemAttributes[] = {
    UI_ITEM_COLOR(L"itemtextcolor", dwTextColor),
    UI_ITEM_COLOR(L"itembkcolor", dwBkColor),
    UI_ITEM_COLOR(L"itemselectedtextcolor", dwSelectedTextColor),
    UI_ITEM_COLOR(L"itemselectedbkcolor", dwSelectedBkColor),
    UI_ITEM_COLOR(L"itemhottextcolor", dwHotTextColor),
    UI_ITEM_COLOR(L"itemhotbkcolor", dwHotBkColor),
    UI_ITEM_COLOR(L"itemdisabledtextcolor", dwDisabledTextColor),
    UI_ITEM_COLOR(L"itemdisabledbkcolor", dwDisabledBkColor),
    UI_ITEM_COLOR(L"itemlinecolor", dwLineColor),
    UI_ITEM_IMAGE(L"itembkimage", diBk),
    UI_ITEM_IMAGE(L"itemselectedimage", diSelected),
    UI_ITEM_IMAGE(L"itemhotimage", diHot),
    UI_ITEM_IMAGE(L"itemdisabledimage", diDisabled),
    {L"itemfont", kIntValue,
     [](ListInfo& info, LPCWSTR pstrValue) {
       info.nFont = ReadInt(pstrValue);
       return kListInfoRepaint;
     }},
    {L"itemalign", kTextValue,
     [](ListInfo& info, LPCWSTR pstrValue) {
       ApplyAlignWords(info.uTextStyle, pstrValue);
       return kListInfoRepaint;
     }},
    {L"itemendellipsis", kBoolValue,
     [](ListInfo& info, LPCWSTR pstrValue) {
       SetStyleBit(info.uTextStyle, kTextEndEllipsis, IsTrue(pstrValue));
       return kListInfoRepaint;
     }},
    {L"itemtextpadding", kPixelRectValue,
     [](ListInfo& info, LPCWSTR pstrValue) {
       info.rcTextPadding = ReadRect(pstrValue);
       return kListInfoRepaint;
     }},
    {L"itemaltbk", kBoolValue,
     [](ListInfo& info, LPCWSTR pstrValue) {
       info.bAlternateBk = IsTrue(pstrValue);
       return kListInfoRepaint;
     }},
    {L"itemshowhtml", kBoolValue,
     [](ListInfo& info, LPCWSTR pstrValue) {
       const bool bShowHtml = IsTrue(pstrValue);
       if (bShowHtml == info.bShowHtml) return kListInfoRepaint;
       info.bShowHtml = bShowHtml;
       return kListInfoRelayout;
     }},
};

#undef UI_ITEM_COLOR
#undef UI_ITEM_IMAGE

}  // namespace

ListInfo::ListInfo()
    : nColumns(0),
      rcColumn{},
      nFont(-1),
      uTextStyle(kTextVCenter),
      rcTextPadding{0, 0, 0, 0},
      dwTextColor(0xFF000000),
      dwBkColor(0),
      bAlternateBk(false),
      dwSelectedTextColor(0xFF000000),
      dwSelectedBkColor(0xFFC1E3FF),
      dwHotTextColor(0xFF000000),
      dwHotBkColor(0xFFE9F5FF),
      dwDisabledTextColor(0xFFCCCCCC),
      dwDisabledBkColor(0xFFFFFFFF),
      dwLineColor(0),
      bShowHtml(false),
      bMultiExpandable(false) {}

RECT TextPaddingAt(const ListInfo& info, const CWindowHostUI* pHost) {
  if (pHost == nullptr) return info.rcTextPadding;
  return ScaleSkinRect(info.rcTextPadding, pHost->GetDpi());
}

ListInfoChange ApplyListInfoAttribute(ListInfo& info, LPCWSTR pstrName, LPCWSTR pstrValue) {
  for (const ListItemAttribute& attribute : kItemAttributes) {
    if (::lstrcmpW(pstrName, attribute.pstrName) == 0) return attribute.pfnApply(info, pstrValue);
  }
  return kListInfoNotMine;
}

int ListItemAttributeCount() {
  return static_cast<int>(sizeof(kItemAttributes) / sizeof(kItemAttributes[0]));
}

const ListItemAttribute& ListItemAttributeAt(int iIndex) { return kItemAttributes[iIndex]; }

bool ApplyListInfoAttributeTo(CControlUI& owner, ListInfo& info, LPCWSTR pstrName,
                              LPCWSTR pstrValue) {
  switch (ApplyListInfoAttribute(info, pstrName, pstrValue)) {
    case kListInfoRepaint:
      owner.Invalidate();
      return true;
    case kListInfoRelayout:
      owner.RequestLayout();
      return true;
    default:
      return false;
  }
}

}  // namespace SkinUI

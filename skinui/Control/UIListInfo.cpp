// The list info's defaults and its skin attributes.

#include "Control/UIListInfo.h"

#include "Control/UILabel.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIControl.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

struct ColorAttribute {
  LPCWSTR pstrName;
  DWORD ListInfo::*pColor;
};

const ColorAttribute kColorAttributes[] = {
    {L"itemtextcolor", &ListInfo::dwTextColor},
    {L"itembkcolor", &ListInfo::dwBkColor},
    {L"itemselectedtextcolor", &ListInfo::dwSelectedTextColor},
    {L"itemselectedbkcolor", &ListInfo::dwSelectedBkColor},
    {L"itemhottextcolor", &ListInfo::dwHotTextColor},
    {L"itemhotbkcolor", &ListInfo::dwHotBkColor},
    {L"itemdisabledtextcolor", &ListInfo::dwDisabledTextColor},
    {L"itemdisabledbkcolor", &ListInfo::dwDisabledBkColor},
    {L"itemlinecolor", &ListInfo::dwLineColor},
};

struct ImageAttribute {
  LPCWSTR pstrName;
  ImageDrawInfo ListInfo::*pImage;
};

const ImageAttribute kImageAttributes[] = {
    {L"itembkimage", &ListInfo::diBk},
    {L"itemselectedimage", &ListInfo::diSelected},
    {L"itemhotimage", &ListInfo::diHot},
    {L"itemdisabledimage", &ListInfo::diDisabled},
};

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

ListInfoChange ApplyListInfoAttribute(ListInfo& info, LPCWSTR pstrName, LPCWSTR pstrValue) {
  for (const ColorAttribute& attribute : kColorAttributes) {
    if (::lstrcmpW(pstrName, attribute.pstrName) != 0) continue;
    info.*attribute.pColor = ReadColorAfterBlanks(pstrValue);
    return kListInfoRepaint;
  }
  for (const ImageAttribute& attribute : kImageAttributes) {
    if (::lstrcmpW(pstrName, attribute.pstrName) != 0) continue;
    StoreImageAttribute(info.*attribute.pImage, pstrValue);
    return kListInfoRepaint;
  }
  const CUIString sName = pstrName;
  if (sName == L"itemfont") {
    info.nFont = ReadInt(pstrValue);
  } else if (sName == L"itemalign") {
    ApplyAlignWords(info.uTextStyle, pstrValue);
  } else if (sName == L"itemendellipsis") {
    SetStyleBit(info.uTextStyle, kTextEndEllipsis, IsTrue(pstrValue));
  } else if (sName == L"itemtextpadding") {
    info.rcTextPadding = ReadRect(pstrValue);
  } else if (sName == L"itemaltbk") {
    info.bAlternateBk = IsTrue(pstrValue);
  } else if (sName == L"itemshowhtml") {
    const bool bShowHtml = IsTrue(pstrValue);
    if (bShowHtml == info.bShowHtml) return kListInfoRepaint;
    info.bShowHtml = bShowHtml;
    return kListInfoRelayout;
  } else {
    return kListInfoNotMine;
  }
  return kListInfoRepaint;
}

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

#pragma once
// Attribute tables: every control class names the skin attributes it reads once, each with what
// its value is and what it sets. A class's table chains to its base class's, the derived one
// searched first, so a class may take over a name of its base. The skin reference
// (docs/skin-attributes.md) is generated from these tables.

#include <windows.h>

namespace SkinUI {

class CControlUI;

// What an attribute's value is, as the reference names it.
constexpr wchar_t kIntValue[] = L"integer";
constexpr wchar_t kBoolValue[] = L"true/false";
constexpr wchar_t kColorValue[] = L"colour #AARRGGBB";
constexpr wchar_t kRectValue[] = L"left,top,right,bottom";
constexpr wchar_t kSizeValue[] = L"cx,cy";
constexpr wchar_t kImageValue[] = L"image";
constexpr wchar_t kTextValue[] = L"text";
constexpr wchar_t kAttributeListValue[] = L"attribute list";
// Lengths in pixels of a 96-DPI screen, which a control takes at its window's DPI (UIDpiAttributes).
constexpr wchar_t kPixelValue[] = L"pixels";
constexpr wchar_t kPixelRectValue[] = L"left,top,right,bottom in pixels";
constexpr wchar_t kPixelSizeValue[] = L"cx,cy in pixels";
// A registered font's id; the font is made anew at another DPI.
constexpr wchar_t kFontValue[] = L"font id";
// "true" or "false" in any letter case (elements that are no controls read some flags so).
constexpr wchar_t kBoolAnyCaseValue[] = L"true/false, any case";
// A control floats at a fixed place ("true"), or at fractions of its parent's size.
constexpr wchar_t kFloatValue[] = L"true/false, or left,top,right,bottom fractions";
// One width for every side, or each side's.
constexpr wchar_t kBorderValue[] = L"pixels, or left,top,right,bottom in pixels";

struct AttributeEntry {
  LPCWSTR pstrName;       // compared exactly
  LPCWSTR pstrValueKind;  // one of the k...Value texts above; the reference prints it
  void (*pfnApply)(CControlUI& control, LPCWSTR pstrValue);
};

struct AttributeTable {
  LPCWSTR pstrClassName;
  const AttributeTable* (*pfnGetBase)();  // null at the root
  const AttributeEntry* pEntries;
  int nEntries;
};

// The entry for the name in the chain from pTable, the most derived first; null without one.
const AttributeEntry* FindAttributeEntry(const AttributeTable* pTable, LPCWSTR pstrName);

// The entry pTable itself has for the name, its bases' left out; null without one.
const AttributeEntry* FindOwnAttributeEntry(const AttributeTable* pTable, LPCWSTR pstrName);

// Runs the entry with the value as it is (the observer sees it first).
void RunAttributeEntry(const AttributeEntry& entry, CControlUI& control, LPCWSTR pstrValue);

// Runs the entry the chain from pTable has for the name; false without one.
bool ApplyTableAttribute(const AttributeTable* pTable, CControlUI& control, LPCWSTR pstrName,
                         LPCWSTR pstrValue);

// Sees every entry ApplyAttribute runs (tests); null, the default, turns it off.
typedef void (*AttributeObserverProc)(const AttributeEntry* pEntry);
void SetAttributeObserver(AttributeObserverProc pfnObserver);

}  // namespace SkinUI

// In the class body: declares the class's table.
#define UI_DECLARE_ATTRIBUTES()                                        \
 public:                                                               \
  static const ::SkinUI::AttributeTable* GetThisAttributeTable();      \
  const ::SkinUI::AttributeTable* GetAttributeTable() const override;

// Both beginnings of a table; pfnBaseTable is the base class's table getter, or null.
#define UI_BEGIN_ATTRIBUTES_WITH_BASE(theClass, pfnBaseTable)                                \
  const ::SkinUI::AttributeTable* theClass::GetAttributeTable() const {                      \
    return theClass::GetThisAttributeTable();                                                \
  }                                                                                          \
  const ::SkinUI::AttributeTable* theClass::GetThisAttributeTable() {                        \
    typedef theClass AttributeClass;                                                         \
    static const wchar_t* const pstrClassName = L## #theClass;                               \
    static const ::SkinUI::AttributeTable* (*const pfnBase)() = pfnBaseTable;                \
    static const ::SkinUI::AttributeEntry aEntries[] = {

// The root of every chain (CControlUI's table).
#define UI_BEGIN_ROOT_ATTRIBUTES(theClass) UI_BEGIN_ATTRIBUTES_WITH_BASE(theClass, nullptr)

// In a source file: the table of theClass, chained to baseClass's. Each entry's statements see
// the control as `self` (of theClass) and the value as `pstrValue`.
#define UI_BEGIN_ATTRIBUTES(theClass, baseClass) \
  UI_BEGIN_ATTRIBUTES_WITH_BASE(theClass, &baseClass::GetThisAttributeTable)
#define UI_ATTRIBUTE(name, valueKind, ...)                                      \
  {name, valueKind, [](::SkinUI::CControlUI& control, LPCWSTR pstrValue) {      \
     AttributeClass& self = static_cast<AttributeClass&>(control);              \
     (void)self;                                                                \
     (void)pstrValue;                                                           \
     __VA_ARGS__;                                                               \
   }},
#define UI_END_ATTRIBUTES()                                                             \
  };                                                                                    \
  static const ::SkinUI::AttributeTable table = {                                       \
      pstrClassName, pfnBase, aEntries,                                                 \
      static_cast<int>(sizeof(aEntries) / sizeof(aEntries[0]))};                        \
  return &table;                                                                        \
  }

// The skin's elements that are no controls: the resources below the root ("Image", "Font",
// "Default", "MultiLanguage") and the root "Window" element's settings. Each reads its
// attributes through a table, so an observed build can say which names it does not read.

#include <cwchar>
#include <optional>

#include "Core/UIAttributeTable.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UIHostShadow.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace av = attribute_values;

namespace {

bool NameIs(LPCWSTR pstrName, LPCWSTR pstrWanted) { return ::lstrcmpiW(pstrName, pstrWanted) == 0; }

bool IsTrueAnyCase(LPCWSTR pstrValue) { return ::lstrcmpiW(pstrValue, L"true") == 0; }

// One attribute of an element that is no control, read into the element's record.
template <class Record>
struct ElementAttribute {
  SkinAttributeInfo info;
  void (*pfnRead)(Record& record, LPCWSTR pstrValue);
};

struct ImageRecord {
  LPCWSTR pstrName = nullptr;
  LPCWSTR pstrType = nullptr;
  DWORD dwMask = 0;
  bool bHueAdjust = false;
};

const ElementAttribute<ImageRecord> kImageAttributes[] = {
    // A file name (or with "restype" a resource id), not an image attribute string; whether it
    // can be read is told once it is tried.
    {{L"name", kTextValue}, [](ImageRecord& r, LPCWSTR v) { r.pstrName = v; }},
    {{L"restype", kTextValue}, [](ImageRecord& r, LPCWSTR v) { r.pstrType = v; }},
    {{L"mask", kColorValue}, [](ImageRecord& r, LPCWSTR v) { r.dwMask = av::ReadColor(v); }},
    // The element's "shared" asks for hue adjustment, not for the shared registry.
    {{L"shared", kBoolAnyCaseValue}, [](ImageRecord& r, LPCWSTR v) { r.bHueAdjust = IsTrueAnyCase(v); }},
};

struct FontRecord {
  int id = -1;
  LPCWSTR pstrName = nullptr;
  int nSize = 12;
  bool bBold = false;
  bool bUnderline = false;
  bool bItalic = false;
  bool bDefault = false;
  bool bShared = false;
};

const ElementAttribute<FontRecord> kFontAttributes[] = {
    {{L"id", kIntValue}, [](FontRecord& r, LPCWSTR v) { r.id = av::ReadInt(v); }},
    {{L"name", kTextValue}, [](FontRecord& r, LPCWSTR v) { r.pstrName = v; }},
    {{L"size", kIntValue}, [](FontRecord& r, LPCWSTR v) { r.nSize = av::ReadInt(v); }},
    {{L"bold", kBoolAnyCaseValue}, [](FontRecord& r, LPCWSTR v) { r.bBold = IsTrueAnyCase(v); }},
    {{L"underline", kBoolAnyCaseValue}, [](FontRecord& r, LPCWSTR v) { r.bUnderline = IsTrueAnyCase(v); }},
    {{L"italic", kBoolAnyCaseValue}, [](FontRecord& r, LPCWSTR v) { r.bItalic = IsTrueAnyCase(v); }},
    {{L"default", kBoolAnyCaseValue}, [](FontRecord& r, LPCWSTR v) { r.bDefault = IsTrueAnyCase(v); }},
    {{L"shared", kBoolAnyCaseValue}, [](FontRecord& r, LPCWSTR v) { r.bShared = IsTrueAnyCase(v); }},
};

struct DefaultRecord {
  LPCWSTR pstrName = nullptr;
  LPCWSTR pstrValue = L"";
  bool bShared = false;
};

const ElementAttribute<DefaultRecord> kDefaultAttributes[] = {
    {{L"name", kTextValue}, [](DefaultRecord& r, LPCWSTR v) { r.pstrName = v; }},
    {{L"value", kAttributeListValue}, [](DefaultRecord& r, LPCWSTR v) { r.pstrValue = v; }},
    {{L"shared", kBoolAnyCaseValue}, [](DefaultRecord& r, LPCWSTR v) { r.bShared = IsTrueAnyCase(v); }},
};

struct TextRecord {
  int id = -1;
  LPCWSTR pstrValue = nullptr;
};

const ElementAttribute<TextRecord> kMultiLanguageAttributes[] = {
    {{L"id", kIntValue}, [](TextRecord& r, LPCWSTR v) { r.id = av::ReadInt(v); }},
    {{L"value", kTextValue}, [](TextRecord& r, LPCWSTR v) { r.pstrValue = v; }},
};

// The "Window" settings; the window shadow reads its own after these.
struct WindowAttribute {
  SkinAttributeInfo info;
  bool bExactCase;
  void (*pfnApply)(CWindowHostUI& host, LPCWSTR pstrValue);
};

const WindowAttribute kWindowAttributes[] = {
    {{L"size", kPixelSizeValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) {
       const SIZE sz = av::ReadSize(v);
       h.SetInitialSize(sz.cx, sz.cy);
     }},
    {{L"sizebox", kPixelRectValue}, false, [](CWindowHostUI& h, LPCWSTR v) { h.SetSizingBorder(av::ReadRect(v)); }},
    {{L"caption", kPixelRectValue}, false, [](CWindowHostUI& h, LPCWSTR v) { h.SetCaptionArea(av::ReadRect(v)); }},
    {{L"roundcorner", kPixelSizeValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) {
       const SIZE sz = av::ReadSize(v);
       h.SetCornerRounding(sz.cx, sz.cy);
     }},
    {{L"mininfo", kPixelSizeValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) {
       const SIZE sz = av::ReadSize(v);
       h.SetMinimumSize(sz.cx, sz.cy);
     }},
    {{L"maxinfo", kPixelSizeValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) {
       const SIZE sz = av::ReadSize(v);
       h.SetMaximumSize(sz.cx, sz.cy);
     }},
    {{L"showdirty", kBoolAnyCaseValue}, false, [](CWindowHostUI& h, LPCWSTR v) { h.SetShowUpdateRect(IsTrueAnyCase(v)); }},
    {{L"opacity", kIntValue}, false, [](CWindowHostUI& h, LPCWSTR v) { h.SetOpacity(static_cast<BYTE>(av::ReadInt(v))); }},
    {{L"layeredopacity", kIntValue}, true,
     [](CWindowHostUI& h, LPCWSTR v) { h.SetLayeredOpacity(static_cast<BYTE>(av::ReadInt(v))); }},
    {{L"layeredimage", kImageValue}, true,
     [](CWindowHostUI& h, LPCWSTR v) {
       h.SetLayered(true);
       h.SetLayeredImage(v);
     }},
    {{L"disabledfontcolor", kColorValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) { h.SetDefaultColor(kDefaultDisabledTextColor, av::ReadColor(v)); }},
    {{L"defaultfontcolor", kColorValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) { h.SetDefaultColor(kDefaultTextColor, av::ReadColor(v)); }},
    {{L"linkfontcolor", kColorValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) { h.SetDefaultColor(kDefaultLinkTextColor, av::ReadColor(v)); }},
    {{L"linkhoverfontcolor", kColorValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) { h.SetDefaultColor(kDefaultHoveredLinkTextColor, av::ReadColor(v)); }},
    {{L"selectedcolor", kColorValue}, false,
     [](CWindowHostUI& h, LPCWSTR v) { h.SetDefaultColor(kDefaultSelectedBkColor, av::ReadColor(v)); }},
    {{L"trayiconid", kIntValue}, true,
     [](CWindowHostUI& h, LPCWSTR v) {
       const int nIconId = av::ReadInt(v);
       if (nIconId > 0) h.AddTrayIcon(static_cast<UINT>(nIconId));
     }},
    {{L"traytiptext", kTextValue}, true, [](CWindowHostUI& h, LPCWSTR v) { h.SetTrayTipText(v); }},
};

const WindowAttribute* FindWindowAttribute(LPCWSTR pstrName) {
  for (const WindowAttribute& attribute : kWindowAttributes) {
    const bool bMatch = attribute.bExactCase ? std::wcscmp(pstrName, attribute.info.pstrName) == 0
                                             : NameIs(pstrName, attribute.info.pstrName);
    if (bMatch) return &attribute;
  }
  return nullptr;
}

// What an observed build tells of one element's attributes: the names the element reads.
class KnownAttributes {
 public:
  void Add(const SkinAttributeInfo& info) {
    if (m_nKnown < kMaxKnown) m_aKnown[m_nKnown++] = info;
  }
  const SkinAttributeInfo* List() const { return m_aKnown; }
  int Count() const { return m_nKnown; }

 private:
  static constexpr int kMaxKnown = 48;
  SkinAttributeInfo m_aKnown[kMaxKnown];
  int m_nKnown = 0;
};

// Reads the element's attributes in document order (names without regard to letter case; a
// later one of a name wins) and tells the observer, when there is one, what each was.
template <class Record, size_t N>
void ReadElement(const CSkinMarkupNode& node, const ElementAttribute<Record> (&table)[N],
                 Record& record, const SkinSourcePlace& place) {
  ISkinBuildObserver* pObserver = CSkinBuildScope::Observer();
  KnownAttributes known;
  if (pObserver != nullptr) {
    for (const ElementAttribute<Record>& attribute : table) known.Add(attribute.info);
  }
  const int nAttributes = node.GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    LPCWSTR pstrName = node.GetAttributeNameAt(i);
    LPCWSTR pstrValue = node.GetAttributeValueAt(i);
    const ElementAttribute<Record>* pFound = nullptr;
    for (const ElementAttribute<Record>& attribute : table) {
      if (NameIs(pstrName, attribute.info.pstrName)) {
        pFound = &attribute;
        break;
      }
    }
    if (pFound != nullptr) pFound->pfnRead(record, pstrValue);
    if (pObserver != nullptr) {
      SkinSourcePlace at = place;
      at.iOffset = node.GetAttributeSourceOffsetAt(i);
      pObserver->OnElementAttribute(at, pFound != nullptr ? &pFound->info : nullptr, known.List(),
                                    known.Count(), pstrName, pstrValue);
    }
  }
}

}  // namespace

void CSkinBuilder::RegisterResources(CSkinMarkupNode& root, CWindowHostUI* pHost) {
  for (CSkinMarkupNode node = root.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    LPCWSTR pstrClass = node.GetTagName();
    const SkinSourcePlace place = PlaceOf(node, node.GetSourceOffset());
    if (NameIs(pstrClass, L"Image")) {
      ImageRecord image;
      ReadElement(node, kImageAttributes, image, place);
      if (image.pstrName == nullptr) continue;
      const bool bRead = pHost->RegisterImage(image.pstrName, image.pstrType, image.dwMask,
                                              image.bHueAdjust, false) != nullptr;
      ISkinBuildObserver* pObserver = CSkinBuildScope::Observer();
      if (!bRead && pObserver != nullptr) pObserver->OnImageNotRead(place, image.pstrName);
    } else if (NameIs(pstrClass, L"Font")) {
      FontRecord font;
      ReadElement(node, kFontAttributes, font, place);
      if (font.id >= 0 && font.pstrName != nullptr) {
        pHost->RegisterFont(font.id, font.pstrName, font.nSize, font.bBold, font.bUnderline,
                            font.bItalic, font.bShared);
        if (font.bDefault) {
          pHost->SetDefaultFont(font.pstrName, font.nSize, font.bBold, font.bUnderline,
                                font.bItalic, font.bShared);
        }
      }
    } else if (NameIs(pstrClass, L"Default")) {
      DefaultRecord defaults;
      ReadElement(node, kDefaultAttributes, defaults, place);
      if (defaults.pstrName != nullptr) {
        pHost->SetDefaultAttributes(defaults.pstrName, defaults.pstrValue, defaults.bShared);
        if (CSkinBuildScope::Observer() != nullptr) NoteDefaultsPlace(defaults.pstrName, place);
      }
    } else if (NameIs(pstrClass, L"MultiLanguage")) {
      TextRecord text;
      ReadElement(node, kMultiLanguageAttributes, text, place);
      if (text.id >= 0 && text.pstrValue != nullptr) {
        CWindowHostUI::AddMultiLanguageString(text.id, text.pstrValue);
      }
    }
  }
}

void CSkinBuilder::ApplyWindowAttributes(CSkinMarkupNode& root, CWindowHostUI* pHost) {
  if (!NameIs(root.GetTagName(), L"Window") || pHost->GetHostWindow() == nullptr) return;
  ISkinBuildObserver* pObserver = CSkinBuildScope::Observer();
  KnownAttributes known;
  if (pObserver != nullptr) {
    for (const WindowAttribute& attribute : kWindowAttributes) known.Add(attribute.info);
    const IHostShadow* pShadow = pHost->GetShadow();
    for (int i = 0; pShadow != nullptr && pShadow->WindowAttributeAt(i) != nullptr; ++i) {
      known.Add(*pShadow->WindowAttributeAt(i));
    }
  }
  const int nAttributes = root.GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    LPCWSTR pstrName = root.GetAttributeNameAt(i);
    LPCWSTR pstrValue = root.GetAttributeValueAt(i);
    const SkinAttributeInfo* pInfo = nullptr;
    if (const WindowAttribute* pAttribute = FindWindowAttribute(pstrName)) {
      pAttribute->pfnApply(*pHost, pstrValue);
      pInfo = &pAttribute->info;
    } else if (pHost->GetShadow() != nullptr &&
               pHost->GetShadow()->ApplyWindowAttribute(pstrName, pstrValue)) {
      const IHostShadow* pShadow = pHost->GetShadow();
      for (int k = 0; pObserver != nullptr && pShadow->WindowAttributeAt(k) != nullptr; ++k) {
        if (std::wcscmp(pShadow->WindowAttributeAt(k)->pstrName, pstrName) == 0) {
          pInfo = pShadow->WindowAttributeAt(k);
        }
      }
    } else {
      pHost->AddWindowCustomAttribute(pstrName, pstrValue);
    }
    if (pObserver != nullptr) {
      pObserver->OnElementAttribute(PlaceOf(root, root.GetAttributeSourceOffsetAt(i)), pInfo,
                                    known.List(), known.Count(), pstrName, pstrValue);
    }
  }
}

void CSkinBuilder::ObserveIncludeAttributes(const CSkinMarkupNode& element) {
  ISkinBuildObserver* pObserver = CSkinBuildScope::Observer();
  if (pObserver == nullptr) return;
  // An include reads its two names exactly.
  static const SkinAttributeInfo kIncludeAttributes[] = {{L"source", kTextValue},
                                                         {L"count", kIntValue}};
  const int nKnown = static_cast<int>(sizeof(kIncludeAttributes) / sizeof(kIncludeAttributes[0]));
  const int nAttributes = element.GetAttributeCount();
  for (int i = 0; i < nAttributes; ++i) {
    LPCWSTR pstrName = element.GetAttributeNameAt(i);
    const SkinAttributeInfo* pInfo = nullptr;
    for (const SkinAttributeInfo& info : kIncludeAttributes) {
      if (std::wcscmp(info.pstrName, pstrName) == 0) pInfo = &info;
    }
    pObserver->OnElementAttribute(PlaceOf(element, element.GetAttributeSourceOffsetAt(i)), pInfo,
                                  kIncludeAttributes, nKnown, pstrName,
                                  element.GetAttributeValueAt(i));
  }
}

}  // namespace SkinUI

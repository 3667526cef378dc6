#include "SkinAttributeReference.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "Control/UIListInfo.h"
#include "Core/UIAttributeTable.h"
#include "Core/UIControl.h"
#include "Core/UIControlFactory.h"

namespace skin_testing {

namespace {

// The reference holds only ASCII names.
std::string Narrow(const wchar_t* psz) {
  std::string s;
  for (; *psz != L'\0'; ++psz) s += static_cast<char>(*psz);
  return s;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](char c) { return static_cast<char>(::tolower(c)); });
  return s;
}

}  // namespace

std::string SkinAttributeReference() {
  using SkinUI::AttributeTable;
  struct Element {
    std::string name;
    std::string className;
    const AttributeTable* pTable;
    bool bListOwner;
  };
  std::vector<Element> elements;
  std::map<std::string, const AttributeTable*> classes;
  for (int i = 0; i < SkinUI::CControlFactory::GetCount(); ++i) {
    const wchar_t* pstrName = SkinUI::CControlFactory::GetNameAt(i);
    std::unique_ptr<SkinUI::CControlUI> pControl(SkinUI::CControlFactory::Create(pstrName));
    if (pControl == nullptr) continue;
    const AttributeTable* pTable = pControl->GetAttributeTable();
    elements.push_back({Narrow(pstrName), Narrow(pControl->ClassName()), pTable, pControl->QueryNamedInterface(L"IListOwner") != nullptr});
    for (const AttributeTable* p = pTable; p != nullptr; p = p->pfnGetBase ? p->pfnGetBase() : nullptr) {
      classes[Narrow(p->pstrClassName)] = p;
    }
  }
  std::sort(elements.begin(), elements.end(),
            [](const Element& a, const Element& b) { return Lower(a.name) < Lower(b.name); });

  std::string out =
      "# Skin attributes\n\n"
      "Every element a skin may use for a control, and the attributes its class reads. This file\n"
      "is made from the controls' attribute tables: after changing a table, regenerate it with\n"
      "`QUILL_UPDATE_SKIN_DOCS=1 ctest -R test_skin_attributes` (or build the target\n"
      "`skin_attribute_docs`); the test fails while the file and the tables differ. Attribute\n"
      "names are compared exactly; a name no table has is kept as a custom attribute of the\n"
      "control.\n\n"
      "Lengths (\"pixels\") are pixels of a 96-DPI screen: on a screen of another DPI a control\n"
      "takes them scaled, and again when its window moves to a screen of yet another DPI; fonts\n"
      "are made at the scaled size. An image may have variants drawn for 144 and 192 DPI beside\n"
      "it (\"name@1.5x.png\", \"name@2x.png\"); a window draws the nearest one made for at least\n"
      "its DPI, else the largest there is, scaled, with \"source\" and \"corner\" read in the\n"
      "96-DPI image's pixels.\n\n"
      "## Elements\n\n"
      "| element | control | reads the attributes of |\n|---|---|---|\n";
  for (const Element& element : elements) {
    std::string chain;
    for (const AttributeTable* p = element.pTable; p != nullptr; p = p->pfnGetBase ? p->pfnGetBase() : nullptr) {
      chain += (chain.empty() ? "" : ", ") + std::string("`") + Narrow(p->pstrClassName) + "`";
    }
    if (element.bListOwner) chain += ", the item attributes";
    out += "| `" + element.name + "` | " + element.className + " | " + chain + " |\n";
  }
  out += "\n## Attributes by class\n";
  for (const auto& entry : classes) {
    const AttributeTable* pTable = entry.second;
    out += "\n### `" + entry.first + "`\n\n| attribute | value |\n|---|---|\n";
    for (int i = 0; i < pTable->nEntries; ++i) {
      out += "| `" + Narrow(pTable->pEntries[i].pstrName) + "` | " +
             Narrow(pTable->pEntries[i].pstrValueKind) + " |\n";
    }
  }
  out += "\n### The item attributes\n\nRead by lists, combo boxes and list views for their rows.\n\n"
         "| attribute | value |\n|---|---|\n";
  for (int i = 0; i < SkinUI::ListItemAttributeCount(); ++i) {
    const SkinUI::ListItemAttribute& attribute = SkinUI::ListItemAttributeAt(i);
    out += "| `" + Narrow(attribute.pstrName) + "` | " + Narrow(attribute.pstrValueKind) + " |\n";
  }
  return out;
}

}  // namespace skin_testing

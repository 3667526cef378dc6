// The controls' attribute tables: every attribute a table names reaches its entry through
// ApplyAttribute, and the generated reference in docs/ matches the tables.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "CheckRecorder.h"
#include "Core/UIAttributeTable.h"
#include "Core/UIControl.h"
#include "Core/UIControlFactory.h"
#include "SkinAttributeReference.h"

using SkinUI::AttributeEntry;
using SkinUI::AttributeTable;

namespace {

const AttributeEntry* g_pFirstApplied = nullptr;

void NoteApplied(const AttributeEntry* pEntry) {
  if (g_pFirstApplied == nullptr) g_pFirstApplied = pEntry;
}

// A value of the kind the entry reads.
const wchar_t* SampleValue(const wchar_t* pstrKind) {
  struct Sample {
    const wchar_t* pstrKind;
    const wchar_t* pstrValue;
  };
  static const Sample kSamples[] = {
      {SkinUI::kIntValue, L"1"},          {SkinUI::kBoolValue, L"true"},
      {SkinUI::kColorValue, L"#FF102030"}, {SkinUI::kRectValue, L"1,1,1,1"},
      {SkinUI::kSizeValue, L"10,10"},     {SkinUI::kImageValue, L"file='none.png'"},
      {SkinUI::kAttributeListValue, L"width=\"5\""},
  };
  for (const Sample& sample : kSamples) {
    if (sample.pstrKind == pstrKind) return sample.pstrValue;
  }
  return L"x";
}

TEST(SkinAttributesTest, EveryAttributeATableNamesRunsItsEntry) {
  skin_testing::CheckRecorder checks;  // a class id of "x" is no class, and says so
  SkinUI::SetAttributeObserver(&NoteApplied);
  for (int i = 0; i < SkinUI::CControlFactory::GetCount(); ++i) {
    const wchar_t* pstrElement = SkinUI::CControlFactory::GetNameAt(i);
    std::unique_ptr<SkinUI::CControlUI> pControl(SkinUI::CControlFactory::Create(pstrElement));
    ASSERT_NE(pControl, nullptr);
    const AttributeTable* pChain = pControl->GetAttributeTable();
    for (const AttributeTable* p = pChain; p != nullptr; p = p->pfnGetBase ? p->pfnGetBase() : nullptr) {
      for (int k = 0; k < p->nEntries; ++k) {
        const AttributeEntry& entry = p->pEntries[k];
        g_pFirstApplied = nullptr;
        pControl->ApplyAttribute(entry.pstrName, SampleValue(entry.pstrValueKind));
        EXPECT_EQ(g_pFirstApplied, SkinUI::FindAttributeEntry(pChain, entry.pstrName))
            << std::wstring(pstrElement) << " " << std::wstring(entry.pstrName);
      }
    }
  }
  SkinUI::SetAttributeObserver(nullptr);
}

TEST(SkinAttributesTest, TheReferenceInDocsMatchesTheTables) {
  const std::string expected = skin_testing::SkinAttributeReference();
  if (std::getenv("QUILL_UPDATE_SKIN_DOCS") != nullptr) {
    FILE* pFile = _wfopen(QUILL_SKIN_ATTRIBUTE_DOCS, L"wb");
    ASSERT_NE(pFile, nullptr);
    std::fwrite(expected.data(), 1, expected.size(), pFile);
    std::fclose(pFile);
  }
  std::string actual;
  if (FILE* pFile = _wfopen(QUILL_SKIN_ATTRIBUTE_DOCS, L"rb")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0) actual.append(buffer, n);
    std::fclose(pFile);
  }
  EXPECT_EQ(actual, expected) << "regenerate docs/skin-attributes.md (QUILL_UPDATE_SKIN_DOCS=1)";
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Core/UIMarkup.h"
#include "Core/UISkinArchive.h"
#include "SkinTestDocuments.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using SkinUI::CSkinMarkup;
using SkinUI::CSkinMarkupNode;
using skin_testing::SkinDocument;

namespace {

const std::set<std::wstring> kParserMessages = {
    L"Expected start tag",           L"Error parsing element name",   L"Error while parsing attributes",
    L"Expected attribute value",     L"Error while parsing attribute string",
    L"Expected start-tag closing",   L"Expected end-tag start",       L"Unmatched closing tag",
};

bool IsNameText(LPCWSTR text) {
  for (; *text != L'\0'; ++text) {
    if (!IsCharAlphaNumericW(*text) && *text != L'_' && *text != L':') return false;
  }
  return true;
}

// What a consumer may rely on after any parse: a failure names one of the parser's messages
// and a location taken from the document; a success yields a finite tree whose attribute names
// are names and whose lookups agree with the attribute list.
void CheckOutcome(const std::wstring& document, const std::string& what, bool* parsed = nullptr) {
  CSkinMarkup markup;
  const bool ok = markup.ParseText(document.c_str());
  if (parsed != nullptr) *parsed = ok;
  if (!ok) {
    ASSERT_EQ(kParserMessages.count(markup.GetLastErrorMessage()), 1u)
        << what << ": " << testing_support::Narrow(markup.GetLastErrorMessage());
    const std::wstring location = markup.GetLastErrorLocation();
    ASSERT_LE(location.size(), 49u) << what;
    ASSERT_FALSE(markup.GetRootNode().IsValid()) << what;
    if (!location.empty()) {
      ASSERT_NE(document.find(location), std::wstring::npos) << what;
    }
    return;
  }
  const size_t openers = static_cast<size_t>(std::count(document.begin(), document.end(), L'<'));
  size_t nodes = 0;
  std::vector<CSkinMarkupNode> pending;
  if (markup.GetRootNode().IsValid()) pending.push_back(markup.GetRootNode());
  while (!pending.empty()) {
    CSkinMarkupNode node = pending.back();
    pending.pop_back();
    ASSERT_LE(++nodes, openers) << what;
    ASSERT_NE(node.GetTagName(), nullptr) << what;
    ASSERT_TRUE(IsNameText(node.GetTagName())) << what;
    const int count = node.GetAttributeCount();
    ASSERT_GE(count, 0);
    ASSERT_LE(count, CSkinMarkupNode::kMaxAttributes) << what;
    for (int i = 0; i < count; ++i) {
      LPCWSTR name = node.GetAttributeNameAt(i);
      ASSERT_NE(node.GetAttributeValueAt(i), nullptr) << what;
      ASSERT_TRUE(IsNameText(name)) << what << ": attribute " << i;
      int first = 0;
      while (wcscmp(node.GetAttributeNameAt(first), name) != 0) ++first;
      std::wstring found(wcslen(node.GetAttributeValueAt(first)) + 1, L'\0');
      ASSERT_TRUE(node.FindAttribute(name, &found[0], found.size() - 1)) << what;
      ASSERT_STREQ(found.c_str(), node.GetAttributeValueAt(first)) << what;
    }
    if (node.NextSibling().IsValid()) pending.push_back(node.NextSibling());
    if (node.FirstChild().IsValid()) pending.push_back(node.FirstChild());
  }
}

// Edits that hit what the parser cares about: markup characters, entities, tag and comment
// openers and closers, deletions, duplications and swaps.
class DocumentMutator {
 public:
  explicit DocumentMutator(uint32_t seed) : m_random(seed) {}

  std::wstring Mutate(std::wstring text) {
    const int edits = 1 + static_cast<int>(Next(4));
    for (int i = 0; i < edits && !text.empty(); ++i) {
      const size_t at = Next(text.size());
      switch (Next(6)) {
        case 0: {
          static const wchar_t kChars[] = L"<>/\"=&;!?- \t:_a字'";
          text[at] = kChars[Next(sizeof(kChars) / sizeof(kChars[0]) - 1)];
          break;
        }
        case 1:
          text.erase(at, 1 + Next(24));
          break;
        case 2: {
          const size_t from = Next(text.size());
          text.insert(at, text.substr(from, 1 + Next(40)));
          break;
        }
        case 3: {
          static const wchar_t* const kPieces[] = {L"&amp;", L"&", L"&lt", L"&quot;", L"<!--", L"-->", L"->",
                                                   L"<?",    L"?>", L"</", L"/>",  L"=\"",   L"\"",   L"<a ",
                                                   L"</a>",  L"<",  L">",  L"\r\n", L"\0"};
          const size_t piece = Next(sizeof(kPieces) / sizeof(kPieces[0]));
          text.insert(at, piece + 1 == sizeof(kPieces) / sizeof(kPieces[0]) ? std::wstring(1, L'\0')
                                                                           : std::wstring(kPieces[piece]));
          break;
        }
        case 4:
          std::swap(text[at], text[Next(text.size())]);
          break;
        default:
          text.resize(at);
          break;
      }
    }
    // The parser reads up to the first terminator; so does the check of the outcome.
    return text.substr(0, text.find(L'\0'));
  }

 private:
  size_t Next(size_t bound) { return static_cast<size_t>(m_random() % bound); }
  std::mt19937 m_random;
};

std::vector<SkinDocument> AllSkins() {
  std::vector<SkinDocument> skins = skin_testing::LoadTestSkins();
  for (SkinDocument& skin : skin_testing::LoadInstallerSkins()) skins.push_back(skin);
  return skins;
}

}  // namespace

TEST(SkinMarkupRobustness, TheTestSkinsParseIntoTheirTrees) {
  const std::vector<SkinDocument> skins = skin_testing::LoadTestSkins();
  ASSERT_EQ(skins.size(), 3u);
  for (const SkinDocument& skin : skins) {
    CSkinMarkup markup;
    ASSERT_TRUE(markup.ParseText(skin.text.c_str()))
        << testing_support::Narrow(skin.name) << ": " << testing_support::Narrow(markup.GetLastErrorMessage());
    EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"Window");
    CheckOutcome(skin.text, testing_support::Narrow(skin.name));
  }
}

TEST(SkinMarkupRobustness, HundredThousandMutatedSkinsParseOrFailCleanly) {
  const std::vector<SkinDocument> skins = AllSkins();
  ASSERT_FALSE(skins.empty());
  DocumentMutator mutator(20240601u);
  int failures = 0;
  for (int i = 0; i < 100000; ++i) {
    const std::wstring document = mutator.Mutate(skins[static_cast<size_t>(i) % skins.size()].text);
    bool parsed = false;
    CheckOutcome(document, "mutation " + std::to_string(i), &parsed);
    if (!parsed) ++failures;
    if (HasFatalFailure()) return;
  }
  // The mutations must exercise both outcomes to mean anything.
  EXPECT_GT(failures, 10000);
  EXPECT_LT(failures, 100000);
}

TEST(SkinMarkupRobustness, EveryTruncationOfASkinParsesOrFailsCleanly) {
  const std::vector<SkinDocument> skins = skin_testing::LoadTestSkins();
  const SkinDocument& largest = *std::max_element(
      skins.begin(), skins.end(), [](const SkinDocument& a, const SkinDocument& b) { return a.text.size() < b.text.size(); });
  for (size_t cut = 0; cut <= largest.text.size(); ++cut) {
    CheckOutcome(largest.text.substr(0, cut), "cut at " + std::to_string(cut));
    if (HasFatalFailure()) return;
  }
}

TEST(SkinMarkupRobustness, EveryInstallerSkinParsesFromAnArchiveInMemory) {
  const std::vector<SkinDocument> skins = skin_testing::LoadInstallerSkins();
  ASSERT_EQ(skins.size(), 4u) << "installation/skins holds the four skins";
  std::vector<testing_support::ZipEntry> entries;
  for (const SkinDocument& skin : skins) {
    testing_support::ZipEntry entry;
    entry.name = testing_support::Narrow(skin.name);
    entry.data = skin.bytes;
    entries.push_back(entry);
  }
  testing_support::ScratchFolder folder(L"installer_skins");
  ASSERT_TRUE(testing_support::WriteZipArchive(folder / L"skins.zip", entries));
  const std::string bytes = testing_support::ReadFileBytes(folder / L"skins.zip");
  std::unique_ptr<SkinUI::CSkinArchiveUI> archive(
      SkinUI::CSkinArchiveUI::OpenMemory(bytes.data(), static_cast<DWORD>(bytes.size())));
  ASSERT_NE(archive, nullptr);
  const SkinUI::SkinFileSource source{L"", L"membuffer", true, archive.get()};
  for (const SkinDocument& skin : skins) {
    CSkinMarkup markup;
    ASSERT_TRUE(markup.ParseSkinFile(skin.name.c_str(), SkinUI::SkinTextEncoding::Utf8, source))
        << testing_support::Narrow(skin.name) << ": " << testing_support::Narrow(markup.GetLastErrorMessage())
        << " at " << testing_support::Narrow(markup.GetLastErrorLocation());
    EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"Window") << testing_support::Narrow(skin.name);
    CheckOutcome(skin.text, testing_support::Narrow(skin.name));
  }
}

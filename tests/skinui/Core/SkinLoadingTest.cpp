#include <gtest/gtest.h>

#include <string>

#include "Core/UIMarkup.h"
#include "SkinTestDocuments.h"
#include "support/TestFiles.h"

using SkinUI::CSkinMarkup;
using SkinUI::CSkinMarkupNode;
using SkinUI::SkinFileSource;
using SkinUI::SkinTextEncoding;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

namespace {

const std::string kSkinUtf8 = "<Window size=\"370,150\"><Label text=\"\xE6\x8F\x90\xE7\xA4\xBA\"/></Window>";
const std::wstring kLabelText = L"提示";

std::wstring LabelText(CSkinMarkup& markup) {
  CSkinMarkupNode label = markup.GetRootNode().FirstChild();
  return label.IsValid() ? label.GetAttributeValueAt(0) : L"<no label>";
}

std::string Utf16Bytes(const std::wstring& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t ch : text) {
    const char high = static_cast<char>(ch >> 8), low = static_cast<char>(ch & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

bool ParseBytes(CSkinMarkup& markup, const std::string& bytes, SkinTextEncoding encoding) {
  return markup.ParseBytes(bytes.data(), static_cast<DWORD>(bytes.size()), encoding);
}

SkinFileSource FolderSource(const std::wstring& folder) {
  static std::wstring held;
  held = folder + L"\\";
  return SkinFileSource{held.c_str(), nullptr, false, nullptr};
}

// A well-formed skin padded with a comment to exactly `size` bytes.
std::string SkinOfSize(size_t size) {
  std::string skin = "<Window><!--";
  const std::string end = "--></Window>";
  skin += std::string(size - skin.size() - end.size(), 'x');
  return skin + end;
}

}  // namespace

TEST(SkinBytes, Utf8WithAndWithoutByteOrderMarkGiveTheSameDocument) {
  CSkinMarkup plain, marked;
  ASSERT_TRUE(ParseBytes(plain, kSkinUtf8, SkinTextEncoding::Utf8));
  ASSERT_TRUE(ParseBytes(marked, "\xEF\xBB\xBF" + kSkinUtf8, SkinTextEncoding::Utf8));
  EXPECT_EQ(LabelText(plain), kLabelText);
  EXPECT_EQ(LabelText(marked), kLabelText);
}

TEST(SkinBytes, OnlyAByteOrderMarkIsAnEmptyDocument) {
  CSkinMarkup markup;
  EXPECT_TRUE(ParseBytes(markup, "\xEF\xBB\xBF", SkinTextEncoding::Utf8));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
  EXPECT_TRUE(markup.ParseBytes(nullptr, 0, SkinTextEncoding::Utf8));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
}

TEST(SkinBytes, Utf16IsReadInTheByteOrderItsMarkNames) {
  const std::wstring text = L"<Window><Label text=\"" + kLabelText + L"\"/></Window>";
  CSkinMarkup little, big;
  ASSERT_TRUE(ParseBytes(little, Utf16Bytes(text, false), SkinTextEncoding::Utf16));
  ASSERT_TRUE(ParseBytes(big, Utf16Bytes(text, true), SkinTextEncoding::Utf16));
  EXPECT_EQ(LabelText(little), kLabelText);
  EXPECT_EQ(LabelText(big), kLabelText);
}

TEST(SkinBytes, Utf16IgnoresAnOddLastByteAndRefusesAMissingMark) {
  CSkinMarkup markup;
  ASSERT_TRUE(ParseBytes(markup, Utf16Bytes(L"<a/>", false) + "<", SkinTextEncoding::Utf16));
  EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"a");
  const std::string unmarked = Utf16Bytes(L"<a/>", false).substr(2);
  EXPECT_FALSE(ParseBytes(markup, unmarked, SkinTextEncoding::Utf16));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
  EXPECT_FALSE(ParseBytes(markup, "\xFF", SkinTextEncoding::Utf16));
}

TEST(SkinBytes, AnsiUsesTheSystemCodePage) {
  // 0x41 is "A" in every ANSI code page.
  CSkinMarkup markup;
  ASSERT_TRUE(ParseBytes(markup, "<Window text=\"A\"/>", SkinTextEncoding::Ansi));
  WCHAR expected[2] = {};
  MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, expected, 1);
  ASSERT_TRUE(ParseBytes(markup, "<Window text=\"\xE9\"/>", SkinTextEncoding::Ansi));
  EXPECT_EQ(std::wstring(markup.GetRootNode().GetAttributeValueAt(0)), std::wstring(expected));
}

TEST(SkinBytes, AParseErrorAfterDecodingIsTheParsersOwn) {
  CSkinMarkup markup;
  EXPECT_FALSE(ParseBytes(markup, "<Window size='1'/>", SkinTextEncoding::Utf8));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Expected attribute value");
}

TEST(SkinBytes, EmbeddedNulBytesEndTheDocument) {
  CSkinMarkup markup;
  const std::string bytes("<a/>\0<b", 7);
  ASSERT_TRUE(ParseBytes(markup, bytes, SkinTextEncoding::Utf8));
  EXPECT_FALSE(markup.GetRootNode().NextSibling().IsValid());
}

class SkinFolderTest : public ::testing::Test {
 protected:
  SkinFolderTest() : folder(L"skin_folder") {}
  ScratchFolder folder;
};

TEST_F(SkinFolderTest, ReadsTheFileBelowTheResourceFolder) {
  ASSERT_TRUE(WriteFileBytes(folder / L"msgbox.xml", kSkinUtf8));
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinFile(L"msgbox.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())))
      << markup.GetLastErrorMessage();
  EXPECT_EQ(LabelText(markup), kLabelText);
}

TEST_F(SkinFolderTest, AFileOfExactlyFourMebibytesLoadsAndOneByteMoreDoesNot) {
  const std::string limit = SkinOfSize(4194304);
  ASSERT_TRUE(WriteFileBytes(folder / L"limit.xml", limit));
  ASSERT_TRUE(WriteFileBytes(folder / L"over.xml", SkinOfSize(4194305)));
  CSkinMarkup markup;
  EXPECT_TRUE(markup.ParseSkinFile(L"limit.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())))
      << markup.GetLastErrorMessage();
  EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"Window");
  EXPECT_FALSE(markup.ParseSkinFile(L"over.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"File too large");
  EXPECT_STREQ(markup.GetLastErrorLocation(), L"");
  EXPECT_FALSE(markup.GetRootNode().IsValid());
}

TEST_F(SkinFolderTest, EmptyMissingAndUnopenableFilesFailWithTheirMessages) {
  ASSERT_TRUE(WriteFileBytes(folder / L"empty.xml", ""));
  ASSERT_TRUE(CreateDirectoryW((folder / L"folder.xml").c_str(), nullptr));
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(L"<previous/>"));
  EXPECT_FALSE(markup.ParseSkinFile(L"empty.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"File is empty");
  EXPECT_FALSE(markup.GetRootNode().IsValid()) << "the earlier document is gone";
  EXPECT_FALSE(markup.ParseSkinFile(L"absent.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error opening file");
  EXPECT_FALSE(markup.ParseSkinFile(L"folder.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error opening file");
}

TEST_F(SkinFolderTest, TheNameIsAppendedToTheFolderAsItIs) {
  ASSERT_TRUE(CreateDirectoryW((folder / L"sub").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(folder / L"sub\\inner.xml", "<Inner/>"));
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinFile(L"sub\\inner.xml", SkinTextEncoding::Utf8, FolderSource(folder.path())));
  EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"Inner");
  // Without a folder the name is taken relative to the current folder.
  ASSERT_TRUE(WriteFileBytes(L"current.xml", "<Current/>"));
  SkinFileSource noFolder{L"", nullptr, false, nullptr};
  ASSERT_TRUE(markup.ParseSkinFile(L"current.xml", SkinTextEncoding::Utf8, noFolder));
  EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"Current");
  DeleteFileW(L"current.xml");
}

TEST(SkinResource, AModuleResourceIsReadAsUtf8) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinResource(GetModuleHandleW(nullptr), 1, L"SKINXML")) << markup.GetLastErrorMessage();
  CSkinMarkupNode root = markup.GetRootNode();
  EXPECT_STREQ(root.GetTagName(), L"Window");
  WCHAR size[16] = {};
  ASSERT_TRUE(root.FindAttribute(L"size", size, 15));
  EXPECT_STREQ(size, L"420,320");
  EXPECT_FALSE(markup.ParseSkinResource(GetModuleHandleW(nullptr), 2, L"SKINXML"));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
}

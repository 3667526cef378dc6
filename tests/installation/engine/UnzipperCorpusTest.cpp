// Packages made by the zip tools users have (tests/fixtures/zips/make_zip_corpus.py): each
// sound one extracts byte for byte under the names its tool meant, the damaged ones fail
// as a damaged package and write nothing outside the target. The program runs on a
// Chinese desktop's code page (936), where names stored without the UTF-8 flag are read.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Common/Sha256.h"
#include "Common/UnZip/Unzipper.h"
#include "UnzipperTestPackage.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {

struct FileFacts {
  size_t size;
  std::string sha256;
  bool operator==(const FileFacts& other) const { return size == other.size && sha256 == other.sha256; }
};

std::wstring CorpusArchive(const char* name) {
  return CurrentFolder() + L"\\corpus\\" + std::wstring(name, name + strlen(name)) + L".zip";
}

std::wstring FromUtf8(const std::string& text) {
  const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
  return wide;
}

// "size<TAB>sha256<TAB>path" per file, as the corpus script lists what each archive holds.
std::map<std::wstring, FileFacts> ExpectedFiles(const char* name) {
  std::wstring list = CorpusArchive(name);
  list.replace(list.size() - 4, 4, L".list");
  std::map<std::wstring, FileFacts> files;
  const std::string text = ReadFileBytes(list);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    const size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
    files[FromUtf8(line.substr(tab2 + 1))] = {std::stoul(line.substr(0, tab1)), line.substr(tab1 + 1, tab2 - tab1 - 1)};
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return files;
}

std::map<std::wstring, FileFacts> ExtractedFiles(const std::wstring& folder) {
  std::map<std::wstring, FileFacts> files;
  for (const std::wstring& path : ListTree(folder)) {
    if (path.back() == L'\\') continue;
    const std::string bytes = ReadFileBytes(folder + L"\\" + path);
    files[path] = {bytes.size(), Sha256Hex(bytes)};
  }
  return files;
}

class ZipCorpus : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 936u) << "run with LC_ALL=zh_CN.UTF-8 (the locale must be generated)";
    ASSERT_TRUE(FileExists(CorpusArchive(GetParam()))) << "the corpus fixture did not run";
  }
};

class SoundArchive : public ZipCorpus {};
class DamagedArchive : public ZipCorpus {};

}  // namespace

TEST_P(SoundArchive, ExtractsEveryFileByteForByteUnderItsName) {
  UnzipperTestPackage p(L"corpus");
  ASSERT_TRUE(ExtractPackage(CorpusArchive(GetParam()).c_str(), p.target.c_str()));
  const auto expected = ExpectedFiles(GetParam());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ExtractedFiles(p.target), expected);
  // The deepest file lies past what an ordinary path reaches.
  size_t deepest = 0;
  for (const auto& file : expected) deepest = std::max(deepest, file.first.size());
  EXPECT_GT(p.target.size() + 1 + deepest, 280u);
}

INSTANTIATE_TEST_SUITE_P(Tools, SoundArchive,
                         testing::Values("infozip-utf8", "infozip-gbk", "infozip-zip64", "7zip", "7zip-gbk", "bsdtar",
                                         "python-stream", "python-zip64", "unicode-field"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name) c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST_P(DamagedArchive, FailsAsADamagedPackageAndWritesNothingOutsideTheTarget) {
  UnzipperTestPackage p(L"corpus");
  const ExtractResult result = ExtractPackageInto(CorpusArchive(GetParam()).c_str(), p.target.c_str());
  EXPECT_EQ(result.failure, ExtractFailure::kArchive);
  for (const std::wstring& path : p.Everything()) {
    EXPECT_EQ(path.compare(0, 6, L"setup\\"), 0) << Narrow(path);
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, DamagedArchive, testing::Values("7zip-deflate64", "7zip-lzma", "infozip-bzip2"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name) c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

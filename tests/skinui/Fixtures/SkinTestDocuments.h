#pragma once
// Skin documents for the framework's tests and benchmarks: the realistic skins under data/, the
// installer's own skins, and generated documents of any size.

#include <string>
#include <vector>

namespace skin_testing {

struct SkinDocument {
  std::wstring name;  // file name
  std::string bytes;  // the file as stored (UTF-8)
  std::wstring text;  // decoded
};

// The realistic skins kept with the tests.
std::vector<SkinDocument> LoadTestSkins();
// The installer's skins (installation/skins/*.xml).
std::vector<SkinDocument> LoadInstallerSkins();

std::wstring Utf8ToWide(const std::string& bytes);
std::string WideToUtf8(const std::wstring& text);

// A well-formed skin of at least cchMin characters: nested layouts of labelled buttons with
// attributes, entities and comments, like a large real skin.
std::wstring GenerateSkin(size_t cchMin);

}  // namespace skin_testing

// The package checked against the size and digest the manifest gives, and the digests
// themselves.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Common/Sha256.h"
#include "engine/PackageCheck.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {

const char kPackage[] = "package bytes";
const char kPackageDigest[] = "2e547448dcd0f2fcd9dbc386d33f1553369883451898177559bcf3e3b1083d16";

struct Description {
  const char* name;
  std::optional<std::string> size;
  std::optional<std::string> sha256;
  bool passes;
};

class PackageCheck : public ::testing::TestWithParam<Description> {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteFileBytes(m_package, kPackage)); }
  ScratchFolder m_folder{L"package-check"};
  std::wstring m_package = m_folder / L"setup.zip";
};

}  // namespace

TEST(Sha256, DigestsAreTheStandardOnes) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex(kPackage), kPackageDigest);
}

TEST_P(PackageCheck, PassesOnlyWhatTheManifestDescribes) {
  EXPECT_EQ(VerifyPackage(m_package.c_str(), GetParam().size, GetParam().sha256), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, PackageCheck,
    ::testing::Values(
        Description{"NothingNamed", std::nullopt, std::nullopt, true},
        Description{"RightSize", "13", std::nullopt, true},
        Description{"WrongSize", "14", std::nullopt, false},
        Description{"SizeThatIsNoNumber", "13 bytes", std::nullopt, false},
        Description{"RightDigestInCapitals", std::nullopt,
                    "2E547448DCD0F2FCD9DBC386D33F1553369883451898177559BCF3E3B1083D16", true},
        Description{"WrongDigest", std::nullopt,
                    "2e547448dcd0f2fcd9dbc386d33f1553369883451898177559bcf3e3b1083d17", false},
        Description{"ShortDigest", std::nullopt, std::string(kPackageDigest).substr(1), false},
        Description{"RightSizeWrongDigest", "13", std::string(64, 'a'), false}),
    [](const ::testing::TestParamInfo<Description>& info) { return std::string(info.param.name); });

TEST(PackageCheckFile, MissingOrHardLinkedPackageFailsWhenSomethingIsNamed) {
  ScratchFolder folder(L"package-check-file");
  EXPECT_FALSE(VerifyPackage((folder / L"missing.zip").c_str(), std::string("13"), std::nullopt));
  ASSERT_TRUE(WriteFileBytes(folder / L"elsewhere.zip", kPackage));
  ASSERT_TRUE(CreateHardLinkW((folder / L"setup.zip").c_str(), (folder / L"elsewhere.zip").c_str(), nullptr));
  EXPECT_FALSE(VerifyPackage((folder / L"setup.zip").c_str(), std::string("13"), std::nullopt));
}

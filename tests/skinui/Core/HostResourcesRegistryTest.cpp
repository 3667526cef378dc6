// Images, default attribute strings, custom window attributes, option groups, default colours
// and multi-language texts.

#include <cstring>
#include <string>
#include <vector>

#include "HostResourcesFixture.h"

using SkinUI::CControlUI;
using SkinUI::CUIString;
using SkinUI::CWindowHostUI;
using SkinUI::LoadedImage;
using skin_testing::FakeImageLoader;
using skin_testing::HostResourcesTest;
using skin_testing::IsLiveGdiObject;

namespace {

using HostRegistryTest = HostResourcesTest;

CControlUI* Control(int n) { return reinterpret_cast<CControlUI*>(static_cast<INT_PTR>(n * 16)); }

TEST_F(HostRegistryTest, ResourceImagesNeedANumericName) {
  EXPECT_EQ(m_host.RegisterImage(L"abc", L"PNG"), nullptr);
  EXPECT_TRUE(FakeImageLoader::Requests().empty());
  const LoadedImage* pImage = m_host.RegisterImage(L"129", L"PNG", 0xFF00FF00);
  ASSERT_NE(pImage, nullptr);
  EXPECT_EQ(FakeImageLoader::Requests(), std::vector<std::wstring>({L"#129|PNG|4278255360"}));
  EXPECT_STREQ(pImage->sResType, L"PNG");
  EXPECT_EQ(pImage->dwMask, 0xFF00FF00u);
  EXPECT_EQ(m_host.RegisterImage(L"", nullptr), nullptr);
}

TEST_F(HostRegistryTest, ImageOfTheSameNameReplacesAndFreesTheFirst) {
  const HBITMAP hFirst = m_host.RegisterImage(L"a.png")->hBitmap;
  LoadedImage* pSecond = m_host.RegisterImage(L"a.png", nullptr, 0xFF123456);
  EXPECT_FALSE(IsLiveGdiObject(hFirst));
  EXPECT_EQ(m_host.LookupImage(L"a.png"), pSecond);
  EXPECT_EQ(pSecond->dwMask, 0xFF123456u);
}

TEST_F(HostRegistryTest, ImagesAreLoadedOnceAndLookedUpWindowFirst) {
  LoadedImage* pShared = m_host.RegisterImage(L"bk.png", nullptr, 0, false, true);
  LoadedImage* pOwn = m_host.LookupOrLoadImage(L"own.png");
  EXPECT_EQ(m_host.LookupOrLoadImage(L"own.png"), pOwn);
  EXPECT_EQ(m_host.LookupOrLoadImage(L"bk.png"), pShared);
  EXPECT_EQ(FakeImageLoader::Requests().size(), 2u);

  CWindowHostUI other;
  EXPECT_EQ(other.LookupImage(L"bk.png"), pShared);
  EXPECT_EQ(other.LookupImage(L"own.png"), nullptr);
  LoadedImage* pOverride = m_host.RegisterImage(L"bk.png");
  EXPECT_EQ(m_host.LookupImage(L"bk.png"), pOverride);
  EXPECT_EQ(other.LookupImage(L"bk.png"), pShared);
}

TEST_F(HostRegistryTest, AnImageThatFailedToLoadIsTriedAgainOnlyAfterTheImagesAreRemoved) {
  EXPECT_EQ(m_host.LookupOrTryImage(L"missing.png"), nullptr);
  EXPECT_EQ(m_host.LookupOrTryImage(L"missing.png"), nullptr);
  EXPECT_EQ(FakeImageLoader::Requests().size(), 1u);
  m_host.RemoveAllImages();
  EXPECT_EQ(m_host.LookupOrTryImage(L"missing.png"), nullptr);
  EXPECT_EQ(FakeImageLoader::Requests().size(), 2u);
}

TEST_F(HostRegistryTest, ImagesAreLookedUpThroughParentHostsUntilAParentGoes) {
  LoadedImage* pTop = m_host.RegisterImage(L"top.png");
  CWindowHostUI child;
  CWindowHostUI grandchild;
  child.SetParentHost(&m_host);
  grandchild.SetParentHost(&child);
  EXPECT_EQ(grandchild.LookupOrLoadImage(L"top.png"), pTop);
  EXPECT_EQ(FakeImageLoader::Requests().size(), 1u) << "found, not loaded again";
  LoadedImage* pNearer = child.RegisterImage(L"top.png");
  EXPECT_EQ(grandchild.LookupImage(L"top.png"), pNearer);
  EXPECT_EQ(m_host.LookupImage(L"top.png"), pTop) << "a parent never asks its children";
  EXPECT_FALSE(m_host.SetParentHost(&grandchild)) << "no host is its own ancestor";

  {
    CWindowHostUI passing;
    passing.RegisterImage(L"passing.png");
    grandchild.SetParentHost(&passing);
    EXPECT_NE(grandchild.LookupImage(L"passing.png"), nullptr);
  }
  EXPECT_EQ(grandchild.GetParentHost(), nullptr);
  EXPECT_EQ(grandchild.LookupImage(L"passing.png"), nullptr);
}

TEST_F(HostRegistryTest, DefaultAttributesOfTheWindowComeBeforeSharedOnes) {
  m_host.SetDefaultAttributes(L"Button", L"textcolor=\"#FF000000\"", true);
  m_host.SetDefaultAttributes(L"Button", L"height=\"30\"");
  m_host.SetDefaultAttributes(L"Button", L"height=\"32\"");
  EXPECT_STREQ(m_host.DefaultAttributesFor(L"Button"), L"height=\"32\"");
  EXPECT_EQ(m_host.DefaultAttributesFor(L"Label"), nullptr);
  m_host.RemoveAllDefaultAttributeLists();
  EXPECT_STREQ(m_host.DefaultAttributesFor(L"Button"), L"textcolor=\"#FF000000\"");
}

TEST_F(HostRegistryTest, FirstValueOfACustomWindowAttributeWins) {
  m_host.AddWindowCustomAttribute(L"theme", L"dark");
  m_host.AddWindowCustomAttribute(L"theme", L"light");
  m_host.AddWindowCustomAttribute(L"", L"value");
  m_host.AddWindowCustomAttribute(L"empty", L"");
  EXPECT_STREQ(m_host.GetWindowCustomAttribute(L"theme"), L"dark");
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"empty"), nullptr);
  m_host.RemoveAllWindowCustomAttributes();
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"theme"), nullptr);
}

TEST_F(HostRegistryTest, OptionGroupGoesWithItsLastMember) {
  EXPECT_TRUE(m_host.JoinOptionGroup(L"tabs", Control(1)));
  EXPECT_TRUE(m_host.JoinOptionGroup(L"tabs", Control(2)));
  EXPECT_FALSE(m_host.JoinOptionGroup(L"tabs", Control(1)));
  const SkinUI::CPtrArrayUI* pMembers = m_host.OptionGroupMembers(L"tabs");
  ASSERT_NE(pMembers, nullptr);
  ASSERT_EQ(pMembers->GetSize(), 2);
  EXPECT_EQ(pMembers->GetAt(0), Control(1));
  EXPECT_EQ(pMembers->GetAt(1), Control(2));

  m_host.LeaveOptionGroup(L"tabs", Control(1));
  EXPECT_EQ(m_host.OptionGroupMembers(L"tabs")->GetSize(), 1);
  m_host.LeaveOptionGroup(L"tabs", Control(2));
  EXPECT_EQ(m_host.OptionGroupMembers(L"tabs"), nullptr);
}

TEST_F(HostRegistryTest, WindowColourSetExplicitlySurvivesASharedChange) {
  using SkinUI::kDefaultLinkTextColor;
  using SkinUI::kDefaultTextColor;
  EXPECT_EQ(m_host.GetDefaultColor(kDefaultTextColor), 0xFF000000u);
  EXPECT_EQ(m_host.GetDefaultColor(kDefaultLinkTextColor), 0xFF0000FFu);
  m_host.SetDefaultColor(kDefaultTextColor, 0xFF111111);
  m_host.SetDefaultColor(kDefaultTextColor, 0xFF222222, true);
  m_host.SetDefaultColor(kDefaultLinkTextColor, 0xFF333333, true);
  EXPECT_EQ(m_host.GetDefaultColor(kDefaultTextColor), 0xFF111111u);
  EXPECT_EQ(m_host.GetDefaultColor(kDefaultLinkTextColor), 0xFF333333u);
  CWindowHostUI later;
  EXPECT_EQ(later.GetDefaultColor(kDefaultTextColor), 0xFF222222u);
  m_host.SetDefaultColor(kDefaultTextColor, 0xFF000000, true);
  m_host.SetDefaultColor(kDefaultLinkTextColor, 0xFF0000FF, true);
}

TEST_F(HostRegistryTest, AttachingAWindowEmptiesOnlyTheWindowsOwnRegistries) {
  const HFONT hOwn = m_host.RegisterFont(1, L"Arial", 12, false, false, false);
  const HFONT hShared = m_host.RegisterFont(2, L"Arial", 12, false, false, false, true);
  const HBITMAP hOwnImage = m_host.RegisterImage(L"own.png")->hBitmap;
  m_host.SetDefaultAttributes(L"Button", L"a=\"1\"");
  m_host.AddWindowCustomAttribute(L"theme", L"dark");
  m_host.JoinOptionGroup(L"tabs", Control(1));

  m_host.AttachWindow(m_window);
  EXPECT_FALSE(IsLiveGdiObject(hOwn));
  EXPECT_FALSE(IsLiveGdiObject(hOwnImage));
  EXPECT_EQ(m_host.LookupFont(2), hShared);
  EXPECT_EQ(m_host.LookupImage(L"own.png"), nullptr);
  EXPECT_EQ(m_host.DefaultAttributesFor(L"Button"), nullptr);
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"theme"), nullptr);
  EXPECT_EQ(m_host.OptionGroupMembers(L"tabs"), nullptr);
  EXPECT_EQ(m_host.GetHostWindow(), m_window.GetHWND());
}

TEST(MultiLanguageTest, TokensAreReplacedByTheirRegisteredTexts) {
  CWindowHostUI::AddMultiLanguageString(12, L"old");
  CWindowHostUI::AddMultiLanguageString(12, L"x");
  CWindowHostUI::AddMultiLanguageString(0, L"zero");
  CWindowHostUI::AddMultiLanguageString(33, L"<%{12}>");
  EXPECT_STREQ(CWindowHostUI::GetMultiLanguageString(12), L"x");
  EXPECT_EQ(CWindowHostUI::GetMultiLanguageString(13), nullptr);

  const struct {
    const wchar_t* text;
    const wchar_t* expected;
  } cases[] = {
      {L"%{12}-%{12}", L"x-x"},
      {L"a %{12", L"a %{12"},
      {L"100% sure %{13}", L"100% sure %{13}"},
      {L"%{}", L"zero"},
      {L"%{99999999999}", L"%{99999999999}"},
      {L"%%{12}%", L"%x%"},
      {L"%{33}|%{33}", L"<x>|<x>"},  // tokens inside registered texts too
  };
  for (const auto& c : cases) {
    CUIString sText(c.text);
    CWindowHostUI::ApplyLanguageTokens(sText);
    EXPECT_STREQ(sText, c.expected) << "from " << testing::PrintToString(std::wstring(c.text));
  }
}

// Texts that refer to themselves grow on every replacement: the replacing stops at a bound.
TEST(MultiLanguageTest, TextsThatExpandWithoutEndStop) {
  CWindowHostUI::AddMultiLanguageString(1, L"{b}lang one{/b}");
  CWindowHostUI::AddMultiLanguageString(2, L"%{1}%{2}");
  CWindowHostUI::AddMultiLanguageString(7, L"a%{7}");
  const struct {
    const wchar_t* text;
    // The result: head, then what each replacement adds repeated, then tail.
    const wchar_t* head;
    const wchar_t* grows;
    const wchar_t* tail;
  } cases[] = {
      {L"%{2}%{2}", L"", L"%{1}", L"%{2}%{2}"},
      {L"[%{7}]", L"[", L"a", L"%{7}]"},
  };
  for (const auto& c : cases) {
    CUIString sText(c.text);
    CWindowHostUI::ApplyLanguageTokens(sText);
    const std::wstring result(sText.GetData()), head(c.head), grows(c.grows), tail(c.tail);
    const size_t repeats = (result.size() - head.size() - tail.size()) / grows.size();
    ASSERT_GE(repeats, 10u) << "it did expand";
    std::wstring expected = head;
    for (size_t i = 0; i < repeats; ++i) expected += grows;
    EXPECT_EQ(result, expected + tail);
  }
}

}  // namespace

namespace {

class HueShiftScope {
 public:
  explicit HueShiftScope(const SkinUI::HueShift& shift) : m_saved(CWindowHostUI::GetHueShift()) {
    CWindowHostUI::SetHueShift(shift);
  }
  ~HueShiftScope() { CWindowHostUI::SetHueShift(m_saved); }

 private:
  SkinUI::HueShift m_saved;
};

TEST_F(HostRegistryTest, ImageFollowingHueIsRecolouredAtOnceWhileTheShiftIsInUse) {
  HueShiftScope scope({60, 100, 100, true});
  const LoadedImage* pFollowing = m_host.RegisterImage(L"tinted.png", nullptr, 0, true);
  const LoadedImage* pPlain = m_host.RegisterImage(L"plain.png", nullptr, 0, false);
  ASSERT_NE(pFollowing, nullptr);
  ASSERT_NE(pPlain, nullptr);
  ASSERT_NE(pFollowing->pUnadjustedPixels, nullptr);
  for (int i = 0; i < 6; ++i) {
    const DWORD original = 0xFF000000u | static_cast<DWORD>(i * 40);
    EXPECT_EQ(pFollowing->pUnadjustedPixels[i], original) << "the unadjusted copy keeps the loaded pixels";
    EXPECT_EQ(pFollowing->pPixels[i], SkinUI::ShiftColorHsl(original, 60, 100, 100)) << "pixel " << i;
    EXPECT_EQ(pPlain->pPixels[i], original) << "an image that does not follow hue keeps its pixels";
  }
}

TEST_F(HostRegistryTest, ImageFollowingHueKeepsItsPixelsWhileTheShiftIsNotInUse) {
  HueShiftScope scope({60, 100, 100, false});
  const LoadedImage* pImage = m_host.RegisterImage(L"tinted.png", nullptr, 0, true);
  ASSERT_NE(pImage, nullptr);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pImage->pPixels[i], 0xFF000000u | static_cast<DWORD>(i * 40));
}

}  // namespace

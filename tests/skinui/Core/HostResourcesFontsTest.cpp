// Fonts by id, the default fonts, and the order of the window's and the shared registries.

#include <string>

#include "HostResourcesFixture.h"

using SkinUI::CWindowHostUI;
using SkinUI::FontInfo;
using skin_testing::HostResourcesTest;
using skin_testing::IsLiveGdiObject;

namespace {

LOGFONTW Describe(HGDIOBJ hFont) {
  LOGFONTW lf = {};
  ::GetObjectW(hFont, sizeof(lf), &lf);
  return lf;
}

using HostFontsTest = HostResourcesTest;

TEST_F(HostFontsTest, NegativeAndUnknownIdsGiveTheStockGuiFont) {
  const LOGFONTW stock = Describe(::GetStockObject(DEFAULT_GUI_FONT));
  const FontInfo* pDefault = m_host.GetDefaultFontInfo();
  EXPECT_EQ(m_host.LookupFont(-1), pDefault->hFont);
  EXPECT_EQ(m_host.LookupFont(55), pDefault->hFont);
  EXPECT_STREQ(pDefault->sFontName, stock.lfFaceName);
  EXPECT_EQ(pDefault->iSize, -stock.lfHeight);
  EXPECT_EQ(Describe(pDefault->hFont).lfCharSet, DEFAULT_CHARSET);
  EXPECT_GT(pDefault->tm.tmHeight, 0) << "measured on the window's device context";
}

TEST_F(HostFontsTest, FontIsCreatedFromTheStockDescription) {
  const LOGFONTW stock = Describe(::GetStockObject(DEFAULT_GUI_FONT));
  const HFONT hFont = m_host.RegisterFont(1, L"Tahoma", 14, true, true, true);
  const LOGFONTW lf = Describe(hFont);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  EXPECT_EQ(lf.lfHeight, -14);
  EXPECT_EQ(lf.lfWeight, stock.lfWeight + FW_BOLD) << "bold adds to the stock weight";
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);

  const std::wstring sLongName(40, L'F');
  const HFONT hLong = m_host.RegisterFont(2, sLongName.c_str(), 12, false, false, false);
  EXPECT_EQ(std::wstring(Describe(hLong).lfFaceName), sLongName.substr(0, LF_FACESIZE - 1));
  EXPECT_EQ(m_host.FindFont(sLongName.c_str(), 12, false, false, false), hLong);
}

TEST_F(HostFontsTest, RegisteringAnIdAgainDeletesTheFirstFont) {
  const HFONT hFirst = m_host.RegisterFont(3, L"Arial", 12, false, false, false);
  const HFONT hSecond = m_host.RegisterFont(3, L"Arial", 16, false, false, false);
  EXPECT_FALSE(IsLiveGdiObject(hFirst));
  EXPECT_TRUE(IsLiveGdiObject(hSecond));
  EXPECT_EQ(m_host.LookupFont(3), hSecond);
  EXPECT_EQ(m_host.GetFontInfo(3)->iSize, 16);
}

TEST_F(HostFontsTest, WindowFontsComeBeforeSharedOnes) {
  const HFONT hShared = m_host.RegisterFont(5, L"Arial", 10, false, false, false, true);
  const HFONT hOwn = m_host.RegisterFont(5, L"Tahoma", 11, false, false, false);
  CWindowHostUI other;
  EXPECT_EQ(m_host.LookupFont(5), hOwn);
  EXPECT_EQ(other.LookupFont(5), hShared);
  m_host.RemoveAllFonts();
  EXPECT_FALSE(IsLiveGdiObject(hOwn));
  EXPECT_EQ(m_host.LookupFont(5), hShared);
}

TEST_F(HostFontsTest, FontsAreFoundByDescriptionAndByHandle) {
  const HFONT hBold = m_host.RegisterFont(1, L"Arial", 12, true, false, false);
  const HFONT hPlain = m_host.RegisterFont(2, L"Arial", 12, false, false, false, true);
  EXPECT_EQ(m_host.FindFont(L"Arial", 12, true, false, false), hBold);
  EXPECT_EQ(m_host.FindFont(L"Arial", 12, false, false, false), hPlain);
  EXPECT_EQ(m_host.FindFont(L"arial", 12, true, false, false), nullptr) << "names compare exactly";
  EXPECT_EQ(m_host.FindFont(L"Arial", 12, false, true, false), nullptr);

  EXPECT_EQ(m_host.GetFontInfo(hPlain)->hFont, hPlain);
  EXPECT_EQ(m_host.GetFontInfo(static_cast<HFONT>(::GetStockObject(SYSTEM_FONT))),
            m_host.GetDefaultFontInfo());
}

}  // namespace

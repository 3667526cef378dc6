// The "Window" element's attributes configure the host of a real window.

#include <memory>

#include "SkinBuilderSupport.h"
#include "Utils/UIShadow.h"

namespace skin_testing {
namespace {

using SkinUI::CControlUI;
using SkinUI::CSkinBuilder;
using SkinUI::CWindowHostUI;

typedef std::unique_ptr<CControlUI> Tree;

TEST_F(SkinBuilderTest, WindowAttributesSetTheHostsGeometryAndColours) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<WINDOW Size=\"300,200\" sizebox=\"4,5,6,7\" caption=\"0,0,0,32\" roundcorner=\"5,6\" "
      L"mininfo=\"120,80\" maxinfo=\"800,600\" defaultfontcolor=\"#FF112233\" "
      L"disabledfontcolor=\"FF445566\" linkfontcolor=\"#FF0000FF\" "
      L"linkhoverfontcolor=\"#FF00FFFF\" selectedcolor=\"#FFABCDEF\">"
      L"<Label/></WINDOW>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(m_host.GetInitialSize().cx, 300);
  EXPECT_EQ(m_host.GetInitialSize().cy, 200);
  const SkinUI::CUIRect sizebox = m_host.GetSizingBorder();
  EXPECT_EQ(sizebox.left, 4);
  EXPECT_EQ(sizebox.top, 5);
  EXPECT_EQ(sizebox.right, 6);
  EXPECT_EQ(sizebox.bottom, 7);
  EXPECT_EQ(m_host.GetCaptionArea().bottom, 32);
  EXPECT_EQ(m_host.GetCornerRounding().cx, 5);
  EXPECT_EQ(m_host.GetCornerRounding().cy, 6);
  EXPECT_EQ(m_host.GetMinimumSize().cx, 120);
  EXPECT_EQ(m_host.GetMinimumSize().cy, 80);
  EXPECT_EQ(m_host.GetMaximumSize().cx, 800);
  EXPECT_EQ(m_host.GetMaximumSize().cy, 600);
  EXPECT_EQ(m_host.GetDefaultColor(SkinUI::kDefaultTextColor), 0xFF112233u);
  EXPECT_EQ(m_host.GetDefaultColor(SkinUI::kDefaultDisabledTextColor), 0xFF445566u);
  EXPECT_EQ(m_host.GetDefaultColor(SkinUI::kDefaultLinkTextColor), 0xFF0000FFu);
  EXPECT_EQ(m_host.GetDefaultColor(SkinUI::kDefaultHoveredLinkTextColor), 0xFF00FFFFu);
  EXPECT_EQ(m_host.GetDefaultColor(SkinUI::kDefaultSelectedBkColor), 0xFFABCDEFu);
}

TEST_F(SkinBuilderTest, LayeredAndOpacitySettingsNeedTheirExactNames) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window opacity=\"200\" Layeredopacity=\"9\" layeredimage=\"file='bg.png'\" "
      L"layeredopacity=\"77\"><Label/></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(m_host.IsLayered());
  EXPECT_STREQ(m_host.GetLayeredImage(), L"file='bg.png'");
  // A capital L is not the layered opacity: it is kept as a window attribute of its own.
  EXPECT_STREQ(m_host.GetWindowCustomAttribute(L"Layeredopacity"), L"9");
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"layeredopacity"), nullptr);
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"opacity"), nullptr);
}

TEST_F(SkinBuilderTest, UnknownWindowAttributesAreKeptFirstValueFirst) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window theme=\"dark\" theme=\"light\" empty=\"\" shadowsize=\"4\" showshadow=\"true\">"
      L"<Label/></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(m_host.GetWindowCustomAttribute(L"theme"), L"dark");
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"empty"), nullptr);
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"shadowsize"), nullptr);
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"showshadow"), nullptr);
}

TEST_F(SkinBuilderTest, ShadowAttributesConfigureTheHostsShadow) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window shadowsize=\"6\" shadowsize=\"21\" shadowsharpness=\"8\" "
      L"shadowdarkness=\"90\" shadowdarkness=\"256\" shadowposition=\"3,-2\" "
      L"shadowcolor=\"#FF102030\" shadowcorner=\"23,13,23,33\" shadowpadding=\"1,2,-3,-4\" "
      L"shadowimage=\"common\\window\\shadow.png\" showshadow=\"true\"><Label/></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  const SkinUI::CShadowUI& shadow = *SkinUI::CShadowUI::OfHost(m_host);
  EXPECT_EQ(shadow.GetShadowSize(), 6) << "21 is refused";
  EXPECT_EQ(shadow.GetShadowSharpness(), 8);
  EXPECT_EQ(shadow.GetShadowDarkness(), 90) << "256 is refused";
  EXPECT_EQ(shadow.GetShadowOffset().x, 3);
  EXPECT_EQ(shadow.GetShadowOffset().y, -2);
  EXPECT_EQ(shadow.GetShadowColor(), 0x102030u);
  const RECT rcCorner = shadow.GetShadowCorner(), rcPadding = shadow.GetShadowPadding();
  const RECT rcCornerWritten = {23, 13, 23, 33}, rcPaddingWritten = {1, 2, -3, -4};
  EXPECT_TRUE(::EqualRect(&rcCorner, &rcCornerWritten));
  EXPECT_TRUE(::EqualRect(&rcPadding, &rcPaddingWritten));
  EXPECT_TRUE(shadow.IsImageShadow());
  EXPECT_STREQ(shadow.GetShadowImage(), L"common\\window\\shadow.png");
  EXPECT_TRUE(shadow.IsShadowEnabled());

  // Only the exact text "true" enables it, and only the exact names are shadow settings.
  CSkinBuilder again;
  Tree other(again.Build(L"<Window showshadow=\"True\" ShadowSize=\"3\"><Label/></Window>",
                         nullptr, nullptr, &m_host));
  EXPECT_FALSE(shadow.IsShadowEnabled());
  EXPECT_EQ(shadow.GetShadowSize(), 6);
  EXPECT_STREQ(m_host.GetWindowCustomAttribute(L"ShadowSize"), L"3");
}

TEST_F(SkinBuilderTest, TrayIconIdAddsTheProgramsIconWithItsTip) {
  CSkinBuilder builder;
  Tree root(builder.Build(L"<Window trayiconid=\"1\" traytiptext=\"Quillmere\"><Label/></Window>",
                          nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(m_host.IsTrayIconShown());

  RecordingWindow window{L"QuillTestHost"};
  CWindowHostUI other;
  ASSERT_NE(window.Create(nullptr, L"other", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
  other.AttachWindow(window);
  CSkinBuilder zero;
  Tree zeroRoot(zero.Build(L"<Window trayiconid=\"0\"><Label/></Window>", nullptr, nullptr, &other));
  EXPECT_FALSE(other.IsTrayIconShown());
}

TEST_F(SkinBuilderTest, AHostWithoutAWindowGetsResourcesButNoWindowSettings) {
  CWindowHostUI detached;
  const SkinUI::CUISize before = detached.GetInitialSize();
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window size=\"640,480\" flavour=\"x\"><Font id=\"5\" name=\"Tahoma\"/><Label/></Window>",
      nullptr, nullptr, &detached));
  ASSERT_NE(root, nullptr);
  EXPECT_NE(detached.GetFontInfo(5), nullptr);
  EXPECT_EQ(detached.GetInitialSize().cx, before.cx);
  EXPECT_EQ(detached.GetWindowCustomAttribute(L"flavour"), nullptr);
}

}  // namespace
}  // namespace skin_testing

// The skin builder: controls by element name, attributes and defaults, resources, the callback
// for unknown names, includes and malformed skins.

#include <memory>

#include "Control/UILabel.h"
#include "SkinBuilderSupport.h"

namespace skin_testing {
namespace {

using SkinUI::CControlUI;
using SkinUI::CSkinBuilder;
using SkinUI::CWindowHostUI;

typedef std::unique_ptr<CControlUI> Tree;

TEST_F(SkinBuilderTest, ElementsBecomeControlsOfTheirClassWithNamesTextsAndOrder) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><VerticalLayout name=\"root\">"
      L"<Label name=\"title\" text=\"Hello\"/>"
      L"<HBox name=\"row\"><Button name=\"ok\" text=\"OK\"/><Option name=\"opt\"/>"
      L"<CheckBox name=\"check\"/><Progress/><Slider/></HBox>"
      L"<Text/><Control/><Container/><TabLayout/><TileLayout/><ScrollBar/>"
      L"<HorizontalLayout/><ChildLayout/>"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ClassOf(root.get()), L"VerticalLayoutUI");
  EXPECT_EQ(std::wstring(root->GetName()), L"root");
  SkinUI::CContainerUI* pRoot = AsContainer(root.get());
  ASSERT_NE(pRoot, nullptr);
  ASSERT_EQ(pRoot->GetItemCount(), 10);
  EXPECT_EQ(ClassOf(pRoot->GetItemAt(0)), L"LabelUI");
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(0)->GetName()), L"title");
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(0)->GetText()), L"Hello");
  const wchar_t* kRest[] = {L"HorizontalLayoutUI", L"TextUI",       L"ControlUI",
                            L"ContainerUI",        L"TabLayoutUI",  L"TileLayoutUI",
                            L"ScrollBarUI",        L"HorizontalLayoutUI", L"ChildLayoutUI"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(ClassOf(pRoot->GetItemAt(i + 1)), kRest[i]) << i;

  SkinUI::CContainerUI* pRow = AsContainer(pRoot->GetItemAt(1));
  ASSERT_NE(pRow, nullptr);
  ASSERT_EQ(pRow->GetItemCount(), 5);
  EXPECT_EQ(ClassOf(pRow->GetItemAt(0)), L"ButtonUI");
  EXPECT_EQ(std::wstring(pRow->GetItemAt(0)->GetText()), L"OK");
  EXPECT_EQ(ClassOf(pRow->GetItemAt(1)), L"OptionUI");
  EXPECT_EQ(ClassOf(pRow->GetItemAt(2)), L"CheckBoxUI");
  EXPECT_EQ(ClassOf(pRow->GetItemAt(3)), L"ProgressUI");
  EXPECT_EQ(ClassOf(pRow->GetItemAt(4)), L"SliderUI");
  // Detached from the host until the caller attaches the tree.
  EXPECT_EQ(root->GetHost(), nullptr);
  EXPECT_EQ(pRow->GetItemAt(0)->GetHost(), nullptr);
}

TEST_F(SkinBuilderTest, ElementNamesIgnoreCaseExceptTheExactOnesWhichGoToTheCallback) {
  RecordingCallback callback;
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><VerticalLayout><vbox/><VBOX/><gifanim/><Mystery><Label/></Mystery>"
      L"<Recorder name=\"custom\"/><label name=\"after\"/></VerticalLayout></Window>",
      nullptr, &callback, &m_host));
  ASSERT_NE(root, nullptr);
  SkinUI::CContainerUI* pRoot = AsContainer(root.get());
  ASSERT_EQ(pRoot->GetItemCount(), 4);
  EXPECT_EQ(ClassOf(pRoot->GetItemAt(0)), L"VerticalLayoutUI");
  EXPECT_EQ(ClassOf(pRoot->GetItemAt(1)), L"VerticalLayoutUI");
  EXPECT_EQ(ClassOf(pRoot->GetItemAt(2)), L"RecordingContainerUI");
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(2)->GetName()), L"custom");
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(3)->GetName()), L"after");
  // The unknown element's subtree is skipped with it: its Label never reaches the factory.
  EXPECT_EQ(callback.offered, (std::vector<std::wstring>{L"gifanim", L"Mystery", L"Recorder"}));
}

TEST_F(SkinBuilderTest, UnknownElementsWithoutCallbackAreSkippedWithTheirChildren) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><VerticalLayout><Fancy><Button/></Fancy><Button name=\"kept\"/></VerticalLayout>"
      L"</Window>"));
  ASSERT_NE(root, nullptr);
  SkinUI::CContainerUI* pRoot = AsContainer(root.get());
  ASSERT_EQ(pRoot->GetItemCount(), 1);
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(0)->GetName()), L"kept");
}

TEST_F(SkinBuilderTest, HostDefaultsApplyFirstAndOwnAttributesOverrideThem) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><Default name=\"Label\" value=\"text=&quot;from default&quot; "
      L"name=&quot;defaulted&quot;\"/>"
      L"<VerticalLayout><Label text=\"own\"/><Button/></VerticalLayout></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(m_host.DefaultAttributesFor(L"Label"), L"text=\"from default\" name=\"defaulted\"");
  SkinUI::CContainerUI* pRoot = AsContainer(root.get());
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(0)->GetText()), L"own");
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(0)->GetName()), L"defaulted");
  // Defaults go by element name: the Button gets none of them.
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(1)->GetText()), L"");
}

TEST_F(SkinBuilderTest, ChildrenAreAddedBeforeTheirParentsOwnAttributesArrive) {
  RecordingCallback callback;
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><Recorder name=\"r\" padding=\"1,1,1,1\"><Label/><Label/></Recorder></Window>",
      nullptr, &callback, &m_host));
  ASSERT_NE(root, nullptr);
  RecordingContainerUI* pRecorder = dynamic_cast<RecordingContainerUI*>(root.get());
  ASSERT_NE(pRecorder, nullptr);
  EXPECT_EQ(pRecorder->childrenAtAttribute, (std::vector<std::wstring>{L"name@2", L"padding@2"}));
}

TEST_F(SkinBuilderTest, FontsImagesAndTextsAreRegisteredWithTheHost) {
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><Font id=\"3\" name=\"Tahoma\" size=\"17\" bold=\"TRUE\" italic=\"true\" "
      L"default=\"true\"/>"
      L"<Font name=\"Arial\" size=\"30\" default=\"true\"/>"
      L"<Image name=\"bg.png\" mask=\"#FF00FF00\"/><Image restype=\"PNG\"/>"
      L"<Image name=\"12\" restype=\"PNG\"/>"
      L"<MultiLanguage id=\"4711\" value=\"first\"/><MultiLanguage id=\"4711\" value=\"second\"/>"
      L"<MultiLanguage value=\"no id\"/>"
      L"<Label/></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  SkinUI::FontInfo* pFont = m_host.GetFontInfo(3);
  ASSERT_NE(pFont, nullptr);
  EXPECT_EQ(std::wstring(pFont->sFontName), L"Tahoma");
  EXPECT_EQ(pFont->iSize, 17);
  EXPECT_TRUE(pFont->bBold);
  EXPECT_TRUE(pFont->bItalic);
  EXPECT_FALSE(pFont->bUnderline);
  // The id-less Font registers nothing, not even the default font.
  SkinUI::FontInfo* pDefault = m_host.GetDefaultFontInfo();
  ASSERT_NE(pDefault, nullptr);
  EXPECT_EQ(std::wstring(pDefault->sFontName), L"Tahoma");
  EXPECT_EQ(pDefault->iSize, 17);

  EXPECT_NE(m_host.LookupImage(L"bg.png"), nullptr);
  EXPECT_NE(m_host.LookupImage(L"12"), nullptr);
  EXPECT_EQ(FakeImageLoader::Requests(),
            (std::vector<std::wstring>{L"bg.png|-|4278255360", L"#12|PNG|0"}));
  EXPECT_STREQ(CWindowHostUI::GetMultiLanguageString(4711), L"second");
}

TEST_F(SkinBuilderTest, ResourcesOfANonWindowRootRegisterButItsAttributesAreNotApplied) {
  const SkinUI::CUISize before = m_host.GetInitialSize();
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Dialog size=\"333,222\" custom=\"x\"><Font id=\"9\" name=\"Tahoma\"/><Label/></Dialog>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_NE(m_host.GetFontInfo(9), nullptr);
  EXPECT_EQ(m_host.GetFontInfo(9)->iSize, 12);
  EXPECT_EQ(m_host.GetInitialSize().cx, before.cx);
  EXPECT_EQ(m_host.GetInitialSize().cy, before.cy);
  EXPECT_EQ(m_host.GetWindowCustomAttribute(L"custom"), nullptr);
}

TEST_F(SkinBuilderTest, MalformedOrMissingSkinsYieldNoTreeAndKeepTheReason) {
  CSkinBuilder unclosed;
  EXPECT_EQ(unclosed.Build(L"<Window><Label></Window>", nullptr, nullptr, &m_host), nullptr);
  EXPECT_NE(std::wstring(unclosed.GetLastErrorMessage()), L"");

  CSkinBuilder missing;
  EXPECT_EQ(missing.Build(L"no_such_skin.xml", nullptr, nullptr, &m_host), nullptr);
  CSkinBuilder noResource;
  EXPECT_EQ(noResource.Build(MAKEINTRESOURCEW(999), L"SKINXML", nullptr, &m_host), nullptr);
  CSkinBuilder empty;
  EXPECT_EQ(empty.Build(L"<Window size=\"10,10\"/>", nullptr, nullptr, &m_host), nullptr);
  CSkinBuilder none;
  EXPECT_EQ(none.Build(nullptr), nullptr);
}

TEST_F(SkinBuilderTest, SkinsAreReadFromFilesAndModuleResources) {
  WriteSkin(L"panel.xml", "<Window><Label name=\"from file\"/></Window>");
  CSkinBuilder fromFile;
  Tree fileRoot(fromFile.Build(L"panel.xml", nullptr, nullptr, &m_host));
  ASSERT_NE(fileRoot, nullptr);
  EXPECT_EQ(std::wstring(fileRoot->GetName()), L"from file");

  CSkinBuilder fromResource;
  Tree resourceRoot(fromResource.Build(MAKEINTRESOURCEW(1), L"SKINXML", nullptr, &m_host));
  ASSERT_NE(resourceRoot, nullptr);
  EXPECT_EQ(ClassOf(resourceRoot.get()), L"VerticalLayoutUI");
  EXPECT_NE(m_host.GetFontInfo(1), nullptr);
}

TEST_F(SkinBuilderTest, ABuildIntoAParentThatIsNoContainerStopsWithoutLeavingChildren) {
  SkinUI::CLabelUI label;
  CSkinBuilder builder;
  EXPECT_EQ(builder.Build(L"<Window><Button/><Button/></Window>", nullptr, nullptr, nullptr,
                          &label),
            nullptr);

  SkinUI::CContainerUI container;
  CSkinBuilder into;
  CControlUI* pFirst =
      into.Build(L"<Window><Button name=\"a\"/><Button name=\"b\"/></Window>", nullptr, nullptr,
                 nullptr, &container);
  ASSERT_EQ(container.GetItemCount(), 2);
  EXPECT_EQ(pFirst, container.GetItemAt(0));
  EXPECT_EQ(container.GetItemAt(0)->GetParent(), &container);
}

TEST_F(SkinBuilderTest, ChildrenARefusingOrMissingContainerCannotTakeAreDestroyed) {
  RecordingCallback callback;
  CountedControlUI::Destroyed() = 0;
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><VerticalLayout><Refuser name=\"r\"><Counted/><Counted/></Refuser>"
      L"<Counted name=\"kept\"/></VerticalLayout></Window>",
      nullptr, &callback, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(CountedControlUI::Destroyed(), 2);
  SkinUI::CContainerUI* pRoot = AsContainer(root.get());
  ASSERT_EQ(pRoot->GetItemCount(), 2);
  EXPECT_EQ(AsContainer(pRoot->GetItemAt(0))->GetItemCount(), 0);
  EXPECT_EQ(std::wstring(pRoot->GetItemAt(1)->GetName()), L"kept");

  SkinUI::CLabelUI label;
  CSkinBuilder intoLabel;
  EXPECT_EQ(intoLabel.Build(L"<Window><Counted/></Window>", nullptr, &callback, nullptr, &label),
            nullptr);
  EXPECT_EQ(CountedControlUI::Destroyed(), 3);
}

TEST_F(SkinBuilderTest, IncludesBuildTheSourceCountTimesIntoTheCurrentContainer) {
  WriteSkin(L"item.xml",
            "<Window><Font id=\"21\" name=\"Tahoma\" size=\"19\"/><Label name=\"item\"/></Window>");
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><VerticalLayout><Include source=\"item.xml\" count=\"3\"/>"
      L"<HBox><Include source=\"item.xml\" count=\"0\"/><Include count=\"2\"/></HBox>"
      L"<Include source=\"item.xml\"/></VerticalLayout></Window>",
      nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  SkinUI::CContainerUI* pRoot = AsContainer(root.get());
  ASSERT_EQ(pRoot->GetItemCount(), 5);
  for (int i : {0, 1, 2, 4}) EXPECT_EQ(std::wstring(pRoot->GetItemAt(i)->GetName()), L"item");
  EXPECT_EQ(AsContainer(pRoot->GetItemAt(3))->GetItemCount(), 0);
  // The included skin's resources reach the host as well.
  ASSERT_NE(m_host.GetFontInfo(21), nullptr);
  EXPECT_EQ(m_host.GetFontInfo(21)->iSize, 19);
}

TEST_F(SkinBuilderTest, AnIncludeAtTheTopLevelKeepsOnlyItsResourcesAndWindowSettings) {
  WriteSkin(L"common.xml",
            "<Window caption=\"0,0,0,33\"><Font id=\"22\" name=\"Tahoma\"/><Label/></Window>");
  CSkinBuilder builder;
  Tree root(builder.Build(L"<Window><Include source=\"common.xml\"/><Button name=\"main\"/></Window>",
                          nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(std::wstring(root->GetName()), L"main");
  EXPECT_NE(m_host.GetFontInfo(22), nullptr);
  EXPECT_EQ(m_host.GetCaptionArea().bottom, 33);
}

TEST_F(SkinBuilderTest, TopLevelControlsThatAreNotTheResultAreFreed) {
  WriteSkin(L"counted.xml", "<Window><Counted/><Counted/></Window>");
  RecordingCallback callback;
  CountedControlUI::Destroyed() = 0;
  CSkinBuilder builder;
  Tree root(builder.Build(
      L"<Window><Counted/><Include source=\"counted.xml\" count=\"2\"/><Counted/></Window>",
      nullptr, &callback, &m_host));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(CountedControlUI::Destroyed(), 5) << "all but the first of six";
  root.reset();
  EXPECT_EQ(CountedControlUI::Destroyed(), 6);
}

TEST_F(SkinBuilderTest, ASkinThatIncludesItselfStopsAtABoundedDepth) {
  WriteSkin(L"loop.xml", "<Window><VerticalLayout><Include source=\"loop.xml\"/></VerticalLayout></Window>");
  CSkinBuilder builder;
  Tree root(builder.Build(L"loop.xml", nullptr, nullptr, &m_host));
  ASSERT_NE(root, nullptr);
  int depth = 0;
  for (CControlUI* p = root.get(); p != nullptr && depth < 100; ++depth) {
    SkinUI::CContainerUI* pContainer = AsContainer(p);
    p = pContainer->GetItemCount() > 0 ? pContainer->GetItemAt(0) : nullptr;
  }
  EXPECT_GT(depth, 1);
  EXPECT_LT(depth, 100);
}

}  // namespace
}  // namespace skin_testing

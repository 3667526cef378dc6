// The child layout fills itself from its own skin file when the host initialises the tree.

#include <memory>

#include "Layout/UIChildLayout.h"
#include "SkinBuilderSupport.h"

namespace skin_testing {
namespace {

using SkinUI::CChildLayoutUI;
using SkinUI::CControlUI;
using SkinUI::CSkinBuilder;

class ChildLayoutTest : public SkinBuilderTest {
 protected:
  // Builds the window skin and hands the tree to the host, which initialises it.
  CChildLayoutUI* AttachWindowSkin(LPCWSTR pstrSkin) {
    CSkinBuilder builder;
    CControlUI* pRoot = builder.Build(pstrSkin, nullptr, nullptr, &m_host);
    if (pRoot == nullptr || !m_host.AttachRoot(pRoot)) return nullptr;
    return static_cast<CChildLayoutUI*>(
        m_host.FindControlByName(L"child")->QueryNamedInterface(L"ChildLayout"));
  }
};

TEST_F(ChildLayoutTest, TheNamedSkinFileIsBuiltIntoTheLayoutWhenTheTreeIsAttached) {
  WriteSkin(L"panel.xml",
            "<Window><Font id=\"31\" name=\"Tahoma\"/>"
            "<HorizontalLayout name=\"panel\"><Button name=\"inner\" text=\"Go\"/>"
            "</HorizontalLayout></Window>");
  CChildLayoutUI* pChild = AttachWindowSkin(
      L"<Window><VerticalLayout><ChildLayout name=\"child\" xmlfile=\"panel.xml\"/>"
      L"</VerticalLayout></Window>");
  ASSERT_NE(pChild, nullptr);
  EXPECT_EQ(std::wstring(pChild->GetChildSkinFile()), L"panel.xml");
  ASSERT_EQ(pChild->GetItemCount(), 1);
  EXPECT_EQ(std::wstring(pChild->GetItemAt(0)->GetName()), L"panel");
  CControlUI* pInner = m_host.FindControlByName(L"inner");
  ASSERT_NE(pInner, nullptr);
  EXPECT_EQ(std::wstring(pInner->GetText()), L"Go");
  EXPECT_EQ(pInner->GetHost(), &m_host);
  EXPECT_EQ(pChild->GetItemAt(0)->GetParent(), pChild);
  EXPECT_NE(m_host.GetFontInfo(31), nullptr);

  // Initialised again, it still shows the skin once.
  pChild->Init();
  EXPECT_EQ(pChild->GetItemCount(), 1);
}

TEST_F(ChildLayoutTest, ASkinFileThatCannotBeBuiltLeavesTheLayoutEmpty) {
  WriteSkin(L"broken.xml", "<Window><Label></Window>");
  CChildLayoutUI* pChild = AttachWindowSkin(
      L"<Window><VerticalLayout><ChildLayout name=\"child\" xmlfile=\"broken.xml\"/>"
      L"</VerticalLayout></Window>");
  ASSERT_NE(pChild, nullptr);
  EXPECT_EQ(pChild->GetItemCount(), 0);

  pChild->SetChildSkinFile(L"absent.xml");
  pChild->Init();
  EXPECT_EQ(pChild->GetItemCount(), 0);
}

TEST_F(ChildLayoutTest, ChildSkinsThatNameThemselvesStopAtABoundedDepth) {
  WriteSkin(L"self.xml",
            "<Window><VerticalLayout><ChildLayout xmlfile=\"self.xml\"/></VerticalLayout></Window>");
  WriteSkin(L"ping.xml",
            "<Window><VerticalLayout><ChildLayout xmlfile=\"pong.xml\"/></VerticalLayout></Window>");
  WriteSkin(L"pong.xml",
            "<Window><VerticalLayout><Include source=\"ping.xml\"/></VerticalLayout></Window>");
  for (const wchar_t* file : {L"self.xml", L"ping.xml"}) {
    SCOPED_TRACE(testing::Message() << std::wstring(file));
    CChildLayoutUI* pChild = AttachWindowSkin(
        (std::wstring(L"<Window><VerticalLayout><ChildLayout name=\"child\" xmlfile=\"") + file +
         L"\"/></VerticalLayout></Window>")
            .c_str());
    ASSERT_NE(pChild, nullptr);
    int depth = 0;
    for (CControlUI* p = pChild; p != nullptr && depth < 1000; ++depth) {
      SkinUI::CContainerUI* pContainer = AsContainer(p);
      p = pContainer != nullptr && pContainer->GetItemCount() > 0 ? pContainer->GetItemAt(0)
                                                                   : nullptr;
    }
    EXPECT_GT(depth, 4);
    EXPECT_LT(depth, 1000);
  }
}

TEST_F(ChildLayoutTest, ItAnswersAsAPlainControlSoSkinsCannotNestChildrenInIt) {
  CChildLayoutUI layout;
  EXPECT_STREQ(layout.ClassName(), L"ChildLayoutUI");
  EXPECT_EQ(layout.QueryNamedInterface(L"ChildLayout"), &layout);
  EXPECT_EQ(layout.QueryNamedInterface(L"Control"), static_cast<CControlUI*>(&layout));
  EXPECT_EQ(layout.QueryNamedInterface(L"IContainer"), nullptr);
  EXPECT_EQ(layout.QueryNamedInterface(L"Container"), nullptr);

  // Elements written inside a ChildLayout have no container to go to.
  CSkinBuilder builder;
  std::unique_ptr<CControlUI> root(builder.Build(
      L"<Window><VerticalLayout><ChildLayout name=\"c\"><Label/></ChildLayout></VerticalLayout>"
      L"</Window>"));
  ASSERT_NE(root, nullptr);
  CChildLayoutUI* pChild = static_cast<CChildLayoutUI*>(
      AsContainer(root.get())->GetItemAt(0)->QueryNamedInterface(L"ChildLayout"));
  ASSERT_NE(pChild, nullptr);
  EXPECT_EQ(pChild->GetItemCount(), 0);
}

TEST_F(ChildLayoutTest, WithoutAFileNameInitialisingChangesNothing) {
  CChildLayoutUI layout;
  layout.AddItem(new SkinUI::CControlUI);
  layout.Init();
  EXPECT_EQ(layout.GetItemCount(), 1);
}

}  // namespace
}  // namespace skin_testing

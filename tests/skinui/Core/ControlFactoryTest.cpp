// The control factory the builder and the containers ask: names the program registers, their
// letter case, and a container's scroll bars made from whatever is registered as "ScrollBar".

#include <gtest/gtest.h>

#include <memory>

#include "Control/UIScrollBar.h"
#include "Core/UIContainer.h"
#include "Core/UIControlFactory.h"

using SkinUI::CControlFactory;
using SkinUI::CControlUI;

namespace {

class CWidgetUI : public CControlUI {
 public:
  LPCWSTR ClassName() const override { return L"WidgetUI"; }
};

class CTallScrollBarUI : public SkinUI::CScrollBarUI {
 public:
  LPCWSTR ClassName() const override { return L"TallScrollBarUI"; }
};

struct NameCase {
  const wchar_t* registered;
  bool exact;
  const wchar_t* asked;
  bool made;
};

class FactoryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FactoryNameTest, MakesARegisteredNameInItsLetterCase) {
  const NameCase& c = GetParam();
  ASSERT_TRUE(SkinUI::RegisterControl<CWidgetUI>(c.registered, c.exact));
  std::unique_ptr<CControlUI> pControl(CControlFactory::Create(c.asked));
  EXPECT_EQ(pControl != nullptr, c.made);
  if (pControl != nullptr) {
    EXPECT_STREQ(pControl->ClassName(), L"WidgetUI");
  }
}

INSTANTIATE_TEST_SUITE_P(Names, FactoryNameTest,
                         ::testing::Values(NameCase{L"QuillWidget", false, L"quillwidget", true},
                                           NameCase{L"QuillExact", true, L"QuillExact", true},
                                           NameCase{L"QuillExact2", true, L"quillexact2", false},
                                           NameCase{L"QuillOther", false, L"QuillOthers", false}));

TEST(ControlFactoryTest, AContainerMakesItsBarsFromWhatIsRegisteredAsScrollBar) {
  SkinUI::RegisterControl<CTallScrollBarUI>(L"ScrollBar");
  SkinUI::CContainerUI container;
  container.EnableScrollBars(true, false);
  SkinUI::RegisterControl<SkinUI::CScrollBarUI>(L"ScrollBar");
  ASSERT_NE(container.GetVerticalScrollBar(), nullptr);
  EXPECT_STREQ(container.GetVerticalScrollBar()->ClassName(), L"TallScrollBarUI");
}

}  // namespace

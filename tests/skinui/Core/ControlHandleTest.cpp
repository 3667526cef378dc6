// Weak handles to controls: they read the control while it lives and null from its destruction
// on, every copy alike.

#include <gtest/gtest.h>

#include "Core/UIControl.h"
#include "Core/UIControlHandle.h"

using SkinUI::CControlHandle;
using SkinUI::CControlUI;

namespace {

TEST(ControlHandleTest, EveryCopyReadsNullOnceTheControlIsDestroyed) {
  CControlUI* pControl = new CControlUI;
  CControlHandle first = pControl;
  CControlHandle second = first;
  CControlHandle later = pControl;
  EXPECT_EQ(first.Get(), pControl);
  EXPECT_EQ(later.Get(), pControl);
  delete pControl;
  EXPECT_EQ(first.Get(), nullptr);
  EXPECT_EQ(second.Get(), nullptr);
  EXPECT_EQ(later.Get(), nullptr);
}

TEST(ControlHandleTest, TakeHandsOverTheControlAndEmptiesTheHandle) {
  CControlUI control;
  CControlHandle handle = &control;
  EXPECT_EQ(handle.Take(), &control);
  EXPECT_EQ(handle.Get(), nullptr);
}

}  // namespace

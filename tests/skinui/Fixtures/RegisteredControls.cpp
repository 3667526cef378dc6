// Every framework test program has the whole control catalogue and the window shadow
// registered, as a program built on the framework does before its first skin.

#include <gtest/gtest.h>

#include "Control/UIControlCatalog.h"

namespace {

class RegisteredControls : public ::testing::Environment {
 public:
  void SetUp() override { SkinUI::RegisterAllControls(); }
};

const ::testing::Environment* const g_registered =
    ::testing::AddGlobalTestEnvironment(new RegisteredControls);

}  // namespace

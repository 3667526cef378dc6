#pragma once
// Choosing between the platform's msimg32 services and the renderer's software replacements in
// tests: for one scope, or for every test of a parameterised suite.

#include <gtest/gtest.h>

#include <string>

#include "Core/UIRenderBlend.h"

namespace render_testing {

// Uses the given services until the scope ends, then the platform's again.
class ScopedPlatformServices {
 public:
  ScopedPlatformServices(bool bAlphaBlend, bool bGradientFill) {
    SkinUI::RenderBlend::UsePlatformServices(bAlphaBlend, bGradientFill);
  }
  ~ScopedPlatformServices() { SkinUI::RenderBlend::UsePlatformServices(true, true); }
  ScopedPlatformServices(const ScopedPlatformServices&) = delete;
  ScopedPlatformServices& operator=(const ScopedPlatformServices&) = delete;
};

// Parameter true: the platform's blend and gradient; false: both software replacements.
class PlatformOrSoftwareTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { SkinUI::RenderBlend::UsePlatformServices(GetParam(), GetParam()); }
  void TearDown() override { SkinUI::RenderBlend::UsePlatformServices(true, true); }
};

inline std::string PathName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Platform" : "Software";
}

}  // namespace render_testing

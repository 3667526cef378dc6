#pragma once
// The skin attribute reference (docs/skin-attributes.md), made from the control factory's
// elements and the controls' attribute tables as they are registered now.

#include <string>

namespace skin_testing {

std::string SkinAttributeReference();

}  // namespace skin_testing

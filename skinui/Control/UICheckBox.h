#pragma once
// CCheckBoxUI: an option under names of its own.

#include <windows.h>

#include "Control/UIOption.h"

namespace SkinUI {

class CCheckBoxUI : public COptionUI {
 public:
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
};

}  // namespace SkinUI

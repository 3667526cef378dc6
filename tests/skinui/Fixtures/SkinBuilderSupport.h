#pragma once
// What the skin builder tests share: a window host on a real window with fake images, a callback
// that records the names it is offered, and controls that record how they were configured.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/UIContainer.h"
#include "Core/UIDlgBuilder.h"
#include "HostResourcesFixture.h"
#include "support/TestFiles.h"

namespace skin_testing {

// A container that remembers how many children it had when each of its attributes arrived.
class RecordingContainerUI : public SkinUI::CContainerUI {
 public:
  LPCWSTR ClassName() const override { return L"RecordingContainerUI"; }
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override {
    childrenAtAttribute.push_back(std::wstring(pstrName) + L"@" + std::to_wstring(GetItemCount()));
    SkinUI::CContainerUI::ApplyAttribute(pstrName, pstrValue);
  }
  std::vector<std::wstring> childrenAtAttribute;
};

// A container that accepts no children.
class RefusingContainerUI : public SkinUI::CContainerUI {
 public:
  bool AddItem(SkinUI::CControlUI* /*pControl*/) override { return false; }
};

// A control that counts its destructions.
class CountedControlUI : public SkinUI::CControlUI {
 public:
  ~CountedControlUI() override { ++Destroyed(); }
  static int& Destroyed() {
    static int nDestroyed = 0;
    return nDestroyed;
  }
};

// Creates a RecordingContainerUI for "Recorder", a RefusingContainerUI for "Refuser" and a
// CountedControlUI for "Counted"; remembers every name offered.
class RecordingCallback : public SkinUI::IDialogBuilderCallback {
 public:
  SkinUI::CControlUI* CreateCustomControl(LPCWSTR pstrClass) override {
    offered.push_back(pstrClass);
    if (std::wstring(pstrClass) == L"Recorder") return new RecordingContainerUI;
    if (std::wstring(pstrClass) == L"Refuser") return new RefusingContainerUI;
    if (std::wstring(pstrClass) == L"Counted") return new CountedControlUI;
    return nullptr;
  }
  std::vector<std::wstring> offered;
};

// The host fixture plus a skin folder of its own for skin files the builds read.
class SkinBuilderTest : public HostResourcesTest {
 protected:
  void SetUp() override {
    HostResourcesTest::SetUp();
    SkinUI::CWindowHostUI::UseSkinArchive(L"", true);
    SkinUI::CWindowHostUI::SetSkinFolder(m_folder.path().c_str());
  }
  void TearDown() override {
    SkinUI::CWindowHostUI::SetSkinFolder(L"");
    HostResourcesTest::TearDown();
  }
  void WriteSkin(const std::wstring& name, const std::string& text) {
    ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / name, text));
  }

  testing_support::ScratchFolder m_folder{L"skin-builder"};
};

inline std::wstring ClassOf(SkinUI::CControlUI* pControl) {
  return pControl != nullptr ? pControl->ClassName() : L"(null)";
}

inline SkinUI::CContainerUI* AsContainer(SkinUI::CControlUI* pControl) {
  return dynamic_cast<SkinUI::CContainerUI*>(pControl);
}

}  // namespace skin_testing

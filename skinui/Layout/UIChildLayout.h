#pragma once
// CChildLayoutUI: fills itself from a separate skin file ("xmlfile") when it is initialised, so
// that one piece of a window can be kept in a skin file of its own.

#include "Core/UIContainer.h"
#include "Utils/UIString.h"

namespace SkinUI {

class CChildLayoutUI : public CContainerUI {
 public:
  CChildLayoutUI();

  LPCWSTR ClassName() const override;
  // Answers as a plain control, not as a container: skins cannot add children to it.
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  // Builds the skin file instead of the base initialisation; a file that cannot be built leaves
  // the layout empty.
  void Init() override;
  UI_DECLARE_ATTRIBUTES()

  void SetChildSkinFile(LPCWSTR pstrFileName);
  CUIString GetChildSkinFile() const;

 private:
  CUIString m_sXmlFile;
};

}  // namespace SkinUI

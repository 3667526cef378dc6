#pragma once
// skinview's panel: a skinned window of its own beside the preview (its skin, panel.xml, is in
// the program's resources). It lists what the last load of the skin found, a parse error first,
// and the last notification the skin's controls sent.

#include <windows.h>

#include <string>
#include <vector>

#include "Utils/WinImplBase.h"

class CIssuePanel : public SkinUI::WindowImplBase {
 public:
  struct Row {
    std::wstring place;  // "12:5", or "other.xml:3:1" for a skin the shown one names
    std::wstring text;
    bool bError;
  };

  // A window hOwner owns, not shown yet.
  HWND CreateOwned(HWND hOwner);
  // At the right of hOwner, shown without taking the focus.
  void ShowBeside(HWND hOwner);
  // Between the preview and the panel, in skin pixels: room for the preview's drop shadow, which
  // reaches some twenty pixels past its window and would lie over the panel's edge.
  static const int kGap = 32;
  void ShowLoad(const std::wstring& title, const std::wstring& status, const std::vector<Row>& rows);
  void ShowEvent(const std::wstring& text);
  // The rows shown now, top first, as "PLACE  TEXT" (tests).
  std::vector<std::wstring> RowTexts();

 protected:
  LPCWSTR WindowClassName() const override { return L"SkinViewPanel"; }
  SkinUI::CUIString SkinFolder() const override { return SkinUI::CUIString(); }
  SkinUI::CUIString SkinFile() const override;
  int SkinResourceKind() const override { return SkinUI::kSkinFromResource; }
  // Hides the panel; the preview shows it again.
  void OnCloseButton(SkinUI::NotifyEvent& event) override;
};

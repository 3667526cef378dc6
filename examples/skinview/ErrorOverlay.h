#pragma once
// The error overlay: drawn over the preview after the whole control tree (a post-paint control
// of the host), so the last skin that parsed stays visible behind it. It says where the skin
// stopped parsing and why, and shows that line with a mark under the column.

#include <windows.h>

#include <string>

#include "Core/UIControl.h"

namespace SkinUI {
class CWindowHostUI;
}

class CErrorOverlayUI : public SkinUI::CControlUI {
 public:
  explicit CErrorOverlayUI(SkinUI::CWindowHostUI& host);
  ~CErrorOverlayUI() override;

  LPCWSTR ClassName() const override { return L"ErrorOverlayUI"; }

  // place: "FILE:LINE:COLUMN", or the file alone when the failure has no place. bSkinBehind:
  // an earlier version of the skin is on screen under the overlay.
  void Show(const std::wstring& place, const std::wstring& message, const std::wstring& sourceLine,
            int nColumn, bool bSkinBehind);
  void Hide();
  bool IsShown() const { return m_bShown; }
  // The part of the client area the overlay covers now (empty while hidden).
  RECT GetBox() const;

  void PostPaint(HDC hDC, const RECT& rcPaint) override;

 private:
  // Fonts made for the host's DPI, again when it changes.
  void MakeFonts();

  SkinUI::CWindowHostUI& m_host;
  bool m_bShown = false;
  std::wstring m_place;
  std::wstring m_message;
  std::wstring m_sourceLine;
  int m_nColumn = 0;
  bool m_bSkinBehind = false;
  HFONT m_hTextFont = nullptr;
  HFONT m_hBoldFont = nullptr;
  HFONT m_hCodeFont = nullptr;
  UINT m_uFontDpi = 0;
};

#pragma once
// The preview: the skin in a skinned window of its own (caption, sizing border, system buttons
// and every control work as in a program), read again whenever a file in the skin's folder
// changes. A skin that does not parse leaves the last one that did on screen, under an overlay
// that says where and why; the panel beside the window lists what the build ignored.
//
// Keys: F5 reads the skin again, F12 shows or hides the panel, Ctrl+PageDown and Ctrl+PageUp
// turn the tab layout under the mouse (or the first one) to its next or previous page.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ErrorOverlay.h"
#include "FolderWatch.h"
#include "IssuePanel.h"
#include "SkinViewOptions.h"
#include "Utils/WinImplBase.h"

class CPreviewWindow : public SkinUI::WindowImplBase {
 public:
  // What the last load made of the skin.
  struct Load {
    int nCount = 0;       // loads so far, the first included
    bool bParsed = false;
    std::wstring error;   // "FILE:LINE:COLUMN: error: MESSAGE" when it did not parse
    int nLine = 0;        // where it did not parse
    int nColumn = 0;
    std::vector<std::wstring> issues;  // "FILE:LINE:COLUMN: warning: TEXT"
  };

  // The change notifications of the skin's folder arrive as this message; the skin is read
  // again once the folder has been quiet for kSettleMs (an editor's save is several changes).
  static const UINT kFolderChangedMessage = WM_APP + 0x56;
  static const UINT kSettleMs = 100;

  // uDpi 0: the screen's; szWindow in skin pixels, {0, 0}: the skin's own size. The skin folder
  // must be set to the skin's folder.
  CPreviewWindow(const SkinLocation& skin, UINT uDpi, SIZE szWindow, bool bContrast);
  ~CPreviewWindow() override;

  // Creates the window and its panel, reads the skin, shows the window in the middle of the
  // screen with the panel at its right, and starts watching the folder. Null when the window
  // cannot be made.
  HWND CreatePreview();
  const Load& LastLoad() const { return m_load; }
  const CErrorOverlayUI& Overlay() const { return *m_pOverlay; }
  CIssuePanel& Panel() { return m_panel; }
  bool IsWatching() const { return m_bWatching; }

 protected:
  LPCWSTR WindowClassName() const override { return L"SkinViewPreview"; }
  SkinUI::CUIString SkinFolder() const override { return SkinUI::CUIString(); }
  SkinUI::CUIString SkinFile() const override { return SkinUI::CUIString(m_skin.file.c_str()); }
  LRESULT HandleCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  LRESULT HandleDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  LRESULT HandleKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  LRESULT ProcessOtherMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

 public:
  // What the skin's controls tell goes to the panel, then to the base (its system buttons).
  void Notify(SkinUI::NotifyEvent& event) override;

 private:
  // Reads and builds the skin; on failure the shown tree stays and the overlay says why.
  void LoadSkin();
  void ShowFailure(const SkinUI::CSkinMarkup& markup);
  // An empty tree to draw the overlay on while no skin has been built yet.
  void ShowPlaceholder();
  void KeepOverlayOnTop();
  void PlaceWithPanel();
  void TurnTabPage(int nStep);

  SkinLocation m_skin;
  UINT m_uDpi;
  SIZE m_szAsked;
  bool m_bContrast;
  Load m_load;
  // The panel's rows for the skin on screen, listed again under a later parse error.
  std::vector<CIssuePanel::Row> m_shownRows;
  std::unique_ptr<CErrorOverlayUI> m_pOverlay;
  CIssuePanel m_panel;
  CFolderWatch m_watch;
  bool m_bWatching = false;
  // The skin's window size the last build asked for (window pixels); a reload that asks for
  // another one resizes the window, one that does not keeps what the user made of it.
  SIZE m_szSkin = {0, 0};
  // The host has a tree (the host's own question checks that it has one).
  bool m_bTreeShown = false;
  // The tree is the empty one made while no skin has been built.
  bool m_bPlaceholder = false;
};

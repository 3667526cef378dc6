#pragma once
// WindowImplBase: the base of every window whose whole area is a skin. The native window has
// no caption or border of its own; the framework draws everything and hit-tests the skin's
// caption and sizing border. On creation the window builds its skin into its embedded host;
// from then on each message goes to an overridable handler first, then to the host.
//
// The class is one, its members live in three source files: WinImplBase.cpp the message router,
// notifications, the default-key filter and the end of the window; WinImplBaseSkin.cpp the
// creation of the skin and what happens when it cannot be built; WinImplBaseFrame.cpp the
// non-client handling (hit-testing, sizes, activation, system commands).

#include <windows.h>

#include "Core/UIBase.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UIManager.h"
#include "Utils/UIString.h"

namespace SkinUI {

class CControlUI;

// Where a skinned window's skin file comes from (SkinResourceKind).
enum SkinSourceKind : int {
  kSkinFromFolder = 1,           // the file SkinFile() in the skin folder
  kSkinFromArchiveFile = 2,      // SkinFile() inside the archive file SkinArchiveName()
  kSkinFromResource = 3,         // module resource of type "xml", id = decimal text SkinFile()
  kSkinFromArchiveResource = 4,  // SkinFile() inside the "ZIPRES" module resource SkinResourceId()
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase();

  // The host of this window's control tree.
  CWindowHostUI& GetWindowHost() { return m_Host; }

  // ---- the table of virtual operations, in slot order ----
 protected:
  LPCWSTR WindowClassName() const override = 0;
  LPCWSTR SuperclassName() const override;
  UINT ClassStyle() const override;
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND hWnd) override;

 public:
  ~WindowImplBase() override;

 protected:
  // Runs once the skin's root is attached to the host.
  virtual void OnSkinLoaded();
  // Clicks on the standard system buttons ("closebtn" closes with 2; "minbtn", "maxbtn" and
  // "restorebtn" send their system command). A derived table's entry for the same name wins.
  virtual void OnCloseButton(NotifyEvent& event);
  virtual void OnMinimizeButton(NotifyEvent& event);
  virtual void OnMaximizeButton(NotifyEvent& event);
  virtual void OnRestoreButton(NotifyEvent& event);
  virtual CUIString SkinFolder() const = 0;
  virtual CUIString SkinFile() const = 0;
  // Return and Escape before any control sees them; true swallows the key.
  virtual bool OnDefaultKey(WPARAM wKey);
  virtual int SkinResourceKind() const;
  virtual CUIString SkinArchiveName() const;
  // A resource name, or MAKEINTRESOURCE(id).
  virtual LPCWSTR SkinResourceId() const;

  // Message handlers: bHandled comes in true; a handler that leaves it true answers the message
  // with its result.
  virtual LRESULT HandleClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleChar(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  // Every message the router does not give to a handler above, or that its handler left.
  virtual LRESULT ProcessOtherMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  // The window's style as the skin wants it: the current style without the caption bits.
  virtual UINT FrameStyle() const;

  // ---- the other interfaces ----
 public:
  void Notify(NotifyEvent& event) override;
  LRESULT FilterMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  CControlUI* CreateCustomControl(LPCWSTR pstrClass) override;

  UI_DECLARE_NOTIFY_MAP()

 protected:
  CWindowHostUI m_Host;

  // What creation does before the skin is built: the native caption goes, the host is attached
  // and the skin folder set. A window that builds its skin its own way (a previewer, which must
  // survive a skin that does not parse) calls this from its HandleCreate instead of the base's.
  void AttachFrame();

 private:
  // Reads the skin into the host, or ends the process with the skin failure box.
  void BuildSkin();
  // Makes the archive resource the framework's skin archive; false when it cannot be read.
  bool UseArchiveResource();
  // Shows the one message the framework ever shows the user, then ends the process.
  [[noreturn]] static void FailOnSkin();
};

}  // namespace SkinUI

#pragma once
// The native window wrapper, table-driven notification routing and object-plus-member
// callbacks: the base pieces every framework window and control builds on.

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "Core/UIEvents.h"
#include "Utils/UITypedPtrArray.h"
#include "Utils/UIString.h"
#include "Utils/UIStringPtrMap.h"

namespace SkinUI {

// ---------------------------------------------------------------------------------------------
// CWindowWnd: one object bound to one native window. Every message of the window reaches the
// object's ProcessMessage; the object must outlive its window.

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd();

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Registers a class of its own, or a superclass when SuperclassName() names one.
  bool RegisterOwnClass();
  bool RegisterBorrowedClass();

  HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y,
              int cx, int cy, HMENU hMenu = nullptr);
  HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle,
              const RECT& rc, HMENU hMenu = nullptr);

  // Takes over an existing window: its procedure is replaced until RestoreProc or its end.
  bool Subclass(HWND hWnd);
  void RestoreProc();

  void Show(bool bShow = true, bool bTakeFocus = true);
  // Runs a message loop until the window is gone; returns the code given to Close, or 0.
  int RunModal(bool bShow = true);
  void Close(UINT nRet = IDOK);
  void CenterOnOwner();
  void SetWindowIcon(UINT nResourceId);

  LRESULT Send(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT Post(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT CallPreviousProc(UINT uMsg, WPARAM wParam, LPARAM lParam);

 protected:
  virtual LPCWSTR WindowClassName() const = 0;
  virtual LPCWSTR SuperclassName() const;
  virtual UINT ClassStyle() const;
  virtual LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Runs once after the window has received its final message (m_hWnd is already null), and
  // with a null handle when Create fails before a window exists: a failed Create always ends
  // here, so an object that deletes itself in it is never deleted by its creator.
  virtual void OnWindowGone(HWND hWnd);

  static LRESULT CALLBACK WindowProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SuperclassProcedure(HWND hWnd, UINT uMsg, WPARAM wParam,
                                              LPARAM lParam);

  HWND m_hWnd;
  WNDPROC m_pfnPreviousProc;
  bool m_bProcReplaced;
  HWND m_hWndParent;

 private:
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // The object is kept in the window's user data, or (superclasses) in a window property.
  static LRESULT RouteMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              bool bKeptInProperty);
  // The last message of the window: the object lets go of it and hears that it is gone.
  LRESULT FinishWindow(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                       bool bKeptInProperty);
};

// ---------------------------------------------------------------------------------------------
// Notification tables. A window class declares which handler runs for which notification type
// and control name; tables chain from a derived class to its base, and the derived table is
// searched first.

class CNotifyPump;

enum NotifySignature : UINT {
  kNotifySignatureEnd = 0,     // end of a table
  kNotifySignatureParams = 1,  // handler(WPARAM, LPARAM)
  kNotifySignatureEvent = 2,   // handler(NotifyEvent&)
};

typedef void (CNotifyPump::*NotifyParamsHandler)(WPARAM, LPARAM);
typedef void (CNotifyPump::*NotifyEventHandler)(NotifyEvent&);

// A member function of the declaring class, seen from the pump; the signature says which.
union NotifyHandler {
  NotifyParamsHandler pfnParams;
  NotifyEventHandler pfnEvent;
};

struct NotifyMapEntry {
  CUIString sType;         // matched exactly
  CUIString sControlName;  // empty: any sender
  UINT nSignature;
  NotifyHandler handler;
};

struct NotifyMessageMap {
  // The base class's table, or null at the root of the chain.
  const NotifyMessageMap* (*pfnGetBaseMap)();
  const NotifyMapEntry* pEntries;  // ended by an entry with signature kNotifySignatureEnd
};

template <class T>
NotifyMapEntry MakeNotifyEntry(LPCWSTR pstrType, LPCWSTR pstrControl,
                               void (T::*pfn)(NotifyEvent&)) {
  NotifyMapEntry entry = {pstrType, pstrControl, kNotifySignatureEvent, {}};
  entry.handler.pfnEvent = static_cast<NotifyEventHandler>(pfn);
  return entry;
}

template <class T>
NotifyMapEntry MakeNotifyEntry(LPCWSTR pstrType, LPCWSTR pstrControl,
                               void (T::*pfn)(WPARAM, LPARAM)) {
  NotifyMapEntry entry = {pstrType, pstrControl, kNotifySignatureParams, {}};
  entry.handler.pfnParams = static_cast<NotifyParamsHandler>(pfn);
  return entry;
}

class CNotifyPump {
 public:
  CNotifyPump();
  virtual ~CNotifyPump();

  virtual const NotifyMessageMap* GetNotifyMap() const;

  // Routes an event to the pump registered for its virtual window, else through this pump's
  // own tables.
  void PumpNotify(NotifyEvent& event);
  bool DispatchThroughMaps(NotifyEvent& event);

  // The handler the table chain from pMap chooses for this type and sender name, or null.
  static const NotifyMapEntry* FindNotifyEntry(const NotifyMessageMap* pMap, LPCWSTR pstrType,
                                               LPCWSTR pstrSenderName);

  // True when some table of the chain from pMap names one type and sender twice: the second
  // entry could never run.
  static bool HasDuplicateEntries(const NotifyMessageMap* pMap);

  // Pumps that take the notifications of controls carrying a virtual window name (not owned).
  bool AddVirtualWnd(LPCWSTR pstrName, CNotifyPump* pPump);
  bool RemoveVirtualWnd(LPCWSTR pstrName);

  static const NotifyMessageMap* GetThisNotifyMap();

 private:
  CNotifyPump(const CNotifyPump&) = delete;
  CNotifyPump& operator=(const CNotifyPump&) = delete;

  CStringPtrMapUI m_VirtualWndMap;
};

}  // namespace SkinUI

// In the class body of a pump: declares the class's table.
#define UI_DECLARE_NOTIFY_MAP()                                   \
 public:                                                          \
  static const ::SkinUI::NotifyMessageMap* GetThisNotifyMap();    \
  const ::SkinUI::NotifyMessageMap* GetNotifyMap() const override;

// In a source file: the table of theClass, chained to the table of baseClass.
#define UI_BEGIN_NOTIFY_MAP(theClass, baseClass)                                            \
  const ::SkinUI::NotifyMessageMap* theClass::GetNotifyMap() const {                        \
    return theClass::GetThisNotifyMap();                                                    \
  }                                                                                         \
  const ::SkinUI::NotifyMessageMap* theClass::GetThisNotifyMap() {                          \
    typedef theClass NotifyMapClass;                                                        \
    static const ::SkinUI::NotifyMessageMap* (*const pfnBase)() = &baseClass::GetThisNotifyMap; \
    static const ::SkinUI::NotifyMapEntry aEntries[] = {
// A handler for every sender of the type.
#define UI_ON_NOTIFY(type, handler) \
  ::SkinUI::MakeNotifyEntry<NotifyMapClass>(type, L"", &NotifyMapClass::handler),
// A handler for the type sent by the control of that name.
#define UI_ON_NOTIFY_NAMED(type, controlName, handler) \
  ::SkinUI::MakeNotifyEntry<NotifyMapClass>(type, controlName, &NotifyMapClass::handler),
#define UI_END_NOTIFY_MAP()                                                        \
  {L"", L"", ::SkinUI::kNotifySignatureEnd, {}}                              \
  };                                                                               \
  static const ::SkinUI::NotifyMessageMap map = {pfnBase, aEntries};              \
  return &map;                                                                     \
  }

namespace SkinUI {

// ---------------------------------------------------------------------------------------------
// Delegates: an object and one of its member functions as a copyable callback.

class CDelegateBase {
 public:
  virtual ~CDelegateBase();
  // A heap copy of this delegate; the caller owns it.
  virtual CDelegateBase* Copy() const = 0;
  virtual bool Invoke(void* pParam) = 0;

  // Equal when they call the same function on the same object.
  bool operator==(const CDelegateBase& rhs) const;
  void* GetTarget() const { return m_pObject; }

 protected:
  // The function is kept as its bytes: member function pointers of different classes have no
  // common type, yet any two delegates must compare.
  static const size_t kMaxFunctionSize = 2 * sizeof(void*);
  CDelegateBase(void* pObject, const void* pFunction, size_t cbFunction);
  CDelegateBase(const CDelegateBase& rhs);

 private:
  CDelegateBase& operator=(const CDelegateBase&) = delete;

  void* m_pObject;
  unsigned char m_aFunction[kMaxFunctionSize];
  size_t m_cbFunction;
};

template <class O, class T>
class CDelegate : public CDelegateBase {
 public:
  typedef bool (T::*Fn)(void*);

  CDelegate(O* pObject, Fn pFn)
      : CDelegateBase(static_cast<T*>(pObject), &pFn, sizeof(Fn)), m_pObject(pObject), m_pFn(pFn) {
    static_assert(sizeof(Fn) <= kMaxFunctionSize, "member function pointer larger than expected");
  }

  CDelegateBase* Copy() const override { return new CDelegate(*this); }
  bool Invoke(void* pParam) override { return (static_cast<T*>(m_pObject)->*m_pFn)(pParam); }

 private:
  O* m_pObject;
  Fn m_pFn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* pObject, bool (T::*pFn)(void*)) {
  return CDelegate<O, T>(pObject, pFn);
}

// An ordered list of owned delegate copies.
class CDelegateList {
 public:
  CDelegateList();
  ~CDelegateList();

  // Appends a copy unless an equal delegate is listed already.
  void operator+=(const CDelegateBase& d);
  explicit operator bool() const;
  // Calls each delegate in order; the first that answers false stops the walk and the result
  // is false. An empty list answers true.
  bool operator()(void* pParam);
  int GetSize() const { return m_aDelegates.GetSize(); }

 private:
  CDelegateList(const CDelegateList&) = delete;
  CDelegateList& operator=(const CDelegateList&) = delete;

  COwnedPtrArrayUI<CDelegateBase> m_aDelegates;
};

}  // namespace SkinUI

#include "Core/UIHostAccessibility.h"

#include <algorithm>

#include "Core/UIAccessible.h"
#include "Core/UIAccessibleObject.h"
#include "Core/UIAccessibleTree.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIOleacc.h"

namespace SkinUI {

namespace {

// The helpers with a timer of theirs: a tick for one that is gone is dropped.
std::vector<CHostAccessibility*>& LiveHelpers() {
  static std::vector<CHostAccessibility*>* pHelpers = new std::vector<CHostAccessibility*>;
  return *pHelpers;
}

}  // namespace

CHostAccessibility::CHostAccessibility(CWindowHostUI& host) : m_host(host) { LiveHelpers().push_back(this); }

CHostAccessibility::~CHostAccessibility() {
  std::vector<CHostAccessibility*>& helpers = LiveHelpers();
  helpers.erase(std::remove(helpers.begin(), helpers.end(), this), helpers.end());
  if (m_bTimerSet && m_host.GetHostWindow() != nullptr) {
    ::KillTimer(m_host.GetHostWindow(), reinterpret_cast<UINT_PTR>(this));
  }
  // Clients may hold on to objects: they stay, answering that their control is gone.
  for (auto& entry : m_entries) {
    if (entry.second.pObject != nullptr) entry.second.pObject->Release();
  }
}

LONG CHostAccessibility::LiveObjects() { return CAccessibleObject::LiveObjects(); }

void CHostAccessibility::Open() {
  if (m_bOpen) return;
  m_bOpen = true;
  CControlUI* pRoot = m_host.GetRoot();
  if (pRoot != nullptr && accessible_tree::Describe(pRoot).lRole == ROLE_SYSTEM_DIALOG) {
    Fire(EVENT_SYSTEM_DIALOGSTART, pRoot);
  }
  CControlUI* pMessage = m_message.Get();
  if (pMessage != nullptr && pMessage->GetHost() == &m_host && pMessage->IsVisible()) {
    Fire(EVENT_SYSTEM_ALERT, accessible_tree::SelfOrAncestorInTree(pMessage));
  }
}

bool CHostAccessibility::Serve(WPARAM wParam, LRESULT& lRes) {
  CControlUI* pRoot = m_host.GetRoot();
  if (pRoot == nullptr) return false;
  m_bServed = true;
  IAccessible* pObject = ObjectFor(pRoot);
  const LRESULT lResult = oleacc::ResultFromObject(__uuidof(IAccessible), wParam, pObject);
  pObject->Release();
  // A failure comes back as a negative HRESULT.
  if (lResult <= 0) return false;
  lRes = lResult;
  return true;
}

CHostAccessibility::Entry& CHostAccessibility::EntryFor(CControlUI* pControl) {
  auto it = m_entries.find(pControl);
  if (it != m_entries.end() && it->second.control.Get() != pControl) {
    // A destroyed control's address, taken by a new one.
    ReleaseEntry(it->second);
    m_entries.erase(it);
    it = m_entries.end();
  }
  if (it == m_entries.end()) {
    if (m_entries.size() >= m_nPurgeAt) DropDeadEntries();
    Entry entry;
    entry.control = pControl;
    it = m_entries.emplace(pControl, entry).first;
  }
  return it->second;
}

void CHostAccessibility::ReleaseEntry(const Entry& entry) {
  if (entry.pObject != nullptr) entry.pObject->Release();
  if (entry.lId != 0) m_ids.erase(entry.lId);
}

void CHostAccessibility::DropDeadEntries() {
  for (auto it = m_entries.begin(); it != m_entries.end();) {
    if (it->second.control.Get() != nullptr) {
      ++it;
      continue;
    }
    ReleaseEntry(it->second);
    it = m_entries.erase(it);
  }
  // Lists that fill and empty again must not make every insertion a sweep.
  m_nPurgeAt = std::max<size_t>(64, m_entries.size() * 2);
}

IAccessible* CHostAccessibility::ObjectFor(CControlUI* pControl) {
  Entry& entry = EntryFor(pControl);
  if (entry.pObject == nullptr) {
    entry.pObject = new CAccessibleObject(pControl, m_host.GetHostWindow());
  }
  entry.pObject->AddRef();
  return entry.pObject;
}

LONG CHostAccessibility::EventIdFor(CControlUI* pControl) {
  if (pControl == m_host.GetRoot()) return CHILDID_SELF;
  Entry& entry = EntryFor(pControl);
  if (entry.lId == 0) {
    entry.lId = m_lNextId--;
    m_ids[entry.lId] = pControl;
  }
  return entry.lId;
}

CControlUI* CHostAccessibility::ControlForEventId(LONG lId) {
  if (lId == CHILDID_SELF) return m_host.GetRoot();
  const auto it = m_ids.find(lId);
  if (it == m_ids.end()) return nullptr;
  const auto entry = m_entries.find(it->second);
  if (entry == m_entries.end() || entry->second.lId != lId) return nullptr;
  return entry->second.control.Get();
}

void CHostAccessibility::Fire(DWORD dwEvent, CControlUI* pControl) {
  const HWND hWnd = m_host.GetHostWindow();
  if (hWnd == nullptr) return;
  ::NotifyWinEvent(dwEvent, hWnd, OBJID_CLIENT, EventIdFor(pControl));
}

void CHostAccessibility::Raise(CControlUI* pControl, AccessibleEvent event) {
  if (!m_bOpen && !m_bServed) return;
  // A layout-only container that comes or goes changes its ancestor's children.
  if ((event == AccessibleEvent::kShown || event == AccessibleEvent::kHidden) &&
      accessible_tree::IsLayoutOnly(pControl)) {
    if (CControlUI* pParent = accessible_tree::SelfOrAncestorInTree(pControl)) Fire(EVENT_OBJECT_REORDER, pParent);
    return;
  }
  // A part a control keeps to itself speaks for the control.
  pControl = accessible_tree::SelfOrAncestorInTree(pControl);
  if (pControl == nullptr) return;
  switch (event) {
    case AccessibleEvent::kFocus:
      Fire(EVENT_OBJECT_FOCUS, pControl);
      break;
    case AccessibleEvent::kName:
      Fire(EVENT_OBJECT_NAMECHANGE, pControl);
      break;
    case AccessibleEvent::kText:
      // A control that does not name itself by its text holds it as its value (an edit). A
      // text that follows a running figure changes as often as the figure: paced too.
      RaisePaced(pControl, accessible_tree::Describe(pControl).sName.IsEmpty() ? EVENT_OBJECT_VALUECHANGE
                                                                               : EVENT_OBJECT_NAMECHANGE);
      break;
    case AccessibleEvent::kValue:
      RaisePaced(pControl, EVENT_OBJECT_VALUECHANGE);
      break;
    case AccessibleEvent::kState:
      Fire(EVENT_OBJECT_STATECHANGE, pControl);
      break;
    case AccessibleEvent::kShown:
      Fire(EVENT_OBJECT_SHOW, pControl);
      break;
    case AccessibleEvent::kHidden:
      Fire(EVENT_OBJECT_HIDE, pControl);
      break;
  }
}

void CHostAccessibility::RaisePaced(CControlUI* pControl, DWORD dwEvent) {
  auto it = std::find_if(m_paced.begin(), m_paced.end(), [pControl, dwEvent](const PacedEvent& paced) {
    return paced.control.Get() == pControl && paced.dwEvent == dwEvent;
  });
  const DWORD dwNow = ::GetTickCount();
  if (it == m_paced.end()) {
    // Controls that are gone make room first.
    m_paced.erase(std::remove_if(m_paced.begin(), m_paced.end(),
                                 [](const PacedEvent& paced) { return paced.control.Get() == nullptr; }),
                  m_paced.end());
    PacedEvent paced;
    paced.control = pControl;
    paced.dwEvent = dwEvent;
    paced.dwLastTick = dwNow;
    m_paced.push_back(paced);
    Fire(dwEvent, pControl);
    return;
  }
  const DWORD dwSince = dwNow - it->dwLastTick;
  if (dwSince >= kPacedEventIntervalMs) {
    it->dwLastTick = dwNow;
    it->bPending = false;
    Fire(dwEvent, pControl);
    return;
  }
  if (it->bPending) return;
  it->bPending = true;
  ScheduleTick(kPacedEventIntervalMs - dwSince);
}

void CHostAccessibility::DeferActivate(CControlUI* pControl) {
  m_activations.push_back(pControl);
  ScheduleTick(0);
}

void CHostAccessibility::ScheduleTick(DWORD dwDelayMs) {
  const HWND hWnd = m_host.GetHostWindow();
  if (hWnd == nullptr) return;
  // Set again, the timer takes the new delay: the earliest due work decides, the tick itself
  // sets it once more for what is left.
  if (m_bTimerSet && dwDelayMs != 0) return;
  m_bTimerSet = ::SetTimer(hWnd, reinterpret_cast<UINT_PTR>(this), std::max<DWORD>(dwDelayMs, USER_TIMER_MINIMUM),
                           &CHostAccessibility::TimerProc) != 0;
}

void CALLBACK CHostAccessibility::TimerProc(HWND hWnd, UINT /*uMsg*/, UINT_PTR idEvent, DWORD /*dwTime*/) {
  std::vector<CHostAccessibility*>& helpers = LiveHelpers();
  const auto it = std::find(helpers.begin(), helpers.end(), reinterpret_cast<CHostAccessibility*>(idEvent));
  if (it == helpers.end()) {
    ::KillTimer(hWnd, idEvent);
    return;
  }
  (*it)->OnTick();
}

void CHostAccessibility::OnTick() {
  const HWND hWnd = m_host.GetHostWindow();
  ::KillTimer(hWnd, reinterpret_cast<UINT_PTR>(this));
  m_bTimerSet = false;
  const DWORD dwNow = ::GetTickCount();
  DWORD dwNextDue = 0;
  for (PacedEvent& paced : m_paced) {
    if (!paced.bPending) continue;
    CControlUI* pControl = paced.control.Get();
    if (pControl == nullptr) {
      paced.bPending = false;
      continue;
    }
    const DWORD dwSince = dwNow - paced.dwLastTick;
    if (dwSince < kPacedEventIntervalMs) {
      const DWORD dwDue = kPacedEventIntervalMs - dwSince;
      if (dwNextDue == 0 || dwDue < dwNextDue) dwNextDue = dwDue;
      continue;
    }
    paced.bPending = false;
    paced.dwLastTick = dwNow;
    Fire(paced.dwEvent, pControl);
  }
  if (dwNextDue != 0) ScheduleTick(dwNextDue);
  // Last: an action may end the window, and this helper with it.
  std::vector<CControlHandle> activations;
  activations.swap(m_activations);
  for (CControlHandle& control : activations) {
    if (CControlUI* pControl = control.Get()) pControl->Activate();
  }
}

}  // namespace SkinUI

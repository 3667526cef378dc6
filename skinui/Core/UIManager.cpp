// What every member group of the host shares: construction and destruction, attachment to a
// window, the list of live hosts, and the framework-wide module, skin folder and skin archive.

#include "Core/UIManager.h"

#include "Core/UIControl.h"
#include "Core/UIHostAccessibility.h"
#include "Core/UISkinArchive.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

const WCHAR kMemoryArchiveName[] = L"membuffer";

struct FrameworkSettings {
  HINSTANCE hInstance = nullptr;
  CUIString sSkinFolder;
  CUIString sSkinArchive;
  bool bArchiveCached = true;
  CSkinArchiveUI* pArchive = nullptr;
  HueShift hueShift = {180, 100, 100, false};
};

// Lives until the process ends: hosts may still be torn down while static objects go.
FrameworkSettings& Settings() {
  static FrameworkSettings* pSettings = new FrameworkSettings;
  return *pSettings;
}

void CloseCachedArchive() {
  FrameworkSettings& settings = Settings();
  if (settings.bArchiveCached && settings.pArchive != nullptr) {
    delete settings.pArchive;
    settings.pArchive = nullptr;
  }
}

}  // namespace

CTypedPtrArrayUI<CWindowHostUI>& CWindowHostUI::LiveHosts() {
  static CTypedPtrArrayUI<CWindowHostUI>* pHosts = new CTypedPtrArrayUI<CWindowHostUI>;
  return *pHosts;
}

CWindowHostUI::CWindowHostUI()
    : m_hWndPaint(nullptr), m_hDcPaint(nullptr), m_pRoot(nullptr) {
  // Tooltips and the native controls some controls wrap need the library's classes; the first
  // host of the process makes sure they are there.
  static const bool bCommonControlsReady = (::InitCommonControls(), true);
  (void)bCommonControlsReady;
  for (int i = 0; i < kDefaultColorCount; ++i) {
    m_resources.aColors[i] = SharedDefaultColor(static_cast<DefaultColor>(i));
  }
}

CWindowHostUI::~CWindowHostUI() {
  // The tree goes first: its controls still reach back into every group below while they are
  // destroyed. What is left then goes with the members.
  m_queue.DestroyDeferred();
  m_queue.DropNotifications();
  m_mNameHash.RemoveAll();
  if (m_pRoot != nullptr) {
    CControlUI* pRoot = m_pRoot;
    m_pRoot = nullptr;
    delete pRoot;
  }
  m_resources.Clear();
  m_timers.StopEvery();
  m_toolTip.Destroy();
  if (m_bLayered && ::IsWindow(m_hWndPaint)) ::KillTimer(m_hWndPaint, kLayeredTimerId);
  m_surfaces.Free();
  if (m_stockFont.hFont != nullptr) ::DeleteObject(m_stockFont.hFont);
  if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
  LiveHosts().RemoveFirst(this);
  SetParentHost(nullptr);
  for (int i = 0; i < m_aChildHosts.GetSize(); ++i) m_aChildHosts[i]->m_pParentHost = nullptr;
}

void CWindowHostUI::AttachWindow(HWND hWnd, LPCWSTR pstrName) {
  UI_CHECK(::IsWindow(hWnd));
  m_resources.Clear();
  m_timers.StopEvery();
  m_mNameHash.Resize(83);
  m_sName = pstrName;
  if (m_hWndPaint != hWnd) {
    if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_surfaces.Free();
    m_hWndPaint = hWnd;
    m_hDcPaint = ::GetDC(hWnd);
    if (LiveHosts().Find(this) < 0) LiveHosts().Add(this);
    SetDpi(QueryWindowDpi(hWnd));
    ReadHighContrast();
  }
}

HWND CWindowHostUI::GetHostWindow() const { return m_hWndPaint; }

HDC CWindowHostUI::GetHostDC() const { return m_hDcPaint; }

LPCWSTR CWindowHostUI::GetName() const { return m_sName; }

bool CWindowHostUI::SetParentHost(CWindowHostUI* pParent) {
  for (CWindowHostUI* pAncestor = pParent; pAncestor != nullptr;
       pAncestor = pAncestor->m_pParentHost) {
    if (pAncestor == this) return false;
  }
  if (m_pParentHost != nullptr) m_pParentHost->m_aChildHosts.RemoveFirst(this);
  m_pParentHost = nullptr;
  // A parent that cannot list the child could not unlink it when it goes.
  if (pParent == nullptr || !pParent->m_aChildHosts.Add(this)) return pParent == nullptr;
  m_pParentHost = pParent;
  // It shows the parent's controls, which are at the parent's DPI.
  SetDpi(pParent->GetDpi());
  return true;
}

CWindowHostUI* CWindowHostUI::GetParentHost() const { return m_pParentHost; }


namespace {
IHostShadow::MakeProc g_pfnMakeShadow = nullptr;
}  // namespace

IHostShadow* CWindowHostUI::GetShadow() {
  if (m_pShadow == nullptr && g_pfnMakeShadow != nullptr) m_pShadow.reset(g_pfnMakeShadow());
  return m_pShadow.get();
}

void CWindowHostUI::SetShadowMaker(IHostShadow::MakeProc pfnMake) { g_pfnMakeShadow = pfnMake; }

void CWindowHostUI::SetModuleInstance(HINSTANCE hInstance) { Settings().hInstance = hInstance; }

HINSTANCE CWindowHostUI::GetModuleInstance() { return Settings().hInstance; }

HINSTANCE CWindowHostUI::GetResourceInstance() { return Settings().hInstance; }

CUIString CWindowHostUI::GetProgramFolder() {
  if (Settings().hInstance == nullptr) return CUIString();
  WCHAR szModule[MAX_PATH + 1] = {};
  ::GetModuleFileNameW(Settings().hInstance, szModule, MAX_PATH);
  CUIString sFolder(szModule);
  return sFolder.Left(sFolder.ReverseFind(L'\\') + 1);
}

const CUIString& CWindowHostUI::GetSkinFolder() { return Settings().sSkinFolder; }

void CWindowHostUI::SetSkinFolder(LPCWSTR pstrPath) {
  CUIString& sFolder = Settings().sSkinFolder;
  sFolder = pstrPath;
  const int iLength = sFolder.GetLength();
  if (iLength > 0) {
    const WCHAR chLast = sFolder.GetAt(iLength - 1);
    if (chLast != L'\\' && chLast != L'/') sFolder += L'\\';
  }
}

const CUIString& CWindowHostUI::GetSkinArchive() { return Settings().sSkinArchive; }

bool CWindowHostUI::IsSkinArchiveCached() { return Settings().bArchiveCached; }

CSkinArchiveUI* CWindowHostUI::GetResourceZipHandle() { return Settings().pArchive; }

void CWindowHostUI::UseSkinArchive(LPCWSTR pstrName, bool bCached) {
  FrameworkSettings& settings = Settings();
  if (settings.sSkinArchive == (pstrName != nullptr ? pstrName : L"") &&
      settings.bArchiveCached == bCached) {
    return;
  }
  CloseCachedArchive();
  settings.sSkinArchive = pstrName;
  settings.bArchiveCached = bCached;
  if (bCached) {
    CUIString sPath = settings.sSkinFolder;
    sPath += settings.sSkinArchive;
    settings.pArchive = CSkinArchiveUI::OpenFile(sPath);
  }
}

void CWindowHostUI::UseSkinArchive(const void* pData, DWORD dwSize) {
  FrameworkSettings& settings = Settings();
  if (settings.sSkinArchive == kMemoryArchiveName) return;
  CloseCachedArchive();
  settings.sSkinArchive = kMemoryArchiveName;
  if (settings.bArchiveCached) settings.pArchive = CSkinArchiveUI::OpenMemory(pData, dwSize);
}

HueShift CWindowHostUI::GetHueShift() { return Settings().hueShift; }

void CWindowHostUI::SetHueShift(const HueShift& shift) { Settings().hueShift = shift; }

}  // namespace SkinUI

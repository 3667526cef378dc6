// The text host's life (creating and releasing the engine, the live-object count), what its
// owner changes, and its COM identity.

#include "Control/UITextHost.h"

#include "Control/UIRichEdit.h"
#include "Control/UITextFormat.h"
#include "Control/UITextServices.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

const LONG kHimetricPerInch = 2540;
// What the platform assumes without a display.
const int kDefaultPixelsPerInch = 96;

volatile LONG g_nLiveHosts = 0;

// The measuring device the engine is given, or the screen when the window has none yet.
class ScopedMeasureDC {
 public:
  explicit ScopedMeasureDC(HDC hDC) : m_hDC(hDC), m_bOwn(hDC == nullptr) {
    if (m_bOwn) m_hDC = ::GetDC(nullptr);
  }
  ~ScopedMeasureDC() {
    if (m_bOwn && m_hDC != nullptr) ::ReleaseDC(nullptr, m_hDC);
  }
  ScopedMeasureDC(const ScopedMeasureDC&) = delete;
  ScopedMeasureDC& operator=(const ScopedMeasureDC&) = delete;
  int PixelsPerInchX() const { return PerInch(LOGPIXELSX); }
  int PixelsPerInchY() const { return PerInch(LOGPIXELSY); }

 private:
  int PerInch(int nIndex) const {
    const int n = m_hDC != nullptr ? ::GetDeviceCaps(m_hDC, nIndex) : 0;
    return n > 0 ? n : kDefaultPixelsPerInch;
  }
  HDC m_hDC;
  bool m_bOwn;
};

bool SameIid(REFIID riid, const IID* pIid) { return pIid != nullptr && ::IsEqualIID(riid, *pIid); }

}  // namespace

CTxtWinHost::CTxtWinHost()
    : m_cRefs(1),
      m_pOwner(nullptr),
      m_pServices(nullptr),
      m_dwStyle(0),
      m_cf(),
      m_pf(),
      m_nMaxLength(CRichEditUI::kDefaultMaxLength),
      m_rcClient{0, 0, 0, 0},
      m_sizelExtent{0, 0},
      m_nSelBarWidth(0),
      m_nAccelPos(-1),
      m_chPassword(0),
      m_bAutoWordSel(false),
      m_bWordWrap(false),
      m_bAllowBeep(false),
      m_bRich(false),
      m_bSaveSelection(false),
      m_bInPlaceActive(false),
      m_bTransparent(false),
      m_bTimer(false),
      m_bCaptured(false),
      m_bNeedCaretRefresh(false) {
  ::InterlockedIncrement(&g_nLiveHosts);
}

CTxtWinHost::~CTxtWinHost() {
  Shutdown();
  ::InterlockedDecrement(&g_nLiveHosts);
}

LONG CTxtWinHost::LiveObjects() { return g_nLiveHosts; }

bool CTxtWinHost::Create(CRichEditUI* pOwner, const TextHostCreation& creation) {
  m_pOwner = pOwner;
  m_dwStyle = creation.dwStyle;

  CWindowHostUI* pHost = WindowHost();
  const FontInfo* pFont = pHost != nullptr ? pHost->GetFontInfo(pOwner->GetFont()) : nullptr;
  m_cf.cbSize = sizeof(m_cf);
  SetFont(pFont != nullptr ? pFont->hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  SetTextColor(pOwner->GetTextColor());

  FillParaFormat(m_pf, m_dwStyle);

  // Without a character of its own a password edit would show what is typed into it.
  if ((m_dwStyle & kRichEditPassword) != 0 && m_chPassword == 0) m_chPassword = L'*';
  m_bRich = pOwner->IsRich();
  m_bWordWrap = (m_dwStyle & (kRichEditAutoHScroll | kRichEditHScrollBar)) == 0;
  m_bInPlaceActive = true;
  m_nMaxLength = pOwner->GetLimitText();

  m_pServices = text_services::CreateEngine(this);
  if (m_pServices == nullptr) {
    m_pOwner = nullptr;
    return false;
  }
  SetMaxLength(m_nMaxLength);
  return true;
}

void CTxtWinHost::Shutdown() {
  if (m_pServices != nullptr) {
    ITextServices* pServices = m_pServices;
    m_pServices = nullptr;
    pServices->OnTxInPlaceDeactivate();
    pServices->Release();
  }
  if (m_bCaptured && WindowHost() != nullptr) WindowHost()->ReleaseMouse();
  m_bCaptured = false;
  m_caret.Destroy(HostWindow());
  m_pOwner = nullptr;
}

CWindowHostUI* CTxtWinHost::WindowHost() const {
  return m_pOwner != nullptr ? m_pOwner->GetHost() : nullptr;
}

HWND CTxtWinHost::HostWindow() const {
  CWindowHostUI* pHost = WindowHost();
  return pHost != nullptr ? pHost->GetHostWindow() : nullptr;
}

void CTxtWinHost::PropertyChange(DWORD dwMask, DWORD dwBits) {
  if (m_pServices != nullptr) m_pServices->OnTxPropertyBitsChange(dwMask, dwBits);
}

// ---- what the owner changes ----

void CTxtWinHost::SetFont(HFONT hFont) {
  CWindowHostUI* pHost = WindowHost();
  ScopedMeasureDC dc(pHost != nullptr ? pHost->GetHostDC() : nullptr);
  if (!FillCharFormatFont(m_cf, hFont, dc.PixelsPerInchY())) return;
  PropertyChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetTextColor(DWORD dwColor) {
  m_cf.crTextColor = ToColorRef(dwColor);
  PropertyChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetRich(bool bRich) {
  m_bRich = bRich;
  PropertyChange(TXTBIT_RICHTEXT, bRich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetReadOnly(bool bReadOnly) {
  m_dwStyle = bReadOnly ? (m_dwStyle | kRichEditReadOnly) : (m_dwStyle & ~kRichEditReadOnly);
  PropertyChange(TXTBIT_READONLY, bReadOnly ? TXTBIT_READONLY : 0);
}

void CTxtWinHost::SetTransparent(bool bTransparent) {
  m_bTransparent = bTransparent;
  PropertyChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetMaxLength(LONG nMaxLength) {
  m_nMaxLength = nMaxLength;
  PropertyChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
  // Not every engine reads the length again on that change; the limit message it always obeys.
  if (m_pServices != nullptr) m_pServices->TxSendMessage(EM_EXLIMITTEXT, 0, nMaxLength, nullptr);
}

void CTxtWinHost::SetClientRect(const RECT& rc) {
  m_rcClient = rc;
  CWindowHostUI* pHost = WindowHost();
  ScopedMeasureDC dc(pHost != nullptr ? pHost->GetHostDC() : nullptr);
  m_sizelExtent.cx = ::MulDiv(rc.right - rc.left, kHimetricPerInch, dc.PixelsPerInchX());
  m_sizelExtent.cy = ::MulDiv(rc.bottom - rc.top, kHimetricPerInch, dc.PixelsPerInchY());
  PropertyChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
  m_caret.Follow(HostWindow(), m_rcClient);
}

void CTxtWinHost::ActivateInPlace(bool bActive) {
  if (m_pServices == nullptr) return;
  if (bActive) {
    m_pServices->OnTxInPlaceActivate(&m_rcClient);
  } else {
    m_pServices->OnTxInPlaceDeactivate();
  }
  m_bInPlaceActive = bActive;
}

void CTxtWinHost::ApplyCursor(const RECT* prcClient, POINT pt) {
  if (m_pServices == nullptr) return;
  CWindowHostUI* pHost = WindowHost();
  m_pServices->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr,
                             pHost != nullptr ? pHost->GetHostDC() : nullptr, nullptr,
                             prcClient != nullptr ? prcClient : &m_rcClient, pt.x, pt.y);
}

// ---- IUnknown ----

HRESULT CTxtWinHost::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (::IsEqualIID(riid, IID_IUnknown) || SameIid(riid, text_services::ExportedTextHostIid())) {
    *ppvObject = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_cRefs)); }

ULONG CTxtWinHost::Release() {
  const LONG cRefs = ::InterlockedDecrement(&m_cRefs);
  if (cRefs == 0) delete this;
  return static_cast<ULONG>(cRefs);
}

}  // namespace SkinUI

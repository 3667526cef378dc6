// Animated GIF: frames and their delays from GDI+, advanced by a host timer.

#include "Control/UIGifAnim.h"

#include "Core/UIAttributeValues.h"
#include "Core/UIGdiplusSession.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

// The time dimension of animated images (FrameDimensionTime).
const GUID kFrameDimensionTime = {
    0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
const PROPID kFrameDelayProperty = 0x5100;
const UINT kZeroDelayMs = 100;

}  // namespace

CGifAnimUI::CGifAnimUI()
    : m_pGifImage(nullptr),
      m_nFrameCount(0),
      m_nFramePosition(0),
      m_pFrameDelays(nullptr),
      m_nDelayCount(0),
      m_bIsAutoPlay(true),
      m_bIsAutoSize(false),
      m_bIsPlaying(false),
      m_pGdiplus(new CGdiplusSession) {}

CGifAnimUI::~CGifAnimUI() {
  FreeGifImage();
  if (m_pHost != nullptr) m_pHost->StopTimer(this, kFrameTimerId);
  // The image must go before the session that made it.
  delete m_pGdiplus;
}

LPCWSTR CGifAnimUI::ClassName() const { return L"GifAnimUI"; }

LPVOID CGifAnimUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"GifAnim") == 0) return this;
  return CControlUI::QueryNamedInterface(pstrName);
}

void CGifAnimUI::SetVisible(bool bVisible) {
  CControlUI::SetVisible(bVisible);
  if (bVisible) {
    Play();
  } else {
    Stop();
  }
}

void CGifAnimUI::InitSelf() { LoadGifImage(); }

void CGifAnimUI::HandleEvent(InputEvent& event) {
  if (event.iKind == kEventTimer && event.wParam == kFrameTimerId) OnFrameTimer();
}

UI_BEGIN_ATTRIBUTES(CGifAnimUI, CControlUI)
UI_ATTRIBUTE(L"bkimage", kImageValue, self.SetGifFile(pstrValue))
UI_ATTRIBUTE(L"autoplay", kBoolValue, self.SetAutoPlay(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"autosize", kBoolValue, self.SetAutoSize(IsTrue(pstrValue)))
UI_END_ATTRIBUTES()


void CGifAnimUI::SetGifFile(LPCWSTR pstrName) {
  if (pstrName == nullptr || *pstrName == L'\0' || m_sGifFile == pstrName) return;
  m_sGifFile = pstrName;
  Stop();
  FreeGifImage();
  Invalidate();
}

void CGifAnimUI::SetAutoPlay(bool bAutoPlay) { m_bIsAutoPlay = bAutoPlay; }
void CGifAnimUI::SetAutoSize(bool bAutoSize) { m_bIsAutoSize = bAutoSize; }

UINT CGifAnimUI::GetFrameDelay(UINT nFrame) const {
  const UINT nHundredths =
      m_pFrameDelays != nullptr && nFrame < m_nDelayCount ? m_pFrameDelays[nFrame] : 0;
  return nHundredths == 0 ? kZeroDelayMs : nHundredths * 10;
}

void CGifAnimUI::Play() {
  if (m_bIsPlaying || m_pGifImage == nullptr || m_pHost == nullptr) return;
  m_bIsPlaying = m_pHost->StartTimer(this, kFrameTimerId, GetFrameDelay(m_nFramePosition));
}

void CGifAnimUI::Stop() {
  if (!m_bIsPlaying) return;
  if (m_pHost != nullptr) m_pHost->StopTimer(this, kFrameTimerId);
  m_nFramePosition = 0;
  Invalidate();
  m_bIsPlaying = false;
}

void CGifAnimUI::OnFrameTimer() {
  if (m_pHost == nullptr || m_nFrameCount == 0) return;
  m_pHost->StopTimer(this, kFrameTimerId);
  Invalidate();
  m_nFramePosition = (m_nFramePosition + 1) % m_nFrameCount;
  m_pHost->StartTimer(this, kFrameTimerId, GetFrameDelay(m_nFramePosition));
}

void CGifAnimUI::LoadGifImage() {
  if (m_pGifImage != nullptr || m_sGifFile.IsEmpty() || !m_pGdiplus->IsStarted()) return;
  DWORD dwSize = 0;
  BYTE* pBytes = CSkinRenderer::ReadSkinFileBytes(m_sGifFile, nullptr, &dwSize);
  if (pBytes == nullptr) return;
  // GDI+ reads the image from a stream, which wants a movable block it can own.
  HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, dwSize);
  void* pBlock = hBlock != nullptr ? ::GlobalLock(hBlock) : nullptr;
  if (pBlock != nullptr) {
    ::CopyMemory(pBlock, pBytes, dwSize);
    ::GlobalUnlock(hBlock);
  }
  delete[] pBytes;
  IStream* pStream = nullptr;
  if (pBlock == nullptr || FAILED(::CreateStreamOnHGlobal(hBlock, TRUE, &pStream))) {
    if (hBlock != nullptr) ::GlobalFree(hBlock);
    return;
  }
  Gdiplus::Image* pImage = Gdiplus::Image::FromStream(pStream);
  pStream->Release();  // the image holds its own reference while it needs the bytes
  if (pImage == nullptr || pImage->GetLastStatus() != Gdiplus::Ok) {
    delete pImage;
    return;
  }
  const UINT nDimensions = pImage->GetFrameDimensionsCount();
  if (nDimensions > 0) {
    GUID* pDimensions = new GUID[nDimensions];
    if (pImage->GetFrameDimensionsList(pDimensions, nDimensions) == Gdiplus::Ok) {
      m_nFrameCount = pImage->GetFrameCount(&pDimensions[0]);
    }
    delete[] pDimensions;
  }
  if (m_nFrameCount == 0) m_nFrameCount = 1;
  m_pGifImage = pImage;

  const UINT cbDelays = pImage->GetPropertyItemSize(kFrameDelayProperty);
  if (cbDelays >= sizeof(Gdiplus::PropertyItem)) {
    BYTE* pItemBytes = new BYTE[cbDelays];
    Gdiplus::PropertyItem* pItem = reinterpret_cast<Gdiplus::PropertyItem*>(pItemBytes);
    if (pImage->GetPropertyItem(kFrameDelayProperty, cbDelays, pItem) == Gdiplus::Ok &&
        pItem->value != nullptr && pItem->length >= sizeof(LONG)) {
      m_nDelayCount = pItem->length / sizeof(LONG);
      m_pFrameDelays = new UINT[m_nDelayCount];
      const LONG* pValues = static_cast<const LONG*>(pItem->value);
      for (UINT i = 0; i < m_nDelayCount; ++i) {
        m_pFrameDelays[i] = pValues[i] > 0 ? static_cast<UINT>(pValues[i]) : 0;
      }
    }
    delete[] pItemBytes;
  }
  if (m_bIsAutoSize) {
    SetFixedWidth(static_cast<int>(pImage->GetWidth()));
    SetFixedHeight(static_cast<int>(pImage->GetHeight()));
  }
  if (m_bIsAutoPlay && m_pFrameDelays != nullptr) Play();
}

void CGifAnimUI::FreeGifImage() {
  delete m_pGifImage;
  m_pGifImage = nullptr;
  delete[] m_pFrameDelays;
  m_pFrameDelays = nullptr;
  m_nDelayCount = 0;
  m_nFrameCount = 0;
  m_nFramePosition = 0;
}

bool CGifAnimUI::PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* /*pStopControl*/) {
  RECT rcVisible = {};
  if (!::IntersectRect(&rcVisible, &rcPaint, &m_rcItem)) return true;
  if (m_pGifImage == nullptr) LoadGifImage();
  if (m_pGifImage == nullptr) return true;
  // The frame shown is the current one, so that a stopped animation shows its first frame.
  if (m_nFrameCount > 1) m_pGifImage->SelectActiveFrame(&kFrameDimensionTime, m_nFramePosition);
  Gdiplus::Graphics graphics(hDC);
  graphics.DrawImage(m_pGifImage, static_cast<INT>(m_rcItem.left), static_cast<INT>(m_rcItem.top),
                     static_cast<INT>(m_rcItem.right - m_rcItem.left),
                     static_cast<INT>(m_rcItem.bottom - m_rcItem.top));
  return true;
}

}  // namespace SkinUI

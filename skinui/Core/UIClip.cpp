// CSkinClip: restricts a device context's clip region while a section is painted.

#include "Core/UIRender.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

CSkinClip::CSkinClip() : m_hDC(nullptr), m_hRgn(nullptr), m_hOldRgn(nullptr), m_rcItem() {}

CSkinClip::~CSkinClip() {
  if (m_hDC == nullptr) return;
  const HDC hDC = m_hDC;
  const HRGN hRgn = m_hRgn;
  const HRGN hOldRgn = m_hOldRgn;
  UI_CHECK(::GetObjectType(hDC)==3 || ::GetObjectType(hDC)==10);
  UI_CHECK(::GetObjectType(hRgn)==8);
  UI_CHECK(::GetObjectType(hOldRgn)==8);
  ::SelectClipRgn(hDC, hOldRgn);
  ::DeleteObject(hOldRgn);
  ::DeleteObject(hRgn);
}

void CSkinClip::Restrict(HDC hDC, const RECT& rc, HRGN hRgn) {
  // A clip object used a second time on the same context keeps restoring what it saved first;
  // only the restricting region of the earlier use is let go. Moving to another context puts
  // the first one back before anything else is saved.
  if (m_hRgn != nullptr) ::DeleteObject(m_hRgn);
  m_hRgn = nullptr;
  if (m_hOldRgn != nullptr && m_hDC != hDC) {
    ::SelectClipRgn(m_hDC, m_hOldRgn);
    ::DeleteObject(m_hOldRgn);
    m_hOldRgn = nullptr;
  }
  if (m_hOldRgn == nullptr) {
    RECT rcClip = {};
    ::GetClipBox(hDC, &rcClip);
    m_hOldRgn = ::CreateRectRgnIndirect(&rcClip);
  }
  m_hRgn = hRgn;
  ::ExtSelectClipRgn(hDC, m_hRgn, RGN_AND);
  m_hDC = hDC;
  m_rcItem = rc;
}

void CSkinClip::ClipToRect(HDC hDC, const RECT& rc, CSkinClip& clip) {
  clip.Restrict(hDC, rc, ::CreateRectRgnIndirect(&rc));
}

void CSkinClip::ClipToRoundRect(HDC hDC, const RECT& rc, const RECT& rcItem, int width,
                                int height, CSkinClip& clip) {
  HRGN hRgn = ::CreateRectRgnIndirect(&rc);
  HRGN hRgnItem = ::CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1,
                                       rcItem.bottom + 1, width, height);
  ::CombineRgn(hRgn, hRgn, hRgnItem, RGN_AND);
  ::DeleteObject(hRgnItem);
  clip.Restrict(hDC, rc, hRgn);
}

void CSkinClip::UseSavedClip(HDC hDC, CSkinClip& clip) {
  UI_CHECK(::GetObjectType(hDC)==3 || ::GetObjectType(hDC)==10);
  UI_CHECK(::GetObjectType(clip.m_hOldRgn) == 8);
  // Selecting no region at all would lift every restriction of the context.
  if (clip.m_hOldRgn != nullptr) ::SelectClipRgn(hDC, clip.m_hOldRgn);
}

void CSkinClip::UseNewClip(HDC hDC, CSkinClip& clip) {
  UI_CHECK(::GetObjectType(hDC)==3 || ::GetObjectType(hDC)==10);
  UI_CHECK(::GetObjectType(clip.m_hRgn) == 8);
  if (clip.m_hRgn != nullptr) ::SelectClipRgn(hDC, clip.m_hRgn);
}

}  // namespace SkinUI

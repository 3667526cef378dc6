#pragma once
// One GDI+ session held for the lifetime of the object; controls that draw through GDI+ keep one,
// so the library stays up exactly as long as something may call it.

#include <windows.h>
// The lean Windows headers leave out the COM declarations GDI+ needs.
#include <objidl.h>

#include <gdiplus.h>

namespace SkinUI {

class CGdiplusSession {
 public:
  CGdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_uToken, &input, nullptr) != Gdiplus::Ok) m_uToken = 0;
  }
  ~CGdiplusSession() {
    if (m_uToken != 0) Gdiplus::GdiplusShutdown(m_uToken);
  }
  CGdiplusSession(const CGdiplusSession&) = delete;
  CGdiplusSession& operator=(const CGdiplusSession&) = delete;

  bool IsStarted() const { return m_uToken != 0; }

 private:
  ULONG_PTR m_uToken = 0;
};

}  // namespace SkinUI

#pragma once
// The platform's accessibility library, reached by name on first use: a program that never
// serves a client never loads it, and it comes from the system folder by its full path, never
// from a search that a program restricting its library search has ruled out.

#include <windows.h>
#include <oleacc.h>

namespace SkinUI {
namespace oleacc {

// LresultFromObject; E_NOINTERFACE's negative result when the library cannot be had.
LRESULT ResultFromObject(REFIID riid, WPARAM wParam, IUnknown* pUnknown);
// AccessibleObjectFromWindow; E_NOTIMPL when the library cannot be had.
HRESULT ObjectFromWindow(HWND hWnd, DWORD dwObjectId, REFIID riid, void** ppObject);

}  // namespace oleacc
}  // namespace SkinUI

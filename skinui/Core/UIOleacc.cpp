#include "Core/UIOleacc.h"

#include "Utils/UIDebug.h"

namespace SkinUI {
namespace oleacc {

namespace {

typedef LRESULT(WINAPI* LresultFromObjectProc)(REFIID, WPARAM, LPUNKNOWN);
typedef HRESULT(WINAPI* AccessibleObjectFromWindowProc)(HWND, DWORD, REFIID, void**);

struct Library {
  LresultFromObjectProc pfnLresultFromObject = nullptr;
  AccessibleObjectFromWindowProc pfnAccessibleObjectFromWindow = nullptr;
};

const Library& Oleacc() {
  static const Library library = [] {
    Library loaded;
    WCHAR szPath[MAX_PATH + 16] = {};
    const UINT cch = ::GetSystemDirectoryW(szPath, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH) return loaded;
    ::lstrcatW(szPath, L"\\oleacc.dll");
    HMODULE hModule = ::LoadLibraryExW(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (hModule == nullptr) {
      UITrace(L"accessibility: cannot load %s (%lu)", szPath, ::GetLastError());
      return loaded;
    }
    loaded.pfnLresultFromObject = reinterpret_cast<LresultFromObjectProc>(
        reinterpret_cast<void*>(::GetProcAddress(hModule, "LresultFromObject")));
    loaded.pfnAccessibleObjectFromWindow = reinterpret_cast<AccessibleObjectFromWindowProc>(
        reinterpret_cast<void*>(::GetProcAddress(hModule, "AccessibleObjectFromWindow")));
    return loaded;
  }();
  return library;
}

}  // namespace

LRESULT ResultFromObject(REFIID riid, WPARAM wParam, IUnknown* pUnknown) {
  const Library& library = Oleacc();
  if (library.pfnLresultFromObject == nullptr) return static_cast<LRESULT>(E_NOINTERFACE);
  return library.pfnLresultFromObject(riid, wParam, pUnknown);
}

HRESULT ObjectFromWindow(HWND hWnd, DWORD dwObjectId, REFIID riid, void** ppObject) {
  const Library& library = Oleacc();
  if (library.pfnAccessibleObjectFromWindow == nullptr) return E_NOTIMPL;
  return library.pfnAccessibleObjectFromWindow(hWnd, dwObjectId, riid, ppObject);
}

}  // namespace oleacc
}  // namespace SkinUI

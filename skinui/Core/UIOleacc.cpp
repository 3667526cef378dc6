#include "Core/UIOleacc.h"

#include "Utils/UISystemLibrary.h"

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
    const HMODULE hModule = LoadSystemLibrary(L"oleacc.dll");
    loaded.pfnLresultFromObject = ModuleExport<LresultFromObjectProc>(hModule, "LresultFromObject");
    loaded.pfnAccessibleObjectFromWindow =
        ModuleExport<AccessibleObjectFromWindowProc>(hModule, "AccessibleObjectFromWindow");
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

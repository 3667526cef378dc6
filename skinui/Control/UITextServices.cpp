#include "Control/UITextServices.h"

#include "Utils/UIDebug.h"

namespace SkinUI {
namespace text_services {

namespace {

// A bare library name would be searched for in the program's folder and the current folder
// first, where anyone able to write there could plant their own.
HMODULE EngineLibrary() {
  static HMODULE hModule = [] {
    WCHAR szPath[MAX_PATH + 16] = {};
    const UINT cch = ::GetSystemDirectoryW(szPath, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH) return static_cast<HMODULE>(nullptr);
    ::lstrcatW(szPath, L"\\msftedit.dll");
    HMODULE hLoaded = ::LoadLibraryExW(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (hLoaded == nullptr) UITrace(L"text engine: cannot load %s (%lu)", szPath, ::GetLastError());
    return hLoaded;
  }();
  return hModule;
}

template <class T>
T Export(const char* pstrName) {
  HMODULE hModule = EngineLibrary();
  if (hModule == nullptr) return nullptr;
  return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(hModule, pstrName)));
}

}  // namespace

PCreateTextServices Factory() {
  static PCreateTextServices pfn = Export<PCreateTextServices>("CreateTextServices");
  return pfn;
}

const IID* ExportedTextServicesIid() {
  static const IID* pIid = Export<const IID*>("IID_ITextServices");
  return pIid;
}

const IID* ExportedTextHostIid() {
  static const IID* pIid = Export<const IID*>("IID_ITextHost");
  return pIid;
}

ITextServices* CreateEngine(ITextHost* pHost) {
  PCreateTextServices pfnCreate = Factory();
  if (pfnCreate == nullptr) return nullptr;
  IUnknown* pUnknown = nullptr;
  const HRESULT hr = pfnCreate(nullptr, pHost, &pUnknown);
  if (FAILED(hr) || pUnknown == nullptr) {
    UITrace(L"text engine: CreateTextServices failed (0x%08lx)", static_cast<unsigned long>(hr));
    return nullptr;
  }
  const IID* pIid = ExportedTextServicesIid();
  ITextServices* pServices = nullptr;
  pUnknown->QueryInterface(pIid != nullptr ? *pIid : kTextServicesIid,
                           reinterpret_cast<void**>(&pServices));
  pUnknown->Release();
  return pServices;
}

}  // namespace text_services
}  // namespace SkinUI

#include "Control/UITextServices.h"

#include "Utils/UIDebug.h"
#include "Utils/UISystemLibrary.h"

namespace SkinUI {
namespace text_services {

namespace {

HMODULE EngineLibrary() {
  static const HMODULE hModule = LoadSystemLibrary(L"msftedit.dll");
  return hModule;
}

template <class T>
T Export(const char* pstrName) {
  return ModuleExport<T>(EngineLibrary(), pstrName);
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

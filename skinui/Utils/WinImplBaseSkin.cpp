// Creation of a skinned window: the native frame is stripped, the host attached, the skin read
// from wherever the window's class says and built into the host. A skin that cannot be had
// ends the program with the framework's one message to the user.

#include <cstring>
#include <cwchar>

#include "Core/UIControl.h"
#include "Utils/UIDebug.h"
#include "Utils/WinImplBase.h"

namespace SkinUI {

namespace {

const UINT kFrameBitsKept = 0xFF3FFFFF;  // everything but WS_CAPTION (border and title bar)
const WCHAR kArchiveResourceType[] = L"ZIPRES";
const WCHAR kSkinResourceType[] = L"xml";

// A resource name as text; a numeric id as "#id", which the platform reads as that id.
CUIString ResourceKey(LPCWSTR pstrId) {
  if (!IS_INTRESOURCE(pstrId)) return CUIString(pstrId);
  CUIString sKey;
  sKey.Format(L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(pstrId)));
  return sKey;
}

// The copy of an archive resource the framework reads from. It must live as long as the process
// (the open archive points into it), and one copy per resource is enough however many windows
// are built from it.
struct ArchiveBlock {
  HMODULE hModule = nullptr;
  CUIString sKey;
  void* pData = nullptr;
  DWORD dwSize = 0;
};

ArchiveBlock& KeptArchiveBlock() {
  static ArchiveBlock* pBlock = new ArchiveBlock;
  return *pBlock;
}

}  // namespace

UINT WindowImplBase::FrameStyle() const {
  return static_cast<UINT>(::GetWindowLongW(m_hWnd, GWL_STYLE)) & kFrameBitsKept;
}

LRESULT WindowImplBase::HandleCreate(UINT, WPARAM, LPARAM, bool& /*bHandled*/) {
  AttachFrame();
  BuildSkin();
  return 0;
}

void WindowImplBase::AttachFrame() {
  ::SetWindowLongW(m_hWnd, GWL_STYLE,
                   static_cast<LONG>(FrameStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  // The frame is recalculated at the client size, so the window keeps no native caption or
  // border. The position stays where the creator put it.
  RECT rcClient = {};
  ::GetClientRect(m_hWnd, &rcClient);
  ::SetWindowPos(m_hWnd, nullptr, rcClient.left, rcClient.top, rcClient.right - rcClient.left,
                 rcClient.bottom - rcClient.top, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER);

  m_Host.AttachWindow(m_hWnd);
  m_Host.RegisterPreFilter(this);

  CUIString sFolder = CWindowHostUI::GetSkinFolder();
  if (sFolder.IsEmpty()) {
    sFolder = CWindowHostUI::GetProgramFolder();
    sFolder += SkinFolder();
  }
  CWindowHostUI::SetSkinFolder(sFolder);
}

void WindowImplBase::BuildSkin() {
  // A second entry for one type and sender would never run.
  UI_CHECK(!CNotifyPump::HasDuplicateEntries(GetNotifyMap()));
  const int iKind = SkinResourceKind();
  if (iKind == kSkinFromArchiveFile) {
    CWindowHostUI::UseSkinArchive(SkinArchiveName(), true);
  } else if (iKind == kSkinFromArchiveResource && !UseArchiveResource()) {
    // Without its archive the window would stand empty and black with nothing to close it by:
    // a missing archive is a skin that cannot be loaded like any other.
    FailOnSkin();
  }

  CSkinBuilder builder;
  CControlUI* pRoot = nullptr;
  const CUIString sFile = SkinFile();
  if (iKind == kSkinFromResource) {
    const int iId = static_cast<int>(std::wcstol(sFile, nullptr, 10));
    pRoot = builder.Build(MAKEINTRESOURCEW(iId), kSkinResourceType, this, &m_Host);
  } else {
    pRoot = builder.Build(sFile, nullptr, this, &m_Host);
  }
  if (pRoot == nullptr) {
    UI_CHECK(pRoot);
    // The box the user sees says nothing more; the trace tells the skin's writer where.
    const CSkinMarkup* pMarkup = builder.GetMarkup();
    UITrace(L"Skin %s:%d:%d: %s", sFile.GetData(), pMarkup->GetLastErrorLine(),
            pMarkup->GetLastErrorColumn(), builder.GetLastErrorMessage());
    FailOnSkin();
  }
  m_Host.AttachRoot(pRoot);
  m_Host.RegisterNotifier(this);
  OnSkinLoaded();
}

bool WindowImplBase::UseArchiveResource() {
  const HMODULE hModule = CWindowHostUI::GetResourceInstance();
  const LPCWSTR pstrId = SkinResourceId();
  ArchiveBlock& block = KeptArchiveBlock();
  const CUIString sKey = ResourceKey(pstrId);
  if (block.pData == nullptr || block.hModule != hModule || block.sKey.CompareNoCase(sKey) != 0) {
    const HRSRC hResource = ::FindResourceW(hModule, pstrId, kArchiveResourceType);
    if (hResource == nullptr) return false;
    const HGLOBAL hGlobal = ::LoadResource(hModule, hResource);
    if (hGlobal == nullptr) return false;
    const DWORD dwSize = ::SizeofResource(hModule, hResource);
    const void* pBytes = ::LockResource(hGlobal);
    if (dwSize == 0 || pBytes == nullptr) {
      ::FreeResource(hGlobal);
      return false;
    }
    void* pCopy = ::HeapAlloc(::GetProcessHeap(), 0, dwSize);
    if (pCopy == nullptr) {
      ::FreeResource(hGlobal);
      return false;
    }
    std::memcpy(pCopy, pBytes, dwSize);
    ::FreeResource(hGlobal);
    // A block that no archive reads any more can go; the open archive is on the new one.
    void* pOld = block.pData;
    block.hModule = hModule;
    block.sKey = sKey;
    block.pData = pCopy;
    block.dwSize = dwSize;
    CWindowHostUI::UseSkinArchive(nullptr, true);
    if (pOld != nullptr) ::HeapFree(::GetProcessHeap(), 0, pOld);
  }
  CWindowHostUI::UseSkinArchive(block.pData, block.dwSize);
  return true;
}

void WindowImplBase::FailOnSkin() {
  ::MessageBoxW(nullptr, L"加载资源文件失败", L"SkinUI", MB_ICONERROR | MB_OK);
  ::ExitProcess(1);
}

}  // namespace SkinUI

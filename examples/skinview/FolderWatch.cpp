#include "FolderWatch.h"

namespace {

// The stop event takes one of the wait's slots.
const size_t kMaxFolders = MAXIMUM_WAIT_OBJECTS - 1;

// Editors save in different ways (in place, or a new file renamed over the old one): names,
// sizes and write times together see all of them.
const DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                       FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

// The folder and the folders below it, breadth first, up to the limit.
std::vector<std::wstring> FoldersBelow(const std::wstring& folder) {
  std::vector<std::wstring> folders = {folder};
  for (size_t i = 0; i < folders.size() && folders.size() < kMaxFolders; ++i) {
    WIN32_FIND_DATAW found = {};
    const HANDLE hFind = ::FindFirstFileW((folders[i] + L"\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) continue;
    do {
      const std::wstring name = found.cFileName;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"." || name == L"..") continue;
      // A link could lead out of the skin's folder, or round in a circle.
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
      if (folders.size() < kMaxFolders) folders.push_back(folders[i] + L"\\" + name);
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
  }
  return folders;
}

}  // namespace

CFolderWatch::~CFolderWatch() { Stop(); }

bool CFolderWatch::Start(LPCWSTR pstrFolder, HWND hWnd, UINT uMessage) {
  Stop();
  m_folder = pstrFolder;
  while (!m_folder.empty() && (m_folder.back() == L'\\' || m_folder.back() == L'/')) m_folder.pop_back();
  m_hWnd = hWnd;
  m_uMessage = uMessage;
  if (!Arm()) return false;
  m_hStop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (m_hStop != nullptr) m_hThread = ::CreateThread(nullptr, 0, &CFolderWatch::Run, this, 0, nullptr);
  if (m_hThread == nullptr) {
    Stop();
    return false;
  }
  return true;
}

void CFolderWatch::Stop() {
  if (m_hThread != nullptr) {
    ::SetEvent(m_hStop);
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
  }
  if (m_hStop != nullptr) ::CloseHandle(m_hStop);
  m_hStop = nullptr;
  Disarm();
}

// Each folder is watched on its own rather than as one tree: Wine tells a tree's watcher only
// of changes in the top folder, and a folder of images below the skin's is the usual layout.
bool CFolderWatch::Arm() {
  Disarm();
  for (const std::wstring& folder : FoldersBelow(m_folder)) {
    const HANDLE hChange = ::FindFirstChangeNotificationW(folder.c_str(), FALSE, kChanges);
    if (hChange != INVALID_HANDLE_VALUE) m_changes.push_back(hChange);
  }
  return !m_changes.empty();
}

void CFolderWatch::Disarm() {
  for (HANDLE hChange : m_changes) ::FindCloseChangeNotification(hChange);
  m_changes.clear();
}

DWORD WINAPI CFolderWatch::Run(LPVOID pParam) {
  CFolderWatch* pWatch = static_cast<CFolderWatch*>(pParam);
  for (;;) {
    std::vector<HANDLE> waits = {pWatch->m_hStop};
    waits.insert(waits.end(), pWatch->m_changes.begin(), pWatch->m_changes.end());
    const DWORD dwWait = ::WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
    if (dwWait == WAIT_OBJECT_0 || dwWait >= WAIT_OBJECT_0 + waits.size()) return 0;
    ::PostMessageW(pWatch->m_hWnd, pWatch->m_uMessage, 0, 0);
    // Folders may have come or gone: the watch starts again on what is there now.
    if (!pWatch->Arm()) return 0;
  }
}

#include "engine/DataFolder.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "Common/LongPath.h"
#include "Common/ObjectSecurity.h"
#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/FolderTree.h"

namespace setup {
namespace {

// Owner Administrators; protected list: full control for SYSTEM and Administrators, on the
// folder and inherited by its files and folders.
constexpr const wchar_t* kDataFolderSecurity = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Rights that let a holder change what the folder holds or who may.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                     FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                     GENERIC_ALL;

// SYSTEM, Administrators, the installer's account, and "whoever creates it", which below a
// folder that only those may write stands for one of them.
bool IsTrustedSid(PSID sid, PSID installerAccount) {
  return IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
         IsWellKnownSid(sid, WinCreatorOwnerSid) || (installerAccount && EqualSid(sid, installerAccount));
}

// The account the installer runs as. An account that can already replace the installer
// before it is started gains nothing from the folder, so a folder it owns is acceptable.
class InstallerAccount {
 public:
  InstallerAccount() {
    ScopedHandle token;
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) return;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    m_buffer.resize(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, m_buffer.data(), size, &size)) m_buffer.clear();
  }
  PSID sid() const {
    return m_buffer.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(m_buffer.data())->User.Sid;
  }

 private:
  std::vector<BYTE> m_buffer;
};

bool CreateProtectedFolder(const wchar_t* folder) {
  PSECURITY_DESCRIPTOR security = NewDataFolderSecurity();
  if (!security) return false;
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, security, FALSE};
  // Fails when anything stands at the name, so a folder someone slipped in after the
  // removal is never taken for this one.
  const bool created = CreateDirectoryW(folder, &attributes) != FALSE;
  const DWORD error = GetLastError();
  LocalFree(security);
  SetLastError(error);
  return created;
}

// Judged and repaired through one handle, so what is judged is what is kept.
bool KeepTrustedFolder(const wchar_t* folder) {
  ScopedHandle handle(CreateFileW(folder, READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle.valid() || !HandleNamesPath(handle.get(), folder)) return false;
  PSECURITY_DESCRIPTOR current = nullptr;
  if (GetSecurityInfo(handle.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                      nullptr, nullptr, nullptr, nullptr, &current) != ERROR_SUCCESS)
    return false;
  static const InstallerAccount account;
  const bool trusted = IsTrustedFolderSecurity(current, account.sid());
  LocalFree(current);
  if (!trusted) return false;

  PSECURITY_DESCRIPTOR wanted = NewDataFolderSecurity();
  PSID owner = nullptr;
  PACL list = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  // A folder already closed to others stays trusted if this fails; it only stays as it was.
  if (wanted && GetSecurityDescriptorOwner(wanted, &owner, &defaulted) &&
      GetSecurityDescriptorDacl(wanted, &present, &list, &defaulted)) {
    SetSecurityInfo(handle.get(), SE_FILE_OBJECT,
                    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                    owner, nullptr, list, nullptr);
  }
  LocalFree(wanted);
  return true;
}

// Removes what stands at the folder's name when it is not a plain folder: the link itself
// (removing a folder link never touches its target), or a plain file.
bool RemoveNonFolder(const wchar_t* folder, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(folder) != FALSE;
  // Some systems show a file link as a plain file, and delete what it points at.
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
      !ScopedHandle(OpenPlainFile(folder, PlainFileUse::kRead)).valid())
    return false;
  return DeleteFileW(folder) != FALSE;
}

}  // namespace

PSECURITY_DESCRIPTOR NewDataFolderSecurity() { return SecurityFromText(kDataFolderSecurity); }

bool IsTrustedFolderSecurity(PSECURITY_DESCRIPTOR security, PSID installerAccount) {
  return GrantsOnlyTo(security, kWriteRights, [installerAccount](PSID sid) { return IsTrustedSid(sid, installerAccount); });
}

bool PrepareDataFolder(const wchar_t* folderName) {
  if (!folderName || !*folderName) return false;
  const std::wstring longName = LongPathName(folderName);
  if (longName.empty()) return false;
  const wchar_t* folder = longName.c_str();
  // Two installers started together may both find no folder; the one whose creation fails
  // because the other's folder now stands there judges that folder as any it finds.
  for (int look = 0; look < 2; ++look) {
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
      if (CreateProtectedFolder(folder)) return true;
      if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
      continue;
    }
    const bool plainFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!plainFolder) return RemoveNonFolder(folder, attributes) && CreateProtectedFolder(folder);
    if (KeepTrustedFolder(folder)) return true;
    // Whatever it holds may have been prepared by someone else. The removal never walks into
    // links, so nothing outside the folder is touched.
    DeleteFolderTree(folder);
    return CreateProtectedFolder(folder);
  }
  return false;
}

}  // namespace setup

#include "Common/ObjectSecurity.h"

#include <sddl.h>

namespace setup {

PSECURITY_DESCRIPTOR SecurityFromText(const wchar_t* text) {
  PSECURITY_DESCRIPTOR security = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &security, nullptr)) return nullptr;
  return security;
}

bool GrantsOnlyTo(PSECURITY_DESCRIPTOR security, ACCESS_MASK rights, const std::function<bool(PSID)>& trusted) {
  PSID owner = nullptr;
  PACL list = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  if (!security || !GetSecurityDescriptorOwner(security, &owner, &defaulted) || !owner || !trusted(owner))
    return false;
  if (!GetSecurityDescriptorDacl(security, &present, &list, &defaulted) || !present || !list) return false;
  for (DWORD index = 0; index < list->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(list, index, &entry)) return false;
    switch (static_cast<const ACE_HEADER*>(entry)->AceType) {
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        // Both lay out the mask and the account the same way.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed->Mask & rights) && !trusted(&allowed->SidStart)) return false;
        break;
      }
      case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
      case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace setup

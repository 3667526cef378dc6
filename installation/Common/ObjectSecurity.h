#pragma once
// Security descriptors the installer makes for what it creates, and the one rule it judges
// what it finds by: only trusted accounts own the object and may use the rights that matter.

#include <windows.h>

#include <functional>

namespace setup {

// The descriptor the text describes (free it with LocalFree); null when the text is not one.
PSECURITY_DESCRIPTOR SecurityFromText(const wchar_t* text);

// Whether the owner is trusted and every entry of the access list that grants any of `rights`
// grants them to a trusted account. No list at all grants everything to everyone; grants of
// kinds files and named objects do not use (compound, object) are refused rather than judged;
// denials and audit entries take nothing away.
bool GrantsOnlyTo(PSECURITY_DESCRIPTOR security, ACCESS_MASK rights, const std::function<bool(PSID)>& trusted);

}  // namespace setup

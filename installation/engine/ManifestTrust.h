#pragma once
// What a setup run may believe of the published manifest. A build that names the vendor's
// key believes only a manifest the key signed, that has not expired, that names the
// package's size and digest, and that does not take the installed client back to an older
// version unless it says it means to; anyone who can answer for the download host could
// otherwise have a package of their own run as administrator. A build without a key takes
// the manifest as it comes, as installers always did.

#include <windows.h>

#include <optional>
#include <string>

#include "engine/ManifestKey.h"

namespace setup {

enum class ManifestVerdict {
  kUnchecked,       // this build names no key
  kTrusted,         // signed, unexpired, with the package's size and digest, no unmeant downgrade
  kNoManifest,      // no manifest arrived: an error page, a redirect, a cut or oversized answer
  kNoSignature,     // the manifest arrived without its signature
  kBadSignature,    // not what the vendor's key signed: altered, or signed by another key
  kExpired,         // past its expiry, or without one
  kExpiryTooFar,    // expiring further ahead than any manifest the vendor publishes
  kNoPackageFacts,  // signed, but names no size or digest of the package
  kDowngrade,       // a version below the installed client's, without <downgrade>true</downgrade>
  kDocumentType,    // holds a document type declaration, which no manifest needs
  kEntity,          // refers to an entity beyond XML's own five and character references
  kBadVersion,      // names no version, or one that is not two to four dotted numbers
};

// The longest a manifest may be in force after it is judged: the publishing tool's limit of
// 3650 days and a day's slack. One expiring later was not published by the tool, or this
// computer's clock is far behind.
inline constexpr unsigned kLongestManifestDays = 3651;

// The verdict as the setup log says it.
const char* DescribeVerdict(ManifestVerdict verdict);

// Whether the vendor's key signed the manifest this verdict was given to, and its text reads
// as plain XML (no document type, no foreign entity), whatever else was refused.
inline bool SignatureHeld(ManifestVerdict verdict) {
  switch (verdict) {
    case ManifestVerdict::kTrusted:
    case ManifestVerdict::kExpired:
    case ManifestVerdict::kExpiryTooFar:
    case ManifestVerdict::kNoPackageFacts:
    case ManifestVerdict::kDowngrade:
    case ManifestVerdict::kBadVersion:
      return true;
    default:
      return false;
  }
}

// Whether the run may go on to fetch the package after this verdict.
inline bool MayFetchPackage(ManifestVerdict verdict) {
  return verdict == ManifestVerdict::kUnchecked || verdict == ManifestVerdict::kTrusted;
}

// Judges what arrived: `manifest` is the whole manifest as received (empty when none came),
// `signature` its detached signature (none when it could not be fetched), `now` the current
// universal time, `installedVersion` the installed client's version (empty when none is
// installed or it is not known). Every check fails closed: a manifest the vendor signed is
// still refused when any field it must name cannot be read exactly. `expires`, when given,
// gets the signed manifest's expiry text (empty when it names none).
ManifestVerdict JudgeManifest(const std::string& manifest, const std::optional<std::string>& signature,
                              const ManifestPublicKey& key, const SYSTEMTIME& now,
                              const std::wstring& installedVersion, std::string* expires = nullptr);

// Whether the verdict may be a wrong clock's doing rather than the manifest's.
inline bool VerdictDependsOnClock(ManifestVerdict verdict) {
  return verdict == ManifestVerdict::kExpired || verdict == ManifestVerdict::kExpiryTooFar;
}

// -1, 0 or 1 as dotted version `a` is lower than, equal to or higher than `b`; missing parts
// count as 0. None when either is not one to four numbers from 0 to 65535 separated by dots.
std::optional<int> CompareVersions(const std::string& a, const std::string& b);

// The universal time "YYYY-MM-DDTHH:MM:SSZ" as a number that orders like the time
// (YYYYMMDDhhmmss); none for any other text.
std::optional<unsigned long long> ParseUtcStamp(const std::string& text);

// Whether a published version is what the publishing tool writes: two to four numbers from
// 0 to 65535 separated by dots, nothing else.
bool IsPublishedVersion(const std::string& text);

// A universal time in the manifest's form, "YYYY-MM-DDTHH:MM:SSZ".
std::string FormatUtcTime(const SYSTEMTIME& time);

}  // namespace setup

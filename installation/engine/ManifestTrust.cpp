#include "engine/ManifestTrust.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "Common/tool.h"
#include "engine/ManifestSignature.h"
#include "engine/VersionManifest.h"
#include "tinyxml.h"

namespace setup {
namespace {

// The text of the root's first element `name`, read as the run reads it, without the spaces
// around it; none when there is no such element.
std::optional<std::string> ElementText(const TiXmlDocument& document, const char* name) {
  const std::optional<std::string> text = ManifestElementText(document, name);
  if (!text) return std::nullopt;
  return TrimmedText(*text);
}

bool ParseNumber(const std::string& text, size_t from, size_t length, unsigned& value) {
  if (from + length > text.size()) return false;
  value = 0;
  for (size_t i = from; i < from + length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  }
  return true;
}

std::optional<std::vector<unsigned>> VersionParts(const std::string& text) {
  std::vector<unsigned> parts;
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find('.', start);
    const size_t length = (dot == std::string::npos ? text.size() : dot) - start;
    unsigned part = 0;
    if (length == 0 || length > 5 || !ParseNumber(text, start, length, part) || part > 65535) return std::nullopt;
    parts.push_back(part);
    if (parts.size() > 4) return std::nullopt;
    if (dot == std::string::npos) return parts;
    start = dot + 1;
  }
}

// 100-nanosecond ticks since 1601, for the distance between two times.
unsigned long long Ticks(const SYSTEMTIME& time) {
  FILETIME file = {};
  if (!SystemTimeToFileTime(&time, &file)) return 0;
  return (static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

// "<!DOCTYPE" anywhere outside the text of elements is a declaration; inside text it would
// have to be escaped. A signed manifest is never searched for it before its signature holds.
bool HasDocumentType(const std::string& manifest) { return manifest.find("<!DOCTYPE") != std::string::npos; }

// A reference "&name;" other than lt, gt, amp, quot, apos and "&#...;". Without a document
// type no other entity can be defined, but the parser would keep the text "&v;" as the value.
bool HasForeignEntity(const std::string& manifest) {
  static const char* const kOwn[] = {"lt;", "gt;", "amp;", "quot;", "apos;"};
  for (size_t at = manifest.find('&'); at != std::string::npos; at = manifest.find('&', at + 1)) {
    if (at + 1 < manifest.size() && manifest[at + 1] == '#') continue;
    bool own = false;
    for (const char* name : kOwn) own = own || manifest.compare(at + 1, strlen(name), name) == 0;
    if (!own) return true;
  }
  return false;
}

unsigned long long Stamp(const SYSTEMTIME& time) {
  return ((((time.wYear * 100ull + time.wMonth) * 100 + time.wDay) * 100 + time.wHour) * 100 + time.wMinute) * 100 +
         time.wSecond;
}

}  // namespace

const char* DescribeVerdict(ManifestVerdict verdict) {
  switch (verdict) {
    case ManifestVerdict::kUnchecked:
      return "not checked: this build names no manifest key";
    case ManifestVerdict::kTrusted:
      return "signed and in force";
    case ManifestVerdict::kNoManifest:
      return "no manifest arrived";
    case ManifestVerdict::kNoSignature:
      return "the manifest's signature did not arrive";
    case ManifestVerdict::kBadSignature:
      return "the signature does not match the manifest";
    case ManifestVerdict::kExpired:
      return "the manifest has expired";
    case ManifestVerdict::kNoPackageFacts:
      return "the manifest names no size or digest of the package";
    case ManifestVerdict::kDowngrade:
      return "the manifest names a version older than the installed client's";
    case ManifestVerdict::kExpiryTooFar:
      return "the manifest expires further ahead than any the vendor publishes";
    case ManifestVerdict::kDocumentType:
      return "the manifest holds a document type declaration";
    case ManifestVerdict::kEntity:
      return "the manifest refers to an entity";
    case ManifestVerdict::kBadVersion:
      return "the manifest's version is not two to four dotted numbers";
  }
  return "unknown";
}

std::optional<int> CompareVersions(const std::string& a, const std::string& b) {
  const auto left = VersionParts(a);
  const auto right = VersionParts(b);
  if (!left || !right) return std::nullopt;
  for (size_t i = 0; i < 4; ++i) {
    const unsigned l = i < left->size() ? (*left)[i] : 0;
    const unsigned r = i < right->size() ? (*right)[i] : 0;
    if (l != r) return l < r ? -1 : 1;
  }
  return 0;
}

bool IsPublishedVersion(const std::string& text) {
  const auto parts = VersionParts(text);
  return parts && parts->size() >= 2;
}

std::string FormatUtcTime(const SYSTEMTIME& time) {
  char text[32];
  snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", time.wYear, time.wMonth, time.wDay, time.wHour,
           time.wMinute, time.wSecond);
  return text;
}

std::optional<unsigned long long> ParseUtcStamp(const std::string& text) {
  // Exactly the form the publishing tool writes; anything looser could be read two ways.
  static const char kShape[] = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != sizeof kShape - 1) return std::nullopt;
  for (size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != kShape[i]) return std::nullopt;
  }
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  ParseNumber(text, 0, 4, year);
  ParseNumber(text, 5, 2, month);
  ParseNumber(text, 8, 2, day);
  ParseNumber(text, 11, 2, hour);
  ParseNumber(text, 14, 2, minute);
  ParseNumber(text, 17, 2, second);
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  SYSTEMTIME time = {};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  return Stamp(time);
}

ManifestVerdict JudgeManifest(const std::string& manifest, const std::optional<std::string>& signature,
                              const ManifestPublicKey& key, const SYSTEMTIME& now,
                              const std::wstring& installedVersion, std::string* expires) {
  if (expires) expires->clear();
  if (!key.bPresent) return ManifestVerdict::kUnchecked;
  if (manifest.empty()) return ManifestVerdict::kNoManifest;
  if (!signature) return ManifestVerdict::kNoSignature;
  // Nothing of the manifest is read before its signature holds.
  if (!VerifyManifestSignature(manifest, *signature, key)) return ManifestVerdict::kBadSignature;
  if (HasDocumentType(manifest)) return ManifestVerdict::kDocumentType;
  if (HasForeignEntity(manifest)) return ManifestVerdict::kEntity;

  TiXmlDocument document;
  document.Parse(manifest.c_str());
  if (document.Error()) return ManifestVerdict::kNoManifest;
  const auto published = ElementText(document, "version");
  if (!published || !IsPublishedVersion(*published)) return ManifestVerdict::kBadVersion;
  const auto expiry = ElementText(document, "expires");
  if (expires && expiry) *expires = *expiry;
  const auto stamp = expiry ? ParseUtcStamp(*expiry) : std::nullopt;
  if (!stamp || *stamp <= Stamp(now)) return ManifestVerdict::kExpired;
  SYSTEMTIME expiryTime = {};
  expiryTime.wYear = static_cast<WORD>(*stamp / 10000000000ull);
  expiryTime.wMonth = static_cast<WORD>(*stamp / 100000000ull % 100);
  expiryTime.wDay = static_cast<WORD>(*stamp / 1000000ull % 100);
  const unsigned long long kTicksPerDay = 864000000000ull;
  if (Ticks(expiryTime) > Ticks(now) + kLongestManifestDays * kTicksPerDay) return ManifestVerdict::kExpiryTooFar;
  const auto size = ElementText(document, "size");
  const auto digest = ElementText(document, "sha256");
  if (!size || size->empty() || !digest || digest->empty()) return ManifestVerdict::kNoPackageFacts;

  const auto downgrade = ElementText(document, "downgrade");
  if (!installedVersion.empty() && !(downgrade && *downgrade == "true")) {
    const auto order = CompareVersions(*published, Utf8Text(installedVersion));
    if (order && *order < 0) return ManifestVerdict::kDowngrade;
  }
  return ManifestVerdict::kTrusted;
}

}  // namespace setup

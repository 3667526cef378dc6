#include "engine/PackageSources.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>

#include "engine/SetupConstants.h"
#include "engine/SetupLog.h"

namespace setup {

namespace {

constexpr size_t kLongestAddress = 1024;

std::string UrlPart(CURLU* url, CURLUPart which) {
  char* part = nullptr;
  std::string text;
  if (curl_url_get(url, which, &part, 0) == CURLUE_OK && part) text = part;
  curl_free(part);
  return text;
}

}  // namespace

const char* AddressRefusal(const std::string& address) {
  if (address.empty() || address.size() > kLongestAddress) return "no address of a sensible length";
  for (unsigned char c : address) {
    if (c <= 0x20 || c >= 0x7F) return "spaces or characters outside plain ASCII";
  }
  // The library would also read "https:///name" as an address of the host "name".
  const size_t authority = address.find("://");
  if (authority == std::string::npos || address.compare(authority + 3, 1, "/") == 0) return "no host";
  CURLU* url = curl_url();
  if (!url) return "cannot be read";
  const char* refusal = nullptr;
  if (curl_url_set(url, CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) {
    refusal = "not an address";
  } else {
    const std::string scheme = UrlPart(url, CURLUPART_SCHEME);
    const std::string host = UrlPart(url, CURLUPART_HOST);
    const bool loopback = host == "127.0.0.1" || host == "localhost";
    if (host.empty()) {
      refusal = "no host";
    } else if (!UrlPart(url, CURLUPART_USER).empty() || !UrlPart(url, CURLUPART_PASSWORD).empty()) {
      refusal = "a user name or password in the address";
    } else if (scheme != "https" && !(kIsTestBuild && scheme == "http" && loopback)) {
      // Only a test build may be sent to plain "http:" mirrors, and only on loopback.
      refusal = "not an https: address";
    }
  }
  curl_url_cleanup(url);
  return refusal;
}

std::vector<std::string> AcceptedMirrors(const std::vector<std::string>& listed) {
  std::vector<std::string> accepted;
  for (const std::string& address : listed) {
    if (const char* refusal = AddressRefusal(address)) {
      WriteSetupInfo("manifest: mirror ignored (%s): %.120s", refusal, address.c_str());
    } else if (accepted.size() == kMaxPackageMirrors) {
      WriteSetupInfo("manifest: mirror ignored (more than %u): %.120s", static_cast<unsigned>(kMaxPackageMirrors),
                     address.c_str());
    } else if (std::find(accepted.begin(), accepted.end(), address) == accepted.end()) {
      accepted.push_back(address);
    }
  }
  return accepted;
}

PackageSources::PackageSources(const std::string& primary, const std::vector<std::string>& mirrors, int64_t onDisk) {
  m_sources.push_back(Source{primary});
  for (const std::string& mirror : mirrors) {
    if (mirror != primary) m_sources.push_back(Source{mirror});
  }
  if (onDisk > 0) m_ranges.push_back(Range{kEarlierRun, 0, onDisk});
}

void PackageSources::Took(int64_t first, int64_t count) {
  if (count <= 0) return;
  Cut(first);
  if (!m_ranges.empty() && m_ranges.back().nSource == m_nCurrent && m_ranges.back().nEnd == first) {
    m_ranges.back().nEnd += count;
  } else {
    m_ranges.push_back(Range{m_nCurrent, first, first + count});
  }
}

void PackageSources::Cut(int64_t length) {
  while (!m_ranges.empty() && m_ranges.back().nFirst >= length) m_ranges.pop_back();
  if (!m_ranges.empty() && m_ranges.back().nEnd > length) m_ranges.back().nEnd = length;
}

bool PackageSources::Mixed() const {
  for (const Range& range : m_ranges) {
    if (range.nSource != m_ranges.front().nSource) return true;
  }
  return false;
}

void PackageSources::LogRanges() const {
  for (const Range& range : m_ranges) {
    WriteSetupInfo("package: bytes %lld-%lld from %.180s", static_cast<long long>(range.nFirst),
                   static_cast<long long>(range.nEnd - 1),
                   range.nSource == kEarlierRun ? "an earlier run" : m_sources[range.nSource].strAddress.c_str());
  }
}

void PackageSources::Drop(const char* why) {
  m_sources[m_nCurrent].bDropped = true;
  WriteSetupInfo("package: %.160s is out of this run: %s", Address().c_str(), why);
}

bool PackageSources::FloorApplies() const {
  for (size_t i = 0; i < m_sources.size(); ++i) {
    if (i != m_nCurrent && !m_sources[i].bDropped && !m_sources[i].bLeftAsSlow) return true;
  }
  return false;
}

PackageSources::Step PackageSources::Advance() {
  for (size_t step = 1; step <= m_sources.size(); ++step) {
    const size_t next = (m_nCurrent + step) % m_sources.size();
    if (m_sources[next].bDropped) continue;
    const bool wrapped = next <= m_nCurrent;
    m_nCurrent = next;
    return wrapped ? Step::kNewRound : Step::kOther;
  }
  return Step::kNone;
}

bool PackageSources::Rewind() {
  for (size_t i = 0; i < m_sources.size(); ++i) {
    if (!m_sources[i].bDropped) {
      m_nCurrent = i;
      return true;
    }
  }
  return false;
}

}  // namespace setup

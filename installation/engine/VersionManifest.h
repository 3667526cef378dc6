#pragma once
// The version manifest: the published one names the current package version; the local
// copy in the data folder remembers the last one seen. Comparing the two decides whether a
// package file left by an interrupted run may be continued or must be fetched afresh.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/SetupContext.h"

class TiXmlDocument;

namespace setup {

// Versions longer than this (terminator included) are still compared and stored, but not
// kept in m_strPublishedVersion.
inline constexpr int kPublishedVersionChars = 128;

// Handles the whole body of the manifest transfer, once, whatever its HTTP status. Sets
// the context's m_bResume, m_nResumeOffset and m_strPublishedVersion, and the package's
// published size and digest from the root's optional "size" and "sha256" elements (which
// installers that do not know them ignore), deletes a package file of another version and
// (re)writes the local manifest. A manifest the vendor's key signed may also list mirrors of
// the package ("mirror" elements), taken into m_packageMirrors. Always accepts the bytes:
// returns size * count.
size_t OnManifestData(const char* data, size_t size, size_t count, SetupContext* context);

// Takes what the run's report needs of the manifest: the address its "report" element names,
// when it is one the installer would send a request to, and the version it publishes. Only
// for a manifest the vendor's key signed, whatever else its verdict says: the vendor wants to
// hear of the runs it refused too.
void TakeReportFacts(const std::string& manifest, SetupContext* context);

// The text of the manifest root's first element `name`: absent when there is no root or no
// such element, and empty unless the element holds one text and nothing else (an element that
// is there but says nothing usable must not pass for one that is not there, and text split by
// a comment must not pass for one of its parts). The trust check and the run read the
// manifest's fields through this one reader.
std::optional<std::string> ManifestElementText(const TiXmlDocument& document, const char* name);

// The texts of all the manifest root's elements `name`, in order, without the spaces around
// them (an element without text of its own first gives an empty one).
std::vector<std::string> ManifestElementTexts(const TiXmlDocument& document, const char* name);

}  // namespace setup

#pragma once
// The package checked against what the published manifest says of it before anything in it
// is extracted and run.

#include <cstdint>
#include <optional>
#include <string>

namespace setup {

// Whether the package file is the one the manifest describes: its size in bytes and its
// SHA-256 digest (hexadecimal, either letter case), each where the manifest names it. A
// manifest that names neither lets any package pass, as it did before they were published;
// a value that is named but is not a byte count or a digest lets none pass. The file itself
// is read only when it is a plain file (see Common/PlainFile.h).
// The package's size as the manifest gives it, when it gives one that reads as a byte count.
std::optional<int64_t> PublishedPackageSize(const std::optional<std::string>& publishedSize);

bool VerifyPackage(const wchar_t* packagePath, const std::optional<std::string>& publishedSize,
                   const std::optional<std::string>& publishedSha256);

}  // namespace setup

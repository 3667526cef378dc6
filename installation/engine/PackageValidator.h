#pragma once
// What the server said of the package that a partial package file came from: the answer's
// validator (its ETag or Last-Modified) and the package's full size. It is kept beside the
// package, in the data folder with the local manifest, so that a later attempt or run asks
// for the rest of that same file only ("If-Range"): a package that changed on the server
// under the same version text is then sent whole, never spliced onto the old part.

#include <cstdint>
#include <string>

namespace setup {

struct PackageValidator {
  // The address that gave it: another server's validator says nothing of its own files.
  // Empty for one kept by an installer that knew only the download host.
  std::string strAddress;
  std::string strETag;
  std::string strLastModified;
  int64_t nSize = -1;  // the whole package in bytes; -1 when the server did not say

  // The value for "If-Range": a strong ETag, else Last-Modified; empty when there is
  // neither (a weak ETag cannot vouch for bytes).
  std::string IfRange() const;
};

// The package path + ".validator".
std::wstring PackageValidatorPath(const wchar_t* packagePath);

// False, with an empty validator, when none is kept (or it cannot be read as one).
bool LoadPackageValidator(const wchar_t* packagePath, PackageValidator& validator);
bool SavePackageValidator(const wchar_t* packagePath, const PackageValidator& validator);

// Deletes the package file and what is kept about it.
void DeletePackageFile(const wchar_t* packagePath);

}  // namespace setup

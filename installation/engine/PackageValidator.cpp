#include "engine/PackageValidator.h"

#include <windows.h>

#include <cstdlib>

#include "Common/LongPath.h"
#include "Common/PlainFile.h"
#include "Common/tool.h"

namespace setup {
namespace {

constexpr const char* kAddressKey = "address";
constexpr const char* kETagKey = "etag";
constexpr const char* kLastModifiedKey = "last-modified";
constexpr const char* kSizeKey = "size";

bool IsStrongETag(const std::string& etag) {
  return etag.size() >= 2 && etag.front() == '"' && etag.back() == '"';
}

}  // namespace

std::string PackageValidator::IfRange() const {
  if (IsStrongETag(strETag)) return strETag;
  return strLastModified;
}

std::wstring PackageValidatorPath(const wchar_t* packagePath) {
  return std::wstring(packagePath ? packagePath : L"") + L".validator";
}

bool LoadPackageValidator(const wchar_t* packagePath, PackageValidator& validator) {
  validator = PackageValidator();
  std::string text;
  if (!ReadPlainFile(PackageValidatorPath(packagePath).c_str(), text)) return false;
  // Split by hand: a string stream would bring the locale machinery into the installer.
  for (size_t start = 0; start < text.size();) {
    size_t lineEnd = text.find('\n', start);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    const std::string line = TrimmedText(text.substr(start, lineEnd - start));
    start = lineEnd + 1;
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const std::string key = line.substr(0, space);
    const std::string value = TrimmedText(line.substr(space + 1));
    if (key == kAddressKey) {
      validator.strAddress = value;
    } else if (key == kETagKey) {
      validator.strETag = value;
    } else if (key == kLastModifiedKey) {
      validator.strLastModified = value;
    } else if (key == kSizeKey) {
      char* end = nullptr;
      const long long size = std::strtoll(value.c_str(), &end, 10);
      validator.nSize = (end && *end == '\0' && size >= 0) ? size : -1;
    }
  }
  return true;
}

bool SavePackageValidator(const wchar_t* packagePath, const PackageValidator& validator) {
  std::string text;
  if (!validator.strAddress.empty()) text += std::string(kAddressKey) + " " + validator.strAddress + "\r\n";
  if (!validator.strETag.empty()) text += std::string(kETagKey) + " " + validator.strETag + "\r\n";
  if (!validator.strLastModified.empty()) text += std::string(kLastModifiedKey) + " " + validator.strLastModified + "\r\n";
  if (validator.nSize >= 0) text += std::string(kSizeKey) + " " + std::to_string(validator.nSize) + "\r\n";
  return WritePlainFile(PackageValidatorPath(packagePath).c_str(), text);
}

void DeletePackageFile(const wchar_t* packagePath) {
  DeleteFileW(LongPathName(packagePath).c_str());
  DeleteFileW(LongPathName(PackageValidatorPath(packagePath)).c_str());
}

}  // namespace setup

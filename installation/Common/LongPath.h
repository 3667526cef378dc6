#pragma once
// Names that reach the file system whatever their length. The platform cuts ordinary paths
// at MAX_PATH (260 characters); the long form "\\?\C:\..." (or "\\?\UNC\server\share\...")
// is passed to the file system as it stands, up to 32767 characters. Because it is passed
// as it stands, it must be built from a full path: "." and ".." are not resolved, "/" is
// not a separator, and a relative path has no meaning in it.

#include <string>

namespace setup {

// The full path of `path`: relative paths taken from the current folder, "/" turned into
// "\", "." and ".." resolved, in the ordinary form. A path already in the long form is
// returned without its prefix ("\\?\UNC\s\x" as "\\s\x"). Empty when it cannot be made.
std::wstring FullPathName(const std::wstring& path);

// The long form of the full path of `path`. Device names ("\\.\...") are returned as they
// are. Empty when the full path cannot be made.
std::wstring LongPathName(const std::wstring& path);
inline std::wstring LongPathName(const wchar_t* path) { return LongPathName(std::wstring(path ? path : L"")); }

// Whether `path` names its place without the current folder or drive: "X:\..." or a
// "\\server\share" or long-form name. Paths read from outside are used only when they are.
bool IsFullPathName(const std::wstring& path);

// Whether `path` is already in the long form.
bool IsLongPathName(const std::wstring& path);

}  // namespace setup

#pragma once
// Removal of folder trees, read-only files included.

namespace setup {

// Removes the folder and everything below it. Failures are ignored: a file that cannot be
// deleted leaves its folders in place.
void DeleteFolderTree(const wchar_t* folder);

// Removes the folder and everything below it; 0 when the folder itself was removed,
// -1 when it could not be (or did not exist, or the name is null or empty).
int PurgeFolderTree(const wchar_t* folder);

}  // namespace setup

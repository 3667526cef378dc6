#pragma once
// A case folder for extraction tests: the archive "setup.zip" and the target folder
// "setup" side by side, as in the data folder, and nothing else.

#include <string>
#include <vector>

#include "Common/UnZip/Unzipper.h"
#include "support/TestFiles.h"

struct UnzipperTestPackage {
  testing_support::ScratchFolder root;
  std::wstring archive = root / L"setup.zip";
  std::wstring target = root / L"setup";

  explicit UnzipperTestPackage(const std::wstring& name) : root(name) {}
  bool Extract() const { return setup::ExtractPackage(archive.c_str(), target.c_str()); }
  // Everything in the case folder; whatever is neither the archive nor below the target
  // folder was written where it should not be.
  std::vector<std::wstring> Everything() const { return testing_support::ListTree(root.path()); }
};

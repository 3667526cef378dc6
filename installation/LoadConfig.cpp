// The program's load configuration. The system reads it before any of the program's code
// runs: DependentLoadFlags tells the loader where to look for the libraries that the
// program's imports import in turn. Left at zero, a system library loaded at start (common
// controls, which the manifest binds and which therefore stays an ordinary import) has what
// it needs looked for beside the program first, in the downloads folder it is usually
// started from, before SetDefaultDllDirectories in the first statement could say otherwise.
// Windows 10 (1607) and later honour the flag.
#include <windows.h>

namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 MakeLoadConfig() {
  IMAGE_LOAD_CONFIG_DIRECTORY64 config = {};
  config.Size = sizeof config;
  // DependentLoadFlags; the toolchain's headers still call the field Reserved1.
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
  return config;
}

}  // namespace

// The image's data directory names the structure by this symbol (scripts/set-load-config.py
// fills the entry where the linker leaves it empty). Constant: the loader reads it before any
// initialiser could run.
extern "C" __attribute__((used)) constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = MakeLoadConfig();

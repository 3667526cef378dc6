// Where libraries come from once the program's first statements have run.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "Common/tool.h"
#include "engine/DllSearch.h"

using namespace setup;

namespace {

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH * 4];
  return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH * 4));
}

bool InSystemFolder(HMODULE module) {
  const std::wstring path = ModulePath(module);
  const std::wstring folder = SystemFolder() + L"\\";
  return EqualsIgnoringCase(path.substr(0, folder.size()), folder);
}

// Built beside this program (tests/installation/CMakeLists.txt).
constexpr const wchar_t* kPlanted = L"quillplanted.dll";

}  // namespace

TEST(DllSearch, ALibraryLeftBesideTheProgramIsNoLongerLoadedOnceTheSearchIsRestricted) {
  HMODULE planted = LoadLibraryW(kPlanted);
  ASSERT_NE(planted, nullptr) << "the program's own folder is searched by default";
  FreeLibrary(planted);

  RestrictDllSearch();
  EXPECT_EQ(LoadLibraryW(kPlanted), nullptr);
  HMODULE system = LoadLibraryW(L"version.dll");
  ASSERT_NE(system, nullptr);
  EXPECT_TRUE(InSystemFolder(system)) << std::string(ModulePath(system).begin(), ModulePath(system).end());
}

TEST(DllSearch, SystemLibrariesAreLoadedByTheirPathInTheSystemFolder) {
  HMODULE library = LoadSystemLibrary(L"version.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_TRUE(InSystemFolder(library));
  EXPECT_EQ(LoadSystemLibrary(kPlanted), nullptr) << "only the system folder is looked in";
}

TEST(DllSearch, DelayLoadedLibrariesWorkAfterTheRestriction) {
  RestrictDllSearch();
  // crypt32 is delay-loaded (cmake/DelayLoad.cmake): this call loads it.
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
  ASSERT_NE(store, nullptr);
  CertCloseStore(store, 0);
  HMODULE crypt32 = GetModuleHandleW(L"crypt32.dll");
  ASSERT_NE(crypt32, nullptr);
  EXPECT_TRUE(InSystemFolder(crypt32));
}

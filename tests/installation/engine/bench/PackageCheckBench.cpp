// What checking the package against the manifest's size and digest adds to a setup run:
// VerifyPackage side by side with reading the same file through the same kind of buffer
// without a digest, best of several runs each. Run by hand through
// run-package-check-bench.sh, never by ctest.
//   package_check_bench.exe PACKAGE SIZE SHA256 [REPEATS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/PackageCheck.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool ReadWhole(const wchar_t* path) {
  setup::ScopedHandle file(setup::OpenPlainFile(path, setup::PlainFileUse::kRead));
  std::vector<char> buffer(1 << 20);
  DWORD got = 0;
  while (file.valid() && ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0) {
  }
  return file.valid();
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; *text; ++text) out += static_cast<char>(*text);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: package_check_bench PACKAGE SIZE SHA256 [REPEATS]\n");
    return 2;
  }
  const wchar_t* package = argv[1];
  const std::string size = Narrow(argv[2]), digest = Narrow(argv[3]);
  const int repeats = argc > 4 ? _wtoi(argv[4]) : 5;
  double bestRead = 1e9, bestCheck = 1e9;
  for (int i = 0; i < repeats; ++i) {
    LARGE_INTEGER start, read, checked;
    QueryPerformanceCounter(&start);
    if (!ReadWhole(package)) return 1;
    QueryPerformanceCounter(&read);
    if (!setup::VerifyPackage(package, size, digest)) {
      fprintf(stderr, "the package did not pass its own size and digest\n");
      return 1;
    }
    QueryPerformanceCounter(&checked);
    bestRead = std::min(bestRead, Seconds(start, read));
    bestCheck = std::min(bestCheck, Seconds(read, checked));
  }
  const double megabytes = std::stod(size) / 1e6;
  printf("megabytes=%.0f read_seconds=%.3f check_seconds=%.3f read_mb_per_s=%.0f check_mb_per_s=%.0f\n", megabytes,
         bestRead, bestCheck, megabytes / bestRead, megabytes / bestCheck);
  return 0;
}

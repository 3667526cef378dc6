// Times one extraction of an archive with CUnzipper.
//   unzip_bench <archive> <target folder> [copy buffer bytes]
// Prints "<result> <milliseconds> ms" and exits with 0 when the extraction succeeded.

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "Common/UnZip/Unzipper.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: unzip_bench <archive> <target folder> [copy buffer bytes]\n");
    return 2;
  }
  setup::CUnzipper unzipper;
  if (argc > 3) unzipper.SetCopyBufferSize(std::wcstoul(argv[3], nullptr, 10));

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  bool extracted = unzipper.OpenArchive(argv[1]) && unzipper.ExtractAll(argv[2]);
  unzipper.CloseArchive();
  QueryPerformanceCounter(&end);

  double ms = 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  std::printf("%s %.1f ms\n", extracted ? "ok" : "failed", ms);
  return extracted ? 0 : 1;
}

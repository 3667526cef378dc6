// What checking the manifest's signature costs before the package starts: the worker's own
// steps (manifest, with its signature when a key is named, then the package) from the start
// to the first byte of the package. Run by run-first-byte-bench.sh, never by ctest.
//   first_byte_bench.exe --key|--no-key PACKAGE_PATH
// Prints "ms_to_first_byte=T verdict=V result=R".
#include <windows.h>

#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <cwchar>

#include "engine/HttpFetch.h"
#include "engine/ManifestTrust.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"

using namespace setup;

namespace {

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Notes when the first byte of the package is reported; the rest is ignored.
class FirstByte : public ISetupObserver {
 public:
  void OnProgress(int64_t received, int64_t) override {
    if (received > 0 && m_at.load() == 0) m_at.store(NowMs());
  }
  bool AskProxyLogin(const std::wstring&, const std::wstring&, bool, std::wstring&, std::wstring&) override {
    return false;
  }
  void OnPackageReady() override {}
  void OnRunEnded(SetupOutcome) override {}
  void OnInstallStarted() override {}
  bool ConfirmReplace(const std::wstring&, const std::wstring&) override { return false; }
  double At() const { return m_at.load(); }

 private:
  std::atomic<double> m_at{0};
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: first_byte_bench --key|--no-key PACKAGE_PATH\n");
    return 2;
  }
  FirstByte observer;
  SetupContext context;
  context.m_pObserver = &observer;
  context.m_bRunning = true;
  if (wcscmp(argv[1], L"--no-key") == 0) context.m_manifestKey = ManifestPublicKey();
  curl_global_init(CURL_GLOBAL_ALL);

  const double start = NowMs();
  FetchManifest(&context);
  int result = -2;
  if (MayFetchPackage(context.m_manifestVerdict)) result = DownloadPackage(kPackageAddress, argv[2], &context, false);
  const double firstByte = observer.At();
  printf("ms_to_first_byte=%.2f verdict=%d result=%d\n", firstByte > 0 ? firstByte - start : -1.0,
         static_cast<int>(context.m_manifestVerdict), result);
  curl_global_cleanup();
  return result == 0 ? 0 : 1;
}

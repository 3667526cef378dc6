#pragma once
// The two HTTP GET transfers of a setup run: the version manifest and the package.
// Both run on the worker thread, log their failures and return a result code:
//   0 success; -1 no transfer handle; -2 (the package only) what the servers sent is not
//   the package the manifest describes; 23 the package file cannot be opened or written
//   (the library's write error, also what a refused write produces); 22 an unexpected HTTP
//   status; any other value is the library's result for the transfer itself (60 for an
//   "https:" server whose certificate is not trusted, see ServerTrust.h; 28 for a server
//   that stalled or, with another address to go to, crawled).
// Both give up on a server that does not connect or stalls (the context's m_timings) and try
// again after a transient failure (see TransferRetry.h), never sooner than a busy server
// asks (see RetryAfter.h); only the last attempt's failure is returned.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/SetupContext.h"

namespace setup {

inline constexpr int kNoTransferHandle = -1;
inline constexpr int kUnexpectedStatus = 22;  // the library's CURLE_HTTP_RETURNED_ERROR
inline constexpr int kWriteFailed = 23;       // the library's CURLE_WRITE_ERROR
inline constexpr int kNotThePackage = -2;

// Fetches the manifest and hands its whole body (decoded when the server compressed it),
// once, to OnManifestData, which updates the context. The result is 22 for any status other
// than 200.
int FetchManifest(SetupContext* context);

// What DownloadPackage tells its caller beyond the result.
struct TransferReport {
  // The last failure was transient (see TransferRetry.h): what arrived is good and stays.
  bool bTransient = false;
  // The transfer stopped before writing because the disk had no room for the package
  // (result 23): the part already on disk is good and stays.
  bool bDiskShort = false;
  // The file was checked against the manifest's size and digest, and is the package.
  bool bVerified = false;
  int nAttempts = 0;
  // For the run's report: bytes the attempts wrote, the address of the last attempt (0 the
  // download host, n the n-th mirror) and its proxy road, the last answer's status and the
  // library's last result.
  int64_t nBytesFetched = 0;
  int nSource = 0;
  const char* szProxyRoad = "direct";
  long nLastStatus = 0;
  int nLastResult = 0;
};

// Transfers the package into `packagePath`: the whole package or, with `resume`, only the
// bytes after those already in the file, and only of the package they came from (see
// PackageAnswer.h). What the file held is replaced once the whole package starts to arrive,
// not before: a transfer that fails first leaves it as it was. Any of 200, 206 and 416 (the
// file was already complete) is success. Transient failures are tried again, each attempt
// continuing what is on disk. Progress goes to the context's observer.
// `address` comes first, then the context's mirrors (see PackageSources.h): a failed attempt
// moves on to the next address, which continues the file. When the context's manifest gives
// the package's size, no answer brings more than that; when it gives the size or digest,
// the finished file is checked here, and a file put together from several addresses that
// fails the check is fetched whole again, from one address at a time, before the result is
// -2 (the file is then gone).
int DownloadPackage(const char* address, const wchar_t* packagePath, SetupContext* context, bool resume,
                    TransferReport* report = nullptr);

// The library's progress callback for the package; `context` is the SetupContext. The
// amounts are this transfer's; the context's resume offset is added before they go to the
// observer, and nothing goes before the package's size is known. Always returns 0.
int OnPackageProgress(void* context, double total, double received, double uploadTotal, double uploaded);

// Writes package bytes to `file`. Returns the bytes actually written, and 0 once the run of
// `context` no longer goes on, so a full disk or a closed window stops the transfer with the
// library's write error.
size_t WritePackageData(char* data, size_t size, size_t count, FILE* file, const SetupContext* context);

}  // namespace setup

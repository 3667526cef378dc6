#pragma once
// The two HTTP GET transfers of a setup run: the version manifest and the package.
// Both run on the worker thread, log their failures and return a result code:
//   0 success; -1 no transfer handle; 23 the package file cannot be opened or written
//   (the library's write error, also what a refused write produces); 22 an unexpected HTTP
//   status; any other value is the library's result for the transfer itself (60 for an
//   "https:" server whose certificate is not trusted, see ServerTrust.h).

#include <cstddef>

#include "SetupContext.h"

namespace setup {

inline constexpr int kNoTransferHandle = -1;
inline constexpr int kUnexpectedStatus = 22;  // the library's CURLE_HTTP_RETURNED_ERROR
inline constexpr int kWriteFailed = 23;       // the library's CURLE_WRITE_ERROR

// Fetches the manifest and hands its whole body, once, to OnManifestData, which updates
// the context. The result is 22 for any status other than 200.
int FetchManifest(SetupContext* context);

// Transfers the package into `packagePath`: afresh (the file is truncated) or, with
// `resume`, asking the server only for the bytes after those already in the file. Any of
// 200, 206 and 416 (the file was already complete) is success. Progress goes to the
// context's notify window through g_setupProgress.
int DownloadPackage(const char* address, const wchar_t* packagePath, SetupContext* context, bool resume);

// The library's progress callback for the package; `context` is the SetupContext. The
// amounts are this transfer's; the context's resume offset is added for display. Publishes
// the percentage and the "received/total KB" text; always returns 0.
int OnPackageProgress(void* context, double total, double received, double uploadTotal, double uploaded);

// The library's write callback for the package; `file` is the open FILE*. Returns the
// bytes actually written, and 0 once g_bSetupRunning is clear, so a full disk or a closed
// window stops the transfer with the library's write error.
size_t WritePackageData(char* data, size_t size, size_t count, void* file);

}  // namespace setup

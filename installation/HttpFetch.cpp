#include "HttpFetch.h"

#include <windows.h>

// The package progress uses the library's floating-point progress callback, which newer
// headers mark as deprecated; it still behaves the same.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "Common/PlainFile.h"
#include "ServerTrust.h"
#include "SetupConstants.h"
#include "SetupLog.h"
#include "SetupProgress.h"
#include "VersionManifest.h"

namespace setup {

namespace {

// Bytes the library receives per read for the package: the largest it allows. Its default
// of 16 KiB costs a socket read and a write callback per 16 KiB, which under a translating
// layer such as Wine cuts the throughput to well under half (the curl tool itself reads
// 100 KiB at a time). On a slow line reads return what has arrived, so progress still
// moves as often as before.
constexpr long kPackageReceiveBufferBytes = 512 * 1024;

// A manifest is a few hundred bytes; anything this large is not one and is not kept.
constexpr size_t kMaxManifestBytes = 1u << 20;

class EasyHandle {
 public:
  EasyHandle() : m_curl(curl_easy_init()) {}
  ~EasyHandle() {
    if (m_curl) curl_easy_cleanup(m_curl);
  }
  EasyHandle(const EasyHandle&) = delete;
  EasyHandle& operator=(const EasyHandle&) = delete;
  CURL* get() const { return m_curl; }

 private:
  CURL* m_curl;
};

// The manifest may arrive in any number of pieces; it is parsed only once it is whole.
size_t CollectManifestBody(char* data, size_t size, size_t count, void* body) {
  auto* text = static_cast<std::string*>(body);
  const size_t bytes = size * count;
  if (text->size() + bytes > kMaxManifestBytes) return 0;
  text->append(data, bytes);
  return bytes;
}

long ResponseStatus(CURL* curl) {
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

void LogUnexpectedStatus(long status) {
  WriteSetupLog("invalid http status code: ");
  WriteSetupLogF("%ld", status);
}

// "Open file error！" ends with a full-width exclamation mark; the log takes narrow text in
// the system's code page.
void LogOpenFileError() {
  char message[64];
  if (WideCharToMultiByte(CP_ACP, 0, L"Open file error\xFF01", -1, message, sizeof message, nullptr,
                          nullptr) <= 0) {
    strcpy(message, "Open file error!");
  }
  WriteSetupLog(message);
}

// One GET of the package into `file`. Returns the library's result; `status` gets the
// HTTP status of the answer (0 when none arrived).
CURLcode TransferPackage(CURL* curl, FILE* file, SetupContext* context, int64_t resumeFrom,
                         long* status) {
  curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeFrom));
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_PROGRESSDATA, context);
  curl_easy_setopt(curl, CURLOPT_PROGRESSFUNCTION, OnPackageProgress);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WritePackageData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
  CURLcode result = curl_easy_perform(curl);
  // The last buffered bytes reach the disk only here; losing them must not pass as success.
  if (fclose(file) != 0 && result == CURLE_OK) result = CURLE_WRITE_ERROR;
  *status = ResponseStatus(curl);
  return result;
}

}  // namespace

int FetchManifest(SetupContext* context) {
  EasyHandle handle;
  CURL* curl = handle.get();
  if (!curl) {
    WriteSetupLog("curl_handle error");
    return kNoTransferHandle;
  }
  std::string body;
  curl_easy_setopt(curl, CURLOPT_URL, kManifestAddress);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CollectManifestBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  const ServerTrust trust(curl, kManifestAddress);
  const CURLcode result = trust.Outcome(curl_easy_perform(curl));
  const long status = ResponseStatus(curl);

  // A body cut short is not the manifest: only a completed answer is handled, error pages
  // included (they count as "version unchanged").
  if (result == CURLE_OK && !body.empty()) OnManifestData(body.data(), 1, body.size(), context);

  if (result != CURLE_OK) {
    WriteSetupLog(curl_easy_strerror(result));
    return result;
  }
  if (status != 200) {
    LogUnexpectedStatus(status);
    return kUnexpectedStatus;
  }
  return 0;
}

int DownloadPackage(const char* address, const wchar_t* packagePath, SetupContext* context, bool resume) {
  EasyHandle handle;
  CURL* curl = handle.get();
  if (!curl) {
    WriteSetupLog("curl_handle error");
    return kNoTransferHandle;
  }
  curl_easy_setopt(curl, CURLOPT_URL, address);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kPackageReceiveBufferBytes);
  const ServerTrust trust(curl, address);

  const int64_t resumeFrom = resume ? MeasureFile(packagePath) : 0;
  // Written by an elevated process: never through a link someone left in the file's place.
  FILE* file = OpenPlainFileStream(packagePath, resume ? PlainFileUse::kAppend : PlainFileUse::kReplace);
  if (!file) {
    LogOpenFileError();
    return kWriteFailed;
  }
  // Progress adds the offset to this transfer's counts; a fresh transfer starts from zero
  // whatever was on disk before.
  if (context) context->m_nResumeOffset = resumeFrom;

  long status = 0;
  CURLcode result = trust.Outcome(TransferPackage(curl, file, context, resumeFrom, &status));
  if (result == CURLE_RANGE_ERROR) {
    // The server ignored the requested start and would send the whole package: the file
    // still holds only the earlier part, so fetch it afresh instead of passing it on.
    file = OpenPlainFileStream(packagePath, PlainFileUse::kReplace);
    if (!file) {
      LogOpenFileError();
      return kWriteFailed;
    }
    if (context) context->m_nResumeOffset = 0;
    result = trust.Outcome(TransferPackage(curl, file, context, 0, &status));
  }
  if (result != CURLE_OK) {
    WriteSetupLog(curl_easy_strerror(result));
    return result;
  }
  if (status != 200 && status != 206 && status != 416) {
    LogUnexpectedStatus(status);
    return kUnexpectedStatus;
  }
  return 0;
}

int OnPackageProgress(void* context, double total, double received, double, double) {
  auto* setup = static_cast<SetupContext*>(context);
  if (!setup || !setup->m_hNotifyWnd || !g_bSetupRunning.load()) return 0;
  // No length from the server yet (or one too small to show).
  if (static_cast<int64_t>(total - 0.01) == 0) return 0;

  const double offset = static_cast<double>(setup->m_nResumeOffset);
  int percent;
  if (static_cast<int64_t>(received - total) == 0) {
    percent = static_cast<int>(static_cast<int64_t>(received * 100 / total));
  } else {
    percent = static_cast<int>(static_cast<int64_t>((received + offset) * 100 / (total + offset)));
  }
  char sizeText[kSizeTextBytes];
  snprintf(sizeText, sizeof sizeText, "%.1f/%.1f KB", (received + offset) / 1000, (total + offset) / 1000);
  g_setupProgress.Publish(setup->m_hNotifyWnd, percent, sizeText);
  return 0;
}

size_t WritePackageData(char* data, size_t size, size_t count, void* file) {
  const size_t written = fwrite(data, 1, size * count, static_cast<FILE*>(file));
  if (!g_bSetupRunning.load()) return 0;
  return written;
}

}  // namespace setup

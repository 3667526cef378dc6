#pragma once
// The state of one setup run and the process-wide running flag.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ManifestKey.h"
#include "engine/ManifestTrust.h"
#include "engine/ProxySession.h"
#include "engine/RunReport.h"
#include "engine/SetupObserver.h"
#include "engine/SetupTimings.h"

namespace setup {

inline constexpr int kPathChars = MAX_PATH;  // 260, terminator included

// A flag that two threads read and write without a lock; a copy takes its value, so the
// context that holds it stays a plain record.
class SharedFlag {
 public:
  SharedFlag() = default;
  SharedFlag(const SharedFlag& other) : m_value(other.m_value.load()) {}
  SharedFlag& operator=(const SharedFlag& other) {
    m_value.store(other.m_value.load());
    return *this;
  }
  SharedFlag& operator=(bool value) {
    m_value.store(value);
    return *this;
  }
  bool load() const { return m_value.load(); }
  void store(bool value) { m_value.store(value); }

 private:
  std::atomic<bool> m_value{false};
};

struct SetupContext {
  wchar_t m_szSetupDir[kPathChars] = {};    // extraction folder: data folder + "\setup"
  wchar_t m_szDataDir[kPathChars] = {};     // all-users application data + "\Quillmere"
  wchar_t m_szPackagePath[kPathChars] = {};  // data folder + "\setup.zip"
  // Bytes of the package already on disk when the setup began. 64-bit so that a package
  // over 2 GiB keeps its count; 0 after the manifest decided on a fresh transfer.
  int64_t m_nResumeOffset = 0;
  HANDLE m_hWorker = nullptr;  // kept, never waited on
  bool m_bResume = false;      // true: the package transfer continues the existing file
  std::wstring m_strPublishedVersion;
  // What the published manifest says of the package beside its version, each text as
  // published; empty when the manifest does not name it. Checked before extraction.
  std::optional<std::string> m_strPackageSize;
  std::optional<std::string> m_strPackageSha256;
  // Further addresses of the same package, in the order they are tried after the download
  // host's own: the mirrors a signed manifest lists (see PackageSources.h).
  std::vector<std::string> m_packageMirrors;

  // The key the manifest must be signed with (the build's, unless a test names another),
  // and what the run made of the manifest it fetched (see ManifestTrust.h).
  ManifestPublicKey m_manifestKey = CompiledManifestKey();
  ManifestVerdict m_manifestVerdict = ManifestVerdict::kUnchecked;
  // The server's clock when it sent the manifest, as its "Date" said; none when it gave
  // none. Only ever a hint for the person whose own clock is wrong: never trusted.
  std::optional<SYSTEMTIME> m_serverTime;

  // The run's way through proxies, found on the worker when the first transfer starts.
  std::shared_ptr<ProxySession> m_pProxies;

  // Whoever shows the run (see SetupObserver.h); null runs unseen.
  ISetupObserver* m_pObserver = nullptr;

  // Cleared when whoever showed the run is gone: the package write callback then refuses
  // data, pauses end, and nothing more is reported.
  SharedFlag m_bRunning;

  // How long the run waits for the server and for other installers, and how often it tries
  // again. BeginSetup leaves it as it is.
  SetupTimings m_timings;

  // Nobody watches the run (an administrator's deployment): the installers it starts show
  // no window of their own either.
  bool m_bUnattended = false;

  // What the run notes about itself for its report (see RunReport.h): bookkeeping any stage
  // may add to, the installation half's const steps included.
  mutable RunFacts m_facts;
};

// The context of this process's one setup run. It is never destroyed: the worker may still
// be reading it while the process ends, after the main window (and the runtime's exit
// handlers) are gone.
SetupContext& ProcessSetupContext();

// The running flag of the process's one setup run (its context's m_bRunning): set by the
// worker when it starts, cleared when the main window is gone.
extern SharedFlag& g_bSetupRunning;

// Whether the run of `context` goes on; a run without a context always does.
inline bool IsRunning(const SetupContext* context) { return !context || context->m_bRunning.load(); }

// Resolves the all-users application data folder; false when the platform cannot.
// `create` asks the platform to create the folder when it is missing.
bool GetCommonAppDataFolder(wchar_t (&folder)[kPathChars], bool create);

// Fills the context's folders and resume offset, names `observer` as whoever shows the run,
// and starts `worker` with the context as its parameter. False, and no worker starts, when
// the application data folder cannot be resolved ("Get FolderPath error" is logged), the data
// folder cannot be made safe to use ("Secure data folder error" is logged; see DataFolder.h)
// or the worker cannot start ("Start worker error <code>"); the observer is then told
// OnRunEnded(kDiskError) at once, on the calling thread, as it would be by the worker.
bool BeginSetup(SetupContext& context, ISetupObserver* observer, LPTHREAD_START_ROUTINE worker);

// Ends the run of `context`: logs how (the run's last line) and tells its observer, once.
void EndRun(const SetupContext& context, SetupOutcome outcome);

// Size of the file in bytes, or 0 when it cannot be opened or is reached through a link.
int64_t MeasureFile(const wchar_t* path);

}  // namespace setup

// The worker end to end: BeginSetup with SetupWorkerProc against the test download server,
// an observer recording what the main window would be told.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Common/Sha256.h"
#include "DownloadServer.h"
#include "ManifestSigning.h"
#include "HttpFetchFixture.h"
#include "HttpFetchServerTest.h"
#include "engine/ManifestKey.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupWorker.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using namespace setup;
using namespace testing_support;
using namespace fetch_testing;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// The client package as the vendor would publish it: the two installers at the top level
// (incompressible, so the transfer takes a while when the server is slowed) and a folder.
std::vector<ZipEntry> PackageEntries() {
  std::vector<ZipEntry> entries(4);
  entries[0].name = "vcredist_x86.exe";
  entries[0].data = RandomBytes(1200000, 1);
  entries[0].deflated = false;
  entries[1].name = "Quillmere.msi";
  entries[1].data = RandomBytes(1500000, 2);
  entries[2].name = "docs/";
  entries[3].name = "docs/readme.txt";
  entries[3].data = std::string(20000, 'r');
  return entries;
}

using Tree = std::map<std::wstring, std::string>;

// Every file below the folder with its bytes; folders with an empty content.
Tree Snapshot(const std::wstring& folder) {
  Tree tree;
  for (const std::wstring& entry : ListTree(folder)) tree[entry] = ReadFileBytes(folder + L"\\" + entry);
  return tree;
}

struct Outcome {
  size_t ready = 0;   // OnPackageReady calls
  size_t errors = 0;  // OnRunEnded calls: the worker ends the run only when it fails
  std::optional<SetupOutcome> failure;  // the last one's
  DWORD exitCode = STILL_ACTIVE;
};

class SetupWorkerTest : public ServerBackedTest {
 protected:
  void SetUp() override {
    ServerBackedTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(WriteZipArchive(ServedPackagePath(), PackageEntries()));
  }

  // One setup run the way the main window starts it; returns once the worker has ended.
  // With `dataFolder` the run keeps its package and extraction there instead. The run names
  // no manifest key unless `key` is given: most tests here are of what follows the manifest.
  Outcome RunSetup(const SetupTimings& timings = QuickTimings(), const std::wstring& dataFolder = std::wstring(),
                   const ManifestPublicKey& key = ManifestPublicKey()) {
    observer.Clear();
    context = SetupContext();
    context.m_timings = timings;
    context.m_manifestKey = key;
    Outcome outcome;
    if (dataFolder.empty()) {
      if (!BeginSetup(context, &observer, SetupWorkerProc)) {
        ADD_FAILURE() << "BeginSetup failed";
        return outcome;
      }
    } else {
      wcscpy(context.m_szDataDir, dataFolder.c_str());
      wcscpy(context.m_szPackagePath, (dataFolder + L"\\setup.zip").c_str());
      wcscpy(context.m_szSetupDir, (dataFolder + L"\\setup").c_str());
      context.m_nResumeOffset = MeasureFile(context.m_szPackagePath);
      context.m_pObserver = &observer;
      context.m_hWorker = CreateThread(nullptr, 0, SetupWorkerProc, &context, 0, nullptr);
    }
    WaitForSingleObject(context.m_hWorker, 120000);
    GetExitCodeThread(context.m_hWorker, &outcome.exitCode);
    CloseHandle(context.m_hWorker);
    outcome.ready = observer.Count("ready");
    const std::vector<SetupOutcome> failures = observer.Outcomes();
    outcome.errors = failures.size();
    if (!failures.empty()) outcome.failure = failures.back();
    return outcome;
  }

  std::wstring PackagePath() const { return DataFolder() + L"\\setup.zip"; }
  // What extracting the served package gives.
  static Tree ServedTree() {
    Tree expected;
    for (const ZipEntry& entry : PackageEntries()) {
      std::wstring name(entry.name.begin(), entry.name.end());
      std::replace(name.begin(), name.end(), L'/', L'\\');
      expected[name] = entry.data;
    }
    return expected;
  }
  std::wstring SetupFolder() const { return DataFolder() + L"\\setup"; }

  SetupContext context;
};

// Clears the run's running flag, as the closing main window does, once the package file on
// disk has grown to `cutAt` bytes (and past what it held when the run began).
class WindowCloser {
 public:
  WindowCloser(SetupContext& context, const std::wstring& packagePath, int64_t cutAt)
      : m_path(packagePath), m_threshold(std::max<int64_t>(cutAt, MeasureFile(packagePath.c_str()) + 1)) {
    m_thread = std::thread([this, &context] {
      const ULONGLONG deadline = GetTickCount64() + 120000;
      while (!m_stop && GetTickCount64() < deadline) {
        if (MeasureFile(m_path.c_str()) >= m_threshold) {
          context.m_bRunning = false;
          return;
        }
        Sleep(2);
      }
    });
  }
  ~WindowCloser() {
    m_stop = true;
    m_thread.join();
  }

 private:
  std::wstring m_path;
  int64_t m_threshold;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace

TEST_F(SetupWorkerTest, CleanRunPostsPackageReadyOnceAndLeavesTheExtractedFiles) {
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u);
  EXPECT_EQ(outcome.errors, 0u);
  EXPECT_EQ(outcome.exitCode, 1u);

  const Tree extracted = Snapshot(SetupFolder());
  EXPECT_TRUE(extracted == ServedTree()) << "extracted " << extracted.size() << " entries";
  EXPECT_EQ(context.m_strPublishedVersion, L"2.0.1.5");
  const auto last = observer.LastProgress();
  EXPECT_TRUE(last.received > 0 && last.received == last.total) << "the finished transfer was reported";
  EXPECT_TRUE(LogMessages().empty());
}

TEST_F(SetupWorkerTest, LogTellsSupportTheVersionsAddressesStatusesByteCountsAndResults) {
  ASSERT_TRUE(SetServerMode("package", "mode=cut&after=1000000&times=1"));
  ASSERT_EQ(RunSetup().ready, 1u);
  const std::string manifestBytes = std::to_string(ReadFileBytes(ServedManifestPath()).size());
  const std::string packageBytes = std::to_string(ReadFileBytes(ServedPackagePath()).size());

  const std::vector<std::string> info = InfoMessages();
  EXPECT_THAT(info, Contains(AllOf(StartsWith("installer "), HasSubstr("libcurl"))));
  EXPECT_THAT(info, Contains(std::string("manifest attempt 1: GET ") + kManifestAddress +
                             ": result 0 (No error), status 200, " + manifestBytes + " bytes"));
  EXPECT_THAT(info, Contains("published version 2.0.1.5, no local manifest: the package is fetched afresh"));
  EXPECT_THAT(info, Contains(StartsWith("package attempt 1: result 18 (Transferred a partial file), status 200, "
                                        "1000000 bytes written")));
  EXPECT_THAT(info, Contains(StartsWith(std::string("package attempt 2: GET ") + kPackageAddress +
                                        " from byte 1000000 if still \"")));
  EXPECT_THAT(info, Contains("< HTTP/1.1 206 Partial Content")) << "the transfer library's own trace";
  EXPECT_THAT(info, Contains("package: complete, " + packageBytes + " bytes"));
  EXPECT_THAT(info, Contains("package extracted"));
  EXPECT_TRUE(LogMessages().empty());
}

TEST_F(SetupWorkerTest, ExtractionReplacesWhatAnEarlierRunLeftInTheSetupFolder) {
  ASSERT_TRUE(CreateDirectoryW(SetupFolder().c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(SetupFolder() + L"\\stale.dll", "old"));
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u);
  EXPECT_FALSE(FileExists(SetupFolder() + L"\\stale.dll"));
  EXPECT_TRUE(FileExists(SetupFolder() + L"\\Quillmere.msi"));
}

TEST_F(SetupWorkerTest, PackageNotFoundDeletesThePackageAndReportsTheNetwork) {
  ASSERT_TRUE(SetServerMode("package", "mode=status&code=404"));
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 0u);
  EXPECT_EQ(outcome.errors, 1u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kDownloadFailed);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_FALSE(FileExists(PackagePath())) << "the error page is not kept as a package";
  EXPECT_THAT(LogMessages(), ElementsAre("invalid http status code: ", "404", "download fail 22"));
}

TEST_F(SetupWorkerTest, NoServerReportsTheNetworkWithTheLibrarysCodeAndKeepsThePackage) {
  ASSERT_TRUE(WriteFileBytes(PackagePath(), "left from before"));
  ASSERT_TRUE(SetServerMode("all", "mode=down"));
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.errors, 1u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kDownloadFailed);
  EXPECT_EQ(ReadFileBytes(PackagePath()), "left from before") << "a server out of reach takes nothing away";
  EXPECT_THAT(LogMessages(), Contains("download fail 7"));
}

TEST_F(SetupWorkerTest, CorruptPackageRemovesTheWholeDataFolderAndTheNextRunStartsAfresh) {
  ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), RandomBytes(300000, 9)));
  Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 0u);
  EXPECT_EQ(outcome.errors, 1u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kPackageDamaged);
  EXPECT_FALSE(FolderExists(DataFolder())) << "package, local manifest and partial extraction all go";
  EXPECT_THAT(LogMessages(), Not(Contains("Failed to delete a folder.")));

  ASSERT_TRUE(WriteZipArchive(ServedPackagePath(), PackageEntries()));
  ASSERT_TRUE(ClearServerLog());
  outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u);
  EXPECT_THAT(PackageAnswers(), ElementsAre("200")) << "a whole new transfer, no range";
}

TEST_F(SetupWorkerTest, DataFolderThatCannotBeRemovedIsLogged) {
  ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), RandomBytes(1000, 9)));
  const std::wstring held = DataFolder() + L"\\held.bin";
  ASSERT_TRUE(WriteFileBytes(held, "in use"));
  HANDLE file = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const Outcome outcome = RunSetup();
  CloseHandle(file);
  EXPECT_EQ(outcome.failure, SetupOutcome::kPackageDamaged);
  EXPECT_THAT(LogMessages(), ElementsAre("Failed to delete a folder."));
  EXPECT_TRUE(FileExists(held));
  EXPECT_FALSE(FileExists(PackagePath())) << "what could go, went";
}

TEST_F(SetupWorkerTest, UnwritablePackageFileReportsTheDisk) {
  ASSERT_TRUE(CreateDirectoryW(PackagePath().c_str(), nullptr));  // the package's name is taken by a folder
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.errors, 1u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kDiskError);
  const std::vector<std::string> log = LogMessages();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("Open file error", 0), 0u) << log[0];
  EXPECT_EQ(log[1], "get download update error");
}

TEST_F(SetupWorkerTest, ClosingTheWindowMidTransferLeavesThePartialPackage) {
  const std::string package = ReadFileBytes(ServedPackagePath());
  ASSERT_TRUE(SetServerMode("package", "mode=slow"));
  Outcome outcome;
  {
    WindowCloser closer(context, PackagePath(), 1000000);
    outcome = RunSetup();
  }
  EXPECT_EQ(outcome.ready, 0u);
  EXPECT_EQ(outcome.errors, 1u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kDiskError);
  const std::string kept = ReadFileBytes(PackagePath());
  EXPECT_GE(kept.size(), 1000000u);
  EXPECT_LT(kept.size(), package.size());
  EXPECT_TRUE(kept == package.substr(0, kept.size()));
  EXPECT_THAT(LogMessages(), Not(Contains("get download update error")));
}

TEST_F(SetupWorkerTest, InterruptedRunsContinueToTheSameFilesAsAnUninterruptedRun) {
  ASSERT_EQ(RunSetup().ready, 1u);
  const Tree reference = Snapshot(SetupFolder());
  ASSERT_FALSE(reference.empty());
  const std::string package = ReadFileBytes(ServedPackagePath());

  ClearRunState();
  std::mt19937 generator(20241209);
  std::uniform_int_distribution<int64_t> cutPoint(package.size() / 20, package.size() * 19 / 20);
  std::vector<int64_t> cuts{cutPoint(generator), cutPoint(generator), cutPoint(generator)};
  std::sort(cuts.begin(), cuts.end());

  size_t kept = 0;
  for (int64_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    ASSERT_TRUE(SetServerMode("package", "mode=slow"));
    ASSERT_TRUE(ClearServerLog());
    Outcome outcome;
    {
      WindowCloser closer(context, PackagePath(), cut);
      outcome = RunSetup();
    }
    ASSERT_EQ(outcome.ready, 0u);
    const std::string partial = ReadFileBytes(PackagePath());
    ASSERT_GT(partial.size(), kept) << "each run adds to the package";
    ASSERT_LT(partial.size(), package.size());
    ASSERT_TRUE(partial == package.substr(0, partial.size()));
    if (kept > 0) {
      EXPECT_THAT(PackageAnswers(), ElementsAre("206"));
    }
    kept = partial.size();
  }

  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ClearServerLog());
  const Outcome last = RunSetup();
  EXPECT_EQ(last.ready, 1u);
  EXPECT_EQ(last.errors, 0u);
  EXPECT_THAT(PackageAnswers(), ElementsAre("206"));
  EXPECT_EQ(context.m_nResumeOffset, static_cast<int64_t>(kept));
  EXPECT_TRUE(ReadFileBytes(PackagePath()) == package);
  EXPECT_TRUE(Snapshot(SetupFolder()) == reference) << "extracted files differ from the uninterrupted run";
  EXPECT_EQ(observer.LastProgress().received, static_cast<int64_t>(package.size()));
}

TEST_F(SetupWorkerTest, PackageThatDiffersFromTheManifestsDigestIsRefusedAndTheDataFolderRemoved) {
  const std::string package = ReadFileBytes(ServedPackagePath());
  const std::string size = std::to_string(package.size());
  ASSERT_TRUE(WriteFileBytes(ServedManifestPath(), ManifestDescribing("2.0.1.5", size, Sha256Hex(package + "!"))));
  Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 0u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kPackageDamaged);
  EXPECT_FALSE(FolderExists(DataFolder())) << "nothing of it is extracted or kept";
  EXPECT_THAT(LogMessages(), ElementsAre("package verification failed"));

  ASSERT_TRUE(WriteFileBytes(ServedManifestPath(), ManifestDescribing("2.0.1.5", size, Sha256Hex(package))));
  outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u) << "the same package with its true digest passes";
  EXPECT_TRUE(Snapshot(SetupFolder()) == ServedTree());
}

TEST_F(SetupWorkerTest, PackageAndManifestPlantedInAFolderOpenToOthersAreNeverExtracted) {
  // Larger than the served package: continued, it would be answered 416 and extracted as
  // it is.
  std::vector<ZipEntry> planted(1);
  planted[0].name = "vcredist_x86.exe";
  planted[0].data = RandomBytes(4000000, 66);
  planted[0].deflated = false;
  ASSERT_TRUE(WriteZipArchive(PackagePath(), planted));
  ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), "<config><version>2.0.1.5</version></config>"));
  ASSERT_TRUE(OpenToEveryone(DataFolder()));

  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u);
  EXPECT_TRUE(Snapshot(SetupFolder()) == ServedTree()) << "extracted what was planted";
  EXPECT_THAT(PackageAnswers(), ElementsAre("200"));
}

TEST_F(SetupWorkerTest, CorruptPackageLeavesAConfigurationKeptByAnEarlierRun) {
  ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), RandomBytes(300000, 9)));
  const std::string config = "<config><account>carol</account></config>";
  ASSERT_TRUE(WriteFileBytes(DataFolder() + L"\\config.xml", config));
  ASSERT_TRUE(WriteFileBytes(DataFolder() + L"\\config.xml.sha256", Sha256Hex(config)));
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.failure, SetupOutcome::kPackageDamaged);
  EXPECT_EQ(ListTree(DataFolder()), (std::vector<std::wstring>{L"config.xml", L"config.xml.sha256"}));
}

TEST_F(SetupWorkerTest, NetworkFailureAfterTheRetriesKeepsWhatArrivedForTheNextRun) {
  const std::string package = ReadFileBytes(ServedPackagePath());
  // The continued package must still be the one the manifest describes.
  ASSERT_TRUE(WriteFileBytes(ServedManifestPath(),
                             ManifestDescribing("2.0.1.5", std::to_string(package.size()), Sha256Hex(package))));
  ASSERT_TRUE(SetServerMode("package", "mode=stall&after=1000000&seconds=30"));
  SetupTimings noRetries = QuickTimings();
  noRetries.nTransferRetries = 0;
  Outcome outcome = RunSetup(noRetries);
  EXPECT_EQ(outcome.failure, SetupOutcome::kDownloadFailed);
  EXPECT_THAT(LogMessages(), Contains("download fail 28"));
  EXPECT_TRUE(ReadFileBytes(PackagePath()) == package.substr(0, 1000000)) << "what arrived before the stall stays";

  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ClearServerLog());
  outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u);
  EXPECT_THAT(PackageAnswers(), ElementsAre("206"));
  EXPECT_TRUE(ReadFileBytes(PackagePath()) == package);
}

TEST_F(SetupWorkerTest, FileHeldByAnotherProgramIsWaitedForBrieflyThenIsADiskError) {
  const std::wstring held = SetupFolder() + L"\\Quillmere.msi";
  for (bool releasedInTime : {true, false}) {
    SCOPED_TRACE(releasedInTime ? "released in time" : "held");
    ClearRunState();
    ASSERT_TRUE(CreateDirectoryW(SetupFolder().c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(held, "another program's"));
    HANDLE file = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    // Let go half a second after the entry before it is written, while the worker waits.
    std::thread releaser([&] {
      if (!releasedInTime) return;
      const ULONGLONG giveUp = GetTickCount64() + 60000;
      while (!FileExists(SetupFolder() + L"\\vcredist_x86.exe") && GetTickCount64() < giveUp) Sleep(5);
      Sleep(500);
      CloseHandle(file);
    });
    const Outcome outcome = RunSetup();
    releaser.join();
    if (releasedInTime) {
      EXPECT_EQ(outcome.ready, 1u);
      EXPECT_TRUE(Snapshot(SetupFolder()) == ServedTree());
      EXPECT_TRUE(LogMessages().empty());
    } else {
      CloseHandle(file);
      EXPECT_EQ(outcome.failure, SetupOutcome::kDiskError);
      EXPECT_THAT(LogMessages(), ElementsAre("extraction failed: disk error 32"));
      EXPECT_TRUE(ReadFileBytes(PackagePath()) == ReadFileBytes(ServedPackagePath())) << "kept for the next run";
    }
  }
}

namespace {

// The worker with its data folder on a disk of 1 MiB (a file system the test harness mounts
// in the test's folder).
class SmallDiskTest : public SetupWorkerTest {
 protected:
  void SetUp() override {
    SetupWorkerTest::SetUp();
    if (HasFatalFailure()) return;
    const std::string unavailable = ReadSmallDiskRefusal();
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
    ASSERT_TRUE(FolderExists(SmallDisk())) << "the small disk is not mounted";
    RemoveTree(SmallDataFolder());
    ASSERT_TRUE(CreateDirectoryW(SmallDataFolder().c_str(), nullptr));
  }
  void TearDown() override {
    RemoveTree(SmallDataFolder());
    SetupWorkerTest::TearDown();
  }
  static std::wstring SmallDisk() { return CurrentFolder() + L"\\small-disk"; }
  // The harness's reason when it could not mount the disk, or empty.
  static std::string ReadSmallDiskRefusal() {
    FILE* pFile = _wfopen((SmallDisk() + L".unavailable").c_str(), L"rb");
    if (pFile == nullptr) return std::string();
    char szReason[512] = {};
    const size_t cb = fread(szReason, 1, sizeof(szReason) - 1, pFile);
    fclose(pFile);
    return std::string(szReason, cb);
  }
  static std::wstring SmallDataFolder() { return SmallDisk() + L"\\Quillmere"; }
};

// A package whose extraction needs more than the small disk holds.
struct Overflow {
  const char* name;
  std::vector<ZipEntry> (*entries)();
};

class ExtractionOverflow : public SmallDiskTest, public ::testing::WithParamInterface<Overflow> {};

// The directory says so: 3 MB of zeros that pack into a few kilobytes.
std::vector<ZipEntry> LargerThanTheDisk() {
  std::vector<ZipEntry> entries(1);
  entries[0].name = "Quillmere.msi";
  entries[0].data = std::string(3000000, '\0');
  return entries;
}

// The directory's sizes fit, but each small file takes a whole block of the disk.
std::vector<ZipEntry> FillingTheDiskMidway() {
  std::vector<ZipEntry> entries(400);
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i].name = "files/" + std::to_string(i) + ".txt";
    entries[i].data = "file " + std::to_string(i);
  }
  return entries;
}

}  // namespace

TEST_P(ExtractionOverflow, IsADiskErrorThatKeepsThePackage) {
  ASSERT_TRUE(WriteZipArchive(ServedPackagePath(), GetParam().entries()));
  const Outcome outcome = RunSetup(QuickTimings(), SmallDataFolder());
  EXPECT_EQ(outcome.ready, 0u);
  EXPECT_EQ(outcome.failure, SetupOutcome::kDiskError);
  EXPECT_THAT(LogMessages(), ElementsAre("extraction failed: disk error 112"));
  EXPECT_TRUE(ReadFileBytes(SmallDataFolder() + L"\\setup.zip") == ReadFileBytes(ServedPackagePath()))
      << "the package is not to blame and stays";
  EXPECT_FALSE(FolderExists(SmallDataFolder() + L"\\setup")) << "the partial extraction goes";
}

INSTANTIATE_TEST_SUITE_P(Packages, ExtractionOverflow,
                         ::testing::Values(Overflow{"LargerThanTheDisk", LargerThanTheDisk},
                                           Overflow{"FillingTheDiskMidway", FillingTheDiskMidway}),
                         [](const ::testing::TestParamInfo<Overflow>& info) { return std::string(info.param.name); });

TEST_F(SmallDiskTest, PackageLargerThanTheRoomLeftIsNotFetched) {
  ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), RandomBytes(1500000, 5)));
  const Outcome outcome = RunSetup(QuickTimings(), SmallDataFolder());
  EXPECT_EQ(outcome.failure, SetupOutcome::kDiskError);
  const std::vector<std::string> log = LogMessages();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("not enough disk space: 1500000 bytes needed, ", 0), 0u) << log[0];
  EXPECT_EQ(log[1], "get download update error");
  EXPECT_EQ(MeasureFile((SmallDataFolder() + L"\\setup.zip").c_str()), 0) << "nothing was written";
}

namespace {

// A manifest as published (or as tampered with), the installed client's version, and what
// the run with the build's key makes of it.
struct ManifestCase {
  const char* name;
  std::function<void(const std::string& package)> publish;
  const wchar_t* installedVersion;  // null: no client installed
  std::optional<SetupOutcome> failure;  // none: the package is ready
  const char* logged;  // the refusal's log line; null when nothing is refused
};

class SignedManifestTest : public SetupWorkerTest, public ::testing::WithParamInterface<ManifestCase> {
 protected:
  void SetUp() override {
    if (!HasTestKey()) GTEST_SKIP() << "the build names the vendor's key: it has no test key to sign with";
    SetupWorkerTest::SetUp();
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kVendorKey);
    SetupWorkerTest::TearDown();
  }
};

void TamperAfterSigning(const std::string& package) {
  ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", package)));
  ASSERT_TRUE(WriteFileBytes(ServedManifestPath(), ReleaseManifest("2.0.1.5", package) + " "));
}

void SignedByAStranger(const std::string& package) {
  ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", package)));
  ASSERT_TRUE(WriteFileBytes(ServedSignaturePath(), SignWithStrangerKey(ReadFileBytes(ServedManifestPath()))));
}

}  // namespace

TEST_P(SignedManifestTest, DecidesWhetherThePackageIsFetched) {
  const ManifestCase& c = GetParam();
  const std::string package = ReadFileBytes(ServedPackagePath());
  c.publish(package);
  if (c.installedVersion) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, kVersionValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(c.installedVersion),
                   static_cast<DWORD>((wcslen(c.installedVersion) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  ASSERT_TRUE(ClearServerLog());

  const Outcome outcome = RunSetup(QuickTimings(), std::wstring(), CompiledManifestKey());
  EXPECT_EQ(outcome.failure, c.failure);
  EXPECT_EQ(outcome.ready, c.failure ? 0u : 1u);
  if (c.failure == SetupOutcome::kDownloadFailed) {
    EXPECT_TRUE(PackageAnswers().empty()) << "the package was asked for";
    EXPECT_FALSE(FileExists(PackagePath()));
  }
  if (c.logged) {
    EXPECT_THAT(LogMessages(), Contains(std::string("manifest refused: ") + c.logged));
  } else {
    EXPECT_THAT(LogMessages(), Not(Contains(StartsWith("manifest refused"))));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, SignedManifestTest,
    ::testing::Values(
        ManifestCase{"SignedAndInForce",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p))); },
                     nullptr, std::nullopt, nullptr},
        ManifestCase{"ChangedAfterSigning", TamperAfterSigning, nullptr, SetupOutcome::kDownloadFailed,
                     "the signature does not match the manifest"},
        ManifestCase{"SignatureMissing",
                     [](const std::string& p) {
                       ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p)));
                       ASSERT_TRUE(DeleteFileW(ServedSignaturePath().c_str()));
                     },
                     nullptr, SetupOutcome::kDownloadFailed, "the manifest's signature did not arrive"},
        ManifestCase{"SignedByAnotherKey", SignedByAStranger, nullptr, SetupOutcome::kDownloadFailed,
                     "the signature does not match the manifest"},
        ManifestCase{"Expired",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p, -1))); },
                     nullptr, SetupOutcome::kDownloadFailed, "the manifest has expired"},
        ManifestCase{"WithoutPackageFacts",
                     [](const std::string&) {
                       ASSERT_TRUE(PublishManifest(
                           ManifestNaming("2.0.1.5", "  <expires>" + UtcStampInDays(1) + "</expires>\r\n")));
                     },
                     nullptr, SetupOutcome::kDownloadFailed, "the manifest names no size or digest of the package"},
        ManifestCase{"DowngradeUnmeant",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p))); },
                     L"2.0.1.6", SetupOutcome::kNewerInstalled,
                     "the manifest names a version older than the installed client's"},
        ManifestCase{"DowngradeMeant",
                     [](const std::string& p) {
                       ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p, 1, "  <downgrade>true</downgrade>\r\n")));
                     },
                     L"2.0.1.6", std::nullopt, nullptr},
        ManifestCase{"NotFound",
                     [](const std::string& p) {
                       ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p)));
                       ASSERT_TRUE(SetServerMode("manifest", "mode=status&code=404"));
                     },
                     nullptr, SetupOutcome::kDownloadFailed, "no manifest arrived"},
        // Signed, yet not read exactly as written: each refused for what it is.
        ManifestCase{"DocumentType",
                     [](const std::string& p) {
                       std::string text = ReleaseManifest("2.0.1.5", p);
                       text.insert(text.find("<update>"), "<!DOCTYPE update>\r\n");
                       ASSERT_TRUE(PublishManifest(text));
                     },
                     nullptr, SetupOutcome::kDownloadFailed, "the manifest holds a document type declaration"},
        ManifestCase{"EntityReference",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("&v;", p))); }, nullptr,
                     SetupOutcome::kDownloadFailed, "the manifest refers to an entity"},
        ManifestCase{"VersionAfterAComment",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("<!-- x -->2.0.1.3", p))); },
                     L"2.0.1.4", SetupOutcome::kDownloadFailed,
                     "the manifest's version is not two to four dotted numbers"},
        ManifestCase{"VersionOfOneNumber",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("3", p))); }, nullptr,
                     SetupOutcome::kDownloadFailed, "the manifest's version is not two to four dotted numbers"},
        ManifestCase{"ExpiringBeyondAnyRelease",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p, 4000))); },
                     nullptr, SetupOutcome::kDownloadFailed,
                     "the manifest expires further ahead than any the vendor publishes"},
        ManifestCase{"DigestOfAnotherPackage",
                     [](const std::string& p) { ASSERT_TRUE(PublishManifest(ReleaseManifest("2.0.1.5", p + "!"))); },
                     nullptr, SetupOutcome::kPackageDamaged, nullptr}),
    [](const ::testing::TestParamInfo<ManifestCase>& info) { return std::string(info.param.name); });

TEST_F(SetupWorkerTest, WithoutAKeyAnUnsignedManifestIsTakenAndTheLogSaysSo) {
  const Outcome outcome = RunSetup();
  EXPECT_EQ(outcome.ready, 1u);
  EXPECT_THAT(InfoMessages(), Contains("manifest: not checked: this build names no manifest key"));
  EXPECT_THAT(InfoMessages(), Contains("no manifest vouches for the package: it is installed unchecked"));
}

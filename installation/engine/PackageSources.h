#pragma once
// The addresses one package may come from, in the order they are tried: the download host's
// own, then the mirrors a signed manifest lists (each bound by the manifest's size and
// SHA-256 to the same bytes). Which of them served which bytes of the file on disk, which
// are out of the run, and which comes next after a failure.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace setup {

// At most this many mirrors of a manifest are taken; the rest are ignored.
inline constexpr size_t kMaxPackageMirrors = 16;

// The mirror addresses of `listed` the installer may use, in their order: "https:" ones, and
// in a build whose own download host is an "http:" loopback address (a test build) "http:"
// ones on loopback too; none with a user name or password. Each refused one is logged.
std::vector<std::string> AcceptedMirrors(const std::vector<std::string>& listed);

// Why the installer will not send a request to `address` (a mirror, or where a report goes),
// by the rules above; null when it will.
const char* AddressRefusal(const std::string& address);

class PackageSources {
 public:
  // How the walk goes on after a failed attempt.
  enum class Step {
    kOther,     // to the next address of this round, at once
    kNewRound,  // back to the first address still in the run: every one failed in turn
    kNone,      // no address is left
  };

  // `onDisk` bytes left by an earlier run are in the file when the transfer starts.
  PackageSources(const std::string& primary, const std::vector<std::string>& mirrors, int64_t onDisk);

  const std::string& Address() const { return m_sources[m_nCurrent].strAddress; }
  // The current address's place: 0 the download host, n the n-th mirror.
  size_t Current() const { return m_nCurrent; }
  size_t Count() const { return m_sources.size(); }

  // Bytes [first, first + count) of the file arrived from the current address.
  void Took(int64_t first, int64_t count);
  // The file now holds `length` bytes: what lay beyond is gone.
  void Cut(int64_t length);
  // Whether the file's bytes came from more than one address (an earlier run counts as one).
  bool Mixed() const;
  // One log line per range of the file: its bytes and where they came from.
  void LogRanges() const;

  // The current address is out of the run (it does not have the package, or serves other
  // bytes); `why` goes to the log.
  void Drop(const char* why);
  // The current address was left for being slower than the floor.
  void LeftAsSlow() { m_sources[m_nCurrent].bLeftAsSlow = true; }
  // Whether the current address is held to the speed floor: only while another address in
  // the run has not been found slow. Once every one was, the line itself is the slow part.
  bool FloorApplies() const;

  // Moves to the address after the current one that is still in the run.
  Step Advance();
  // Back to the first address still in the run; false when none is.
  bool Rewind();

 private:
  struct Source {
    std::string strAddress;
    bool bDropped = false;
    bool bLeftAsSlow = false;
  };
  struct Range {
    size_t nSource;  // kEarlierRun for bytes left by an earlier run
    int64_t nFirst;
    int64_t nEnd;  // one past the last byte
  };
  static constexpr size_t kEarlierRun = static_cast<size_t>(-1);

  std::vector<Source> m_sources;
  std::vector<Range> m_ranges;
  size_t m_nCurrent = 0;
};

}  // namespace setup

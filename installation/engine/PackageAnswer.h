#pragma once
// How one answer to a package request is taken: which of its bytes go into the package
// file, and what the transfer must do next. A request continuing a partial file asks for
// the rest only of the file the part came from (see PackageValidator.h); the answer
// decides whether the rest is appended, the whole package replaces the part, the file is
// already complete, or the part must go. When the manifest gives the package's size, no
// answer brings more: one that announces another size is refused before a byte is written,
// and one whose body runs past the size is cut there.

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/PackageValidator.h"
#include "engine/ResponseHeaders.h"

namespace setup {

struct SetupContext;

class PackageAnswer {
 public:
  enum class Verdict {
    kUndecided,    // no complete head yet
    kWrite,        // 200 or a fitting 206: the body goes into the file
    kComplete,     // 416 for a file that already holds the whole package
    kRestartFresh,  // the part on disk is not the start of the package the server has now
    kDiskShort,    // not enough room for what the server is about to send
    kNotPackage,   // any other status: the body is an error page, not package bytes
    kWrongSize,    // the answer is of another size than the manifest gives: not the package
  };

  // `file` is the package file opened for appending and holding `onDisk` bytes; the request
  // asked for the bytes from `offset` on (0: the whole package); `kept` is what was kept
  // about the package the bytes on disk came from. `context` (may be null) gets the resume
  // offset that progress adds to the answer's own counts. `address` is where the request
  // went (kept with the answer's validator); `expectedSize` the package's size as the
  // manifest gives it, -1 when it gives none.
  PackageAnswer(const wchar_t* packagePath, FILE* file, int64_t onDisk, int64_t offset, const PackageValidator& kept,
                SetupContext* context, const std::string& address = std::string(), int64_t expectedSize = -1);

  // The response head is complete; false stops the transfer (restart or short disk).
  bool OnHead(const ResponseHeaders& head);

  // The library's write callback for the package: `answer` is this object.
  static size_t OnBody(char* data, size_t size, size_t count, void* answer);

  Verdict verdict() const { return m_verdict; }
  int64_t BytesWritten() const { return m_nWritten; }
  // Where this answer's bytes start in the file (0 once a whole package replaced the part).
  int64_t FirstByte() const { return m_nOffset; }
  // What the disk was short of, when the verdict is kDiskShort.
  int64_t BytesNeeded() const { return m_nNeeded; }
  int64_t BytesFree() const { return m_nFree; }

 private:
  bool TakeWholePackage(const ResponseHeaders& head);
  bool TakeRest(const ResponseHeaders& head);
  bool Refuse(Verdict verdict);
  // Whether an answer of `length` bytes (the whole package, or a part from `first` on of a
  // package of `total` bytes; -1: not said) can be the package the manifest describes;
  // logged when it cannot.
  bool FitsExpectedSize(bool whole, int64_t first, int64_t length, int64_t total) const;
  // The body ran past the package's size: what it wrote goes.
  size_t RefuseOverflow();
  // Whether `bytes` fit, counting `reclaimable` bytes the answer would free first.
  bool HasRoomFor(int64_t bytes, int64_t reclaimable);
  void KeepValidator(const ResponseHeaders& head, int64_t size);

  const wchar_t* m_pPackagePath;
  FILE* m_pFile;
  int64_t m_nOnDisk;
  int64_t m_nOffset;
  PackageValidator m_kept;
  SetupContext* m_pContext;
  std::string m_strAddress;
  int64_t m_nExpectedSize;
  Verdict m_verdict = Verdict::kUndecided;
  int64_t m_nWritten = 0;
  int64_t m_nNeeded = 0;
  int64_t m_nFree = 0;
};

}  // namespace setup

#pragma once
// How one answer to a package request is taken: which of its bytes go into the package
// file, and what the transfer must do next. A request continuing a partial file asks for
// the rest only of the file the part came from (see PackageValidator.h); the answer
// decides whether the rest is appended, the whole package replaces the part, the file is
// already complete, or the part must go.

#include <cstdint>
#include <cstdio>

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
  };

  // `file` is the package file opened for appending and holding `onDisk` bytes; the request
  // asked for the bytes from `offset` on (0: the whole package); `kept` is what was kept
  // about the package the bytes on disk came from. `context` (may be null) gets the resume
  // offset that progress adds to the answer's own counts.
  PackageAnswer(const wchar_t* packagePath, FILE* file, int64_t onDisk, int64_t offset, const PackageValidator& kept,
                SetupContext* context);

  // The response head is complete; false stops the transfer (restart or short disk).
  bool OnHead(const ResponseHeaders& head);

  // The library's write callback for the package: `answer` is this object.
  static size_t OnBody(char* data, size_t size, size_t count, void* answer);

  Verdict verdict() const { return m_verdict; }
  int64_t BytesWritten() const { return m_nWritten; }
  // What the disk was short of, when the verdict is kDiskShort.
  int64_t BytesNeeded() const { return m_nNeeded; }
  int64_t BytesFree() const { return m_nFree; }

 private:
  bool TakeWholePackage(const ResponseHeaders& head);
  bool TakeRest(const ResponseHeaders& head);
  bool Refuse(Verdict verdict);
  // Whether `bytes` fit, counting `reclaimable` bytes the answer would free first.
  bool HasRoomFor(int64_t bytes, int64_t reclaimable);
  void KeepValidator(const ResponseHeaders& head, int64_t size);

  const wchar_t* m_pPackagePath;
  FILE* m_pFile;
  int64_t m_nOnDisk;
  int64_t m_nOffset;
  PackageValidator m_kept;
  SetupContext* m_pContext;
  Verdict m_verdict = Verdict::kUndecided;
  int64_t m_nWritten = 0;
  int64_t m_nNeeded = 0;
  int64_t m_nFree = 0;
};

}  // namespace setup

#include "engine/PackageAnswer.h"

#include <io.h>

#include <string>

#include "Common/DiskSpace.h"
#include "engine/HttpFetch.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

constexpr long kStatusOk = 200;
constexpr long kStatusPartialContent = 206;
constexpr long kStatusRangeNotSatisfiable = 416;

std::wstring FolderOf(const wchar_t* path) {
  std::wstring folder(path ? path : L"");
  const size_t cut = folder.find_last_of(L"\\/");
  folder.resize(cut == std::wstring::npos ? 0 : cut);
  return folder;
}

}  // namespace

PackageAnswer::PackageAnswer(const wchar_t* packagePath, FILE* file, int64_t onDisk, int64_t offset,
                             const PackageValidator& kept, SetupContext* context, const std::string& address,
                             int64_t expectedSize)
    : m_pPackagePath(packagePath),
      m_pFile(file),
      m_nOnDisk(onDisk),
      m_nOffset(offset),
      m_kept(kept),
      m_pContext(context),
      m_strAddress(address),
      m_nExpectedSize(expectedSize) {}

bool PackageAnswer::Refuse(Verdict verdict) {
  m_verdict = verdict;
  return false;
}

bool PackageAnswer::HasRoomFor(int64_t bytes, int64_t reclaimable) {
  if (bytes <= 0) return true;  // nothing to write, or a length the server did not give
  const int64_t free = FreeBytesAt(FolderOf(m_pPackagePath).c_str());
  if (free < 0) return true;  // the platform cannot tell; the writes will
  m_nNeeded = bytes;
  m_nFree = free + reclaimable;
  return m_nFree >= bytes;
}

bool PackageAnswer::FitsExpectedSize(bool whole, int64_t first, int64_t length, int64_t total) const {
  if (m_nExpectedSize < 0) return true;
  // A whole package is exactly the size; a part may be shorter than the rest, never longer.
  const bool fits = whole ? (length < 0 || length == m_nExpectedSize)
                          : (total < 0 || total == m_nExpectedSize) && (length < 0 || first + length <= m_nExpectedSize);
  if (!fits && whole) {
    WriteSetupInfo("package: the answer is of %lld bytes; the manifest gives %lld", static_cast<long long>(length),
                   static_cast<long long>(m_nExpectedSize));
  } else if (!fits) {
    WriteSetupInfo("package: the answer brings %lld bytes from byte %lld of a package of %lld; the manifest gives %lld",
                   static_cast<long long>(length), static_cast<long long>(first), static_cast<long long>(total),
                   static_cast<long long>(m_nExpectedSize));
  }
  return fits;
}

size_t PackageAnswer::RefuseOverflow() {
  WriteSetupInfo("package: the answer runs on past its end; the manifest gives %lld bytes; its %lld bytes go",
                 static_cast<long long>(m_nExpectedSize), static_cast<long long>(m_nWritten));
  m_verdict = Verdict::kWrongSize;
  // What this answer wrote is not the package; what the file held before it may still be.
  if (fflush(m_pFile) == 0) _chsize_s(_fileno(m_pFile), m_nOffset);
  m_nWritten = 0;
  return 0;
}

void PackageAnswer::KeepValidator(const ResponseHeaders& head, int64_t size) {
  PackageValidator validator;
  validator.strAddress = m_strAddress;
  validator.strETag = head.ETag();
  validator.strLastModified = head.LastModified();
  validator.nSize = size;
  // Without it a later run still continues, with the size as its only check.
  SavePackageValidator(m_pPackagePath, validator);
}

bool PackageAnswer::TakeWholePackage(const ResponseHeaders& head) {
  // Judged before anything is cut: an answer that is not the package, or a disk without room,
  // keeps what the file holds.
  if (!FitsExpectedSize(true, 0, head.ContentLength(), -1)) return Refuse(Verdict::kWrongSize);
  const int64_t length = head.ContentLength() >= 0 ? head.ContentLength() : m_nExpectedSize;
  if (!HasRoomFor(length, m_nOnDisk)) return Refuse(Verdict::kDiskShort);
  if (m_nOnDisk > 0) {
    // The whole package (asked for, or sent because the part on disk is of another file or
    // the server ignores ranges) replaces what the file held instead of being appended.
    WriteSetupInfo("package: the server sends the whole package; the %lld bytes on disk are replaced",
                   static_cast<long long>(m_nOnDisk));
    // A file that cannot be cut stops the transfer as any other failed write does.
    if (fflush(m_pFile) != 0 || _chsize_s(_fileno(m_pFile), 0) != 0) return false;
    m_nOnDisk = m_nOffset = 0;
    if (m_pContext) m_pContext->m_nResumeOffset = 0;
  }
  KeepValidator(head, length);
  m_verdict = Verdict::kWrite;
  return true;
}

bool PackageAnswer::TakeRest(const ResponseHeaders& head) {
  // Only the bytes right after the part on disk, of a package of the size it had, continue it.
  const int64_t total = head.RangeTotal();
  if (!FitsExpectedSize(false, head.RangeFirst(), head.ContentLength(), total)) return Refuse(Verdict::kWrongSize);
  if (m_nOffset == 0 || head.RangeFirst() != m_nOffset ||
      (m_kept.nSize >= 0 && total >= 0 && total != m_kept.nSize)) {
    WriteSetupInfo("package: answer for bytes %lld of %lld does not continue the %lld bytes on disk (of %lld)",
                   static_cast<long long>(head.RangeFirst()), static_cast<long long>(total),
                   static_cast<long long>(m_nOffset), static_cast<long long>(m_kept.nSize));
    return Refuse(Verdict::kRestartFresh);
  }
  const int64_t rest = m_nExpectedSize >= 0 ? m_nExpectedSize - m_nOffset : -1;
  if (!HasRoomFor(head.ContentLength() >= 0 ? head.ContentLength() : rest, 0)) return Refuse(Verdict::kDiskShort);
  // A part left by an installer that kept nothing about it, or continued from another
  // server, is vouched for by this server's validator from now on.
  if ((m_kept.IfRange().empty() && m_kept.nSize < 0) || m_kept.strAddress != m_strAddress)
    KeepValidator(head, total >= 0 ? total : m_nExpectedSize);
  m_verdict = Verdict::kWrite;
  return true;
}

bool PackageAnswer::OnHead(const ResponseHeaders& head) {
  switch (head.Status()) {
    case kStatusOk:
      return TakeWholePackage(head);
    case kStatusPartialContent:
      return TakeRest(head);
    case kStatusRangeNotSatisfiable:
      // The file already holds the whole package, unless the server's package is of
      // another size than what is on disk, or than the manifest gives (a server that says
      // no size says the file is complete at its length).
      if (!FitsExpectedSize(true, 0, head.RangeTotal() >= 0 ? head.RangeTotal() : m_nOffset, -1))
        return Refuse(Verdict::kWrongSize);
      if (m_nOffset == 0 || (head.RangeTotal() >= 0 && head.RangeTotal() != m_nOffset))
        return Refuse(Verdict::kRestartFresh);
      m_verdict = Verdict::kComplete;
      return true;
    default:
      m_verdict = Verdict::kNotPackage;
      return true;
  }
}

size_t PackageAnswer::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* answer = static_cast<PackageAnswer*>(self);
  const size_t bytes = size * count;
  if (answer->m_verdict == Verdict::kWrite) {
    if (answer->m_nExpectedSize >= 0 &&
        answer->m_nOffset + answer->m_nWritten + static_cast<int64_t>(bytes) > answer->m_nExpectedSize)
      return answer->RefuseOverflow();
    const size_t written = WritePackageData(data, size, count, answer->m_pFile, answer->m_pContext);
    answer->m_nWritten += static_cast<int64_t>(written);
    return written;
  }
  // Bodies that are not package bytes are read past, unless the window has gone.
  const bool discard = answer->m_verdict == Verdict::kComplete || answer->m_verdict == Verdict::kNotPackage;
  return discard && IsRunning(answer->m_pContext) ? bytes : 0;
}

}  // namespace setup

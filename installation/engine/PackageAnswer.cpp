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
                             const PackageValidator& kept, SetupContext* context)
    : m_pPackagePath(packagePath),
      m_pFile(file),
      m_nOnDisk(onDisk),
      m_nOffset(offset),
      m_kept(kept),
      m_pContext(context) {}

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

void PackageAnswer::KeepValidator(const ResponseHeaders& head, int64_t size) {
  PackageValidator validator;
  validator.strETag = head.ETag();
  validator.strLastModified = head.LastModified();
  validator.nSize = size;
  // Without it a later run still continues, with the size as its only check.
  SavePackageValidator(m_pPackagePath, validator);
}

bool PackageAnswer::TakeWholePackage(const ResponseHeaders& head) {
  // Judged before anything is cut: a disk without room keeps what it holds.
  if (!HasRoomFor(head.ContentLength(), m_nOnDisk)) return Refuse(Verdict::kDiskShort);
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
  KeepValidator(head, head.ContentLength());
  m_verdict = Verdict::kWrite;
  return true;
}

bool PackageAnswer::TakeRest(const ResponseHeaders& head) {
  // Only the bytes right after the part on disk, of a package of the size it had, continue it.
  const int64_t total = head.RangeTotal();
  if (m_nOffset == 0 || head.RangeFirst() != m_nOffset ||
      (m_kept.nSize >= 0 && total >= 0 && total != m_kept.nSize)) {
    WriteSetupInfo("package: answer for bytes %lld of %lld does not continue the %lld bytes on disk (of %lld)",
                   static_cast<long long>(head.RangeFirst()), static_cast<long long>(total),
                   static_cast<long long>(m_nOffset), static_cast<long long>(m_kept.nSize));
    return Refuse(Verdict::kRestartFresh);
  }
  if (!HasRoomFor(head.ContentLength(), 0)) return Refuse(Verdict::kDiskShort);
  // A part left by an installer that kept nothing about it is vouched for from now on.
  if (m_kept.IfRange().empty() && m_kept.nSize < 0) KeepValidator(head, total);
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
      // another size than what is on disk.
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
    const size_t written = WritePackageData(data, size, count, answer->m_pFile, answer->m_pContext);
    answer->m_nWritten += static_cast<int64_t>(written);
    return written;
  }
  // Bodies that are not package bytes are read past, unless the window has gone.
  const bool discard = answer->m_verdict == Verdict::kComplete || answer->m_verdict == Verdict::kNotPackage;
  return discard && IsRunning(answer->m_pContext) ? bytes : 0;
}

}  // namespace setup

#include "engine/SetupLog.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Common/PlainFile.h"
#include "engine/SetupConstants.h"

namespace setup {

int WriteSetupLog(const char* message) {
  if (!message) message = "";
  // Binary append: the line already carries its "\r\n"; text mode would turn it into "\r\r\n".
  // The current folder is usually a downloads folder that any user may write to: a link left
  // there under the log's name would have the elevated installer write wherever it points.
  FILE* log = OpenPlainFileStream(kLogFileName, PlainFileUse::kAppend);
  if (!log) return -1;

  SYSTEMTIME now;
  GetLocalTime(&now);
  char line[kLogLineBytes];
  int head = snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d Msg:", now.wYear, now.wMonth,
                      now.wDay, now.wHour, now.wMinute, now.wSecond);
  const size_t room = sizeof line - static_cast<size_t>(head) - 3;  // "\r\n" and terminator
  size_t length = strnlen(message, room);
  memcpy(line + head, message, length);
  // Messages carry texts from the server (versions, header lines): a line break in one
  // must not start a line of its own that looks like the installer's.
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(line[head + i]) < 0x20) line[head + i] = ' ';
  }
  memcpy(line + head + length, "\r\n", 3);

  fwrite(line, 1, static_cast<size_t>(head) + length + 2, log);
  fclose(log);
  return 0;
}

int WriteSetupLogF(const char* format, ...) {
  char message[kLogLineBytes];
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);
  return WriteSetupLog(message);
}

int WriteSetupInfo(const char* format, ...) {
  char message[kLogLineBytes];
  const int head = snprintf(message, sizeof message, "%s", kSetupInfoPrefix);
  va_list args;
  va_start(args, format);
  vsnprintf(message + head, sizeof message - static_cast<size_t>(head), format, args);
  va_end(args);
  return WriteSetupLog(message);
}

}  // namespace setup

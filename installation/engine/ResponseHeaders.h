#pragma once
// The head of an HTTP answer as the transfer library hands it over, line by line: the
// fields the two transfers act on, for the latest answer of a transfer (an interim
// "100 Continue" is forgotten when the real answer follows).

#include <curl/curl.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace setup {

class ServerTrust;

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT" and the older forms) as universal time; none
// when the text is not one.
std::optional<SYSTEMTIME> ParseHttpDate(const std::string& text);

class ResponseHeaders {
 public:
  // Called once the head of an answer of status 200 or above is complete, before any of its
  // body is handed over; returning false stops the transfer (the library then reports its
  // write error).
  using HeadCompleteFn = std::function<bool(const ResponseHeaders&)>;

  // Becomes the transfer's header callback. Each answer's status line is first shown to
  // `trust`, when given; an answer it refuses stops the transfer.
  ResponseHeaders(CURL* curl, ServerTrust* trust, HeadCompleteFn onHeadComplete = HeadCompleteFn());
  ResponseHeaders(const ResponseHeaders&) = delete;
  ResponseHeaders& operator=(const ResponseHeaders&) = delete;

  long Status() const { return m_nStatus; }
  bool HeadComplete() const { return m_bComplete; }
  // -1 when the answer gives no length (a chunked or close-delimited body).
  int64_t ContentLength() const { return m_nContentLength; }
  // "Content-Range: bytes first-last/total" or "bytes */total"; -1 for what it does not say
  // (or when the answer has no such field).
  int64_t RangeFirst() const { return m_nRangeFirst; }
  int64_t RangeTotal() const { return m_nRangeTotal; }
  // The validators the server gave for what it sent; empty when it gave none.
  const std::string& ETag() const { return m_strETag; }
  const std::string& LastModified() const { return m_strLastModified; }
  // "gzip", "deflate", ... in lower case; empty for a body sent as it is.
  const std::string& ContentEncoding() const { return m_strContentEncoding; }
  // The fields as sent, empty when absent: the wait a busy server asks for (see
  // RetryAfter.h) and the server's time of the answer.
  const std::string& RetryAfter() const { return m_strRetryAfter; }
  const std::string& Date() const { return m_strDate; }

  // Feeds one header line (status line, field or the empty line that ends the head), as the
  // library's callback does; false when the transfer is to stop.
  bool Take(const char* line, size_t bytes);

 private:
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  void Forget();
  void TakeField(const std::string& name, const std::string& value);

  ServerTrust* m_pTrust;
  HeadCompleteFn m_onHeadComplete;
  long m_nStatus = 0;
  bool m_bComplete = false;
  int64_t m_nContentLength = -1;
  int64_t m_nRangeFirst = -1;
  int64_t m_nRangeTotal = -1;
  std::string m_strETag;
  std::string m_strLastModified;
  std::string m_strContentEncoding;
  std::string m_strRetryAfter;
  std::string m_strDate;
};

}  // namespace setup

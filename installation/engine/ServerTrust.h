#pragma once
// What a transfer from an "https:" address adds to a plain one: the answer is taken only from
// a server whose certificate the machine trusts for the address's host, and no proxy named
// in the environment, which any user may set for the installer, stands in between.

#include <curl/curl.h>

#include <string>

namespace setup {

class ServerTrust {
 public:
  // Sets the transfer's options for an "https:" address; any other address is left as it is.
  ServerTrust(CURL* curl, const char* address);
  ServerTrust(const ServerTrust&) = delete;
  ServerTrust& operator=(const ServerTrust&) = delete;

  // Called as each answer's status line arrives (see ResponseHeaders.h): whether anything of
  // that answer may be taken. For an "https:" address the server's certificate is checked
  // here, before any answer is used, on every system that runs the program (the secure
  // layer checks it too, but not on every one); any other address is always accepted.
  bool AcceptAnswer();

  // The transfer's result as its caller should see it: CURLE_PEER_FAILED_VERIFICATION when
  // a server was refused, whatever the library made of the stopped transfer.
  CURLcode Outcome(CURLcode result) const;

 private:
  bool ServerIsTrusted() const;

  CURL* m_curl;
  bool m_bSecure = false;
  std::string m_strHost;
  bool m_bRefused = false;
};

}  // namespace setup

#include "engine/ServerTrust.h"

#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include "Common/tool.h"
#include "engine/DllSearch.h"

namespace setup {
namespace {

using QueryContextAttributesFn = SECURITY_STATUS(WINAPI*)(PCtxtHandle, ULONG, PVOID);

QueryContextAttributesFn QueryContextAttributesFunction() {
  static const QueryContextAttributesFn function = [] {
    HMODULE library = LoadSystemLibrary(L"secur32.dll");
    return library ? reinterpret_cast<QueryContextAttributesFn>(
                         reinterpret_cast<void*>(GetProcAddress(library, "QueryContextAttributesW")))
                   : nullptr;
  }();
  return function;
}

std::string HostOf(const char* address) {
  std::string host;
  CURLU* url = curl_url();
  char* part = nullptr;
  if (url && curl_url_set(url, CURLUPART_URL, address, 0) == CURLUE_OK &&
      curl_url_get(url, CURLUPART_HOST, &part, 0) == CURLUE_OK && part) {
    host = part;
  }
  curl_free(part);
  curl_url_cleanup(url);
  return host;
}

// Whether the chain leads to a root the machine trusts, with no fault on the way, is good for
// server authentication, and names the host.
bool CertificateIsTrusted(PCCERT_CONTEXT certificate, const std::wstring& host) {
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  char* usages[] = {serverAuth};
  CERT_CHAIN_PARA chainPara = {};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  // Roots the machine trusts, not those of the user's own store, which needs no rights to change.
  if (!CertGetCertificateChain(HCCE_LOCAL_MACHINE, certificate, nullptr, certificate->hCertStore, &chainPara, 0,
                               nullptr, &chain))
    return false;
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslPara = {};
  sslPara.cbSize = sizeof sslPara;
  sslPara.dwAuthType = AUTHTYPE_SERVER;
  sslPara.pwszServerName = const_cast<wchar_t*>(host.c_str());
  CERT_CHAIN_POLICY_PARA policyPara = {};
  policyPara.cbSize = sizeof policyPara;
  policyPara.pvExtraPolicyPara = &sslPara;
  CERT_CHAIN_POLICY_STATUS status = {};
  status.cbSize = sizeof status;
  // The chain's own status is looked at as well: some implementations of the policy let a
  // chain that ends below any trusted root pass.
  const bool trusted = chain->TrustStatus.dwErrorStatus == CERT_TRUST_NO_ERROR &&
                       CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &status) &&
                       status.dwError == 0;
  CertFreeCertificateChain(chain);
  return trusted;
}

}  // namespace

ServerTrust::ServerTrust(CURL* curl, const char* address) : m_curl(curl) {
  if (!curl || !address || _strnicmp(address, "https:", 6) != 0) return;
  m_bSecure = true;
  m_strHost = HostOf(address);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  // A revoked certificate is still refused; a revocation server out of reach does not stop
  // the installation.
  curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
}

CURLcode ServerTrust::Outcome(CURLcode result) const {
  return m_bRefused ? CURLE_PEER_FAILED_VERIFICATION : result;
}

bool ServerTrust::AcceptAnswer() {
  if (!m_bSecure) return true;
  m_bRefused = !ServerIsTrusted();
  return !m_bRefused;
}

bool ServerTrust::ServerIsTrusted() const {
  curl_tlssessioninfo* session = nullptr;
  if (curl_easy_getinfo(m_curl, CURLINFO_TLS_SSL_PTR, &session) != CURLE_OK || !session ||
      session->backend != CURLSSLBACKEND_SCHANNEL || !session->internals)
    return false;
  const QueryContextAttributesFn query = QueryContextAttributesFunction();
  PCCERT_CONTEXT certificate = nullptr;
  if (!query ||
      query(static_cast<PCtxtHandle>(session->internals), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
      !certificate)
    return false;
  const bool trusted = CertificateIsTrusted(certificate, WideText(m_strHost));
  CertFreeCertificateContext(certificate);
  return trusted;
}

}  // namespace setup

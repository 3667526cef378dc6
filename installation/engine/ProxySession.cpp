#include "engine/ProxySession.h"

#include "Common/tool.h"
#include "engine/SetupLog.h"
#include "engine/SetupObserver.h"

namespace setup {
namespace {

constexpr int kMostLoginQuestions = 2;
constexpr long kProxyAuthenticationRequired = 407;

// The realm of a proxy's Basic challenge ("Basic realm="Company proxy""), wherever the
// answer came: the tunnel's CONNECT or the proxy's own answer.
std::string BasicRealm(CURL* curl) {
  for (unsigned origin : {CURLH_CONNECT, CURLH_HEADER}) {
    for (size_t index = 0;; ++index) {
      curl_header* header = nullptr;
      if (curl_easy_header(curl, "Proxy-Authenticate", index, origin, -1, &header) != CURLHE_OK) break;
      const std::string value = header->value ? header->value : "";
      if (value.size() < 5 || _strnicmp(value.c_str(), "basic", 5) != 0) continue;
      const size_t realm = value.find("realm=\"");
      if (realm == std::string::npos) return std::string();
      const size_t end = value.find('"', realm + 7);
      return value.substr(realm + 7, end == std::string::npos ? std::string::npos : end - realm - 7);
    }
  }
  return std::string();
}

std::string Offered(long methods) {
  std::string names;
  for (const auto& [bit, name] : {std::pair<long, const char*>{CURLAUTH_BASIC, "Basic"}, {CURLAUTH_NTLM, "NTLM"},
                                  {CURLAUTH_NEGOTIATE, "Negotiate"}, {CURLAUTH_DIGEST, "Digest"}}) {
    if (!(methods & bit)) continue;
    if (!names.empty()) names += ", ";
    names += name;
  }
  return names.empty() ? "nothing this installer speaks" : names;
}

}  // namespace

ProxySession::Roads& ProxySession::RoadsFor(const std::string& address) {
  auto found = m_roads.find(address);
  if (found != m_roads.end()) return found->second;
  Roads roads;
  roads.plan = DiscoverProxy(address);
  std::string routes;
  for (const std::string& proxy : roads.plan.proxies) routes += (routes.empty() ? "" : ", ") + proxy;
  if (roads.plan.bDirect) routes += routes.empty() ? "direct" : ", then direct";
  WriteSetupInfo("proxy for %s: %s (%s)", address.c_str(), routes.c_str(), roads.plan.strSource.c_str());
  return m_roads.emplace(address, roads).first->second;
}

void ProxySession::Apply(CURL* curl, const std::string& address) { ApplyRoute(curl, &RoadsFor(address)); }

void ProxySession::ApplyRouteOf(CURL* curl, const std::string& address) {
  const auto found = m_roads.find(address);
  ApplyRoute(curl, found == m_roads.end() ? nullptr : &found->second);
}

const char* ProxySession::RoadKind(const std::string& address) const {
  const auto found = m_roads.find(address);
  if (found == m_roads.end() || found->second.nRoute >= found->second.plan.proxies.size()) return "direct";
  return found->second.plan.bScript ? "script" : "proxy";
}

void ProxySession::ApplyRoute(CURL* curl, const Roads* roads) {
  // An empty proxy means none at all, and never one from the environment.
  const std::string proxy = roads && roads->nRoute < roads->plan.proxies.size()
                                ? "http://" + roads->plan.proxies[roads->nRoute]
                                : std::string();
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  // The tunnel's own answers are the proxy's, not the server's: the transfer never sees them.
  curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  if (m_strUser.empty()) {
    // The user's own Windows sign-in, through the system's security packages; no password
    // is typed or held.
    curl_easy_setopt(curl, CURLOPT_PROXYAUTH, CURLAUTH_NEGOTIATE | CURLAUTH_NTLM);
    curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, ":");
  } else {
    curl_easy_setopt(curl, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, m_strUser.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, m_strPassword.c_str());
  }
}

ProxySession::Next ProxySession::AfterAttempt(CURL* curl, const std::string& address, CURLcode result,
                                              ISetupObserver* observer) {
  Roads& roads = RoadsFor(address);
  const bool throughProxy = roads.nRoute < roads.plan.proxies.size();
  if (!throughProxy) return Next::kCarryOn;
  const std::string proxy = roads.plan.proxies[roads.nRoute];

  if (result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_COULDNT_CONNECT) {
    const bool another = roads.nRoute + 1 < roads.plan.proxies.size() || roads.plan.bDirect;
    WriteSetupInfo("proxy %s cannot be reached (result %d)%s", proxy.c_str(), result,
                   another ? ": the next road is taken" : "");
    if (!another) {
      roads.nRoute = 0;  // a later retry starts from the first road again
      return Next::kCarryOn;
    }
    ++roads.nRoute;
    return Next::kTryAgainNow;
  }

  long status = 0, connectStatus = 0, offered = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &connectStatus);
  if (status != kProxyAuthenticationRequired && connectStatus != kProxyAuthenticationRequired) return Next::kCarryOn;
  curl_easy_getinfo(curl, CURLINFO_PROXYAUTH_AVAIL, &offered);
  WriteSetupInfo("proxy %s asks who is asking (it takes %s)%s", proxy.c_str(), Offered(offered).c_str(),
                 m_strUser.empty() ? "" : ": the login given was refused");
  if (!(offered & CURLAUTH_BASIC) || m_nAsked >= kMostLoginQuestions || !observer) return Next::kGiveUp;
  std::wstring user, password;
  const bool again = m_nAsked > 0;
  ++m_nAsked;
  if (!observer->AskProxyLogin(WideText(proxy), WideText(BasicRealm(curl)), again, user, password)) {
    WriteSetupInfo("proxy login: not given");
    return Next::kGiveUp;
  }
  m_strUser = Utf8Text(user);
  m_strPassword = Utf8Text(password);
  if (!password.empty()) SecureZeroMemory(&password[0], password.size() * sizeof(wchar_t));
  return Next::kTryAgainNow;
}

}  // namespace setup

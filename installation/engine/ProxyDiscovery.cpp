#include "engine/ProxyDiscovery.h"

#include <windows.h>

#include <winhttp.h>

#include <cwctype>
#include <string>

#include "engine/DllSearch.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

// The platform's strings in its proxy records are the caller's to free.
class GlobalText {
 public:
  explicit GlobalText(LPWSTR text = nullptr) : m_text(text) {}
  ~GlobalText() {
    if (m_text) GlobalFree(m_text);
  }
  GlobalText(const GlobalText&) = delete;
  GlobalText& operator=(const GlobalText&) = delete;
  std::wstring str() const { return m_text ? m_text : L""; }
  bool empty() const { return !m_text || !*m_text; }

 private:
  LPWSTR m_text;
};

// The platform's HTTP library, loaded from the system folder for one discovery and let go
// after it: it is needed only to read the settings, and what it keeps in memory would
// otherwise stay through the download.
class WinHttp {
 public:
  WinHttp() : m_module(LoadSystemLibrary(L"winhttp.dll")) {
    if (!m_module) return;
    Find(open, "WinHttpOpen");
    Find(close, "WinHttpCloseHandle");
    Find(userSettings, "WinHttpGetIEProxyConfigForCurrentUser");
    Find(machineSettings, "WinHttpGetDefaultProxyConfiguration");
    Find(proxyForUrl, "WinHttpGetProxyForUrl");
    Find(setCallback, "WinHttpSetStatusCallback");
    // Since Windows 8 only: the script's whole answer.
    Find(createResolver, "WinHttpCreateProxyResolver");
    Find(proxyForUrlEx, "WinHttpGetProxyForUrlEx");
    Find(proxyResult, "WinHttpGetProxyResult");
    Find(freeProxyResult, "WinHttpFreeProxyResult");
  }
  ~WinHttp() {
    if (m_module && !m_bKept) FreeLibrary(m_module);
  }
  // A request the library may still answer on its own threads keeps it loaded for good.
  void KeepLoaded() { m_bKept = true; }
  WinHttp(const WinHttp&) = delete;
  WinHttp& operator=(const WinHttp&) = delete;

  bool Loaded() const { return open && close && userSettings && machineSettings && proxyForUrl && setCallback; }
  bool HasWholeAnswer() const { return createResolver && proxyForUrlEx && proxyResult && freeProxyResult; }

  decltype(&WinHttpOpen) open = nullptr;
  decltype(&WinHttpCloseHandle) close = nullptr;
  decltype(&WinHttpGetIEProxyConfigForCurrentUser) userSettings = nullptr;
  decltype(&WinHttpGetDefaultProxyConfiguration) machineSettings = nullptr;
  decltype(&WinHttpGetProxyForUrl) proxyForUrl = nullptr;
  decltype(&WinHttpSetStatusCallback) setCallback = nullptr;
  DWORD(WINAPI* createResolver)(HINTERNET, HINTERNET*) = nullptr;
  DWORD(WINAPI* proxyForUrlEx)(HINTERNET, PCWSTR, WINHTTP_AUTOPROXY_OPTIONS*, DWORD_PTR) = nullptr;
  DWORD(WINAPI* proxyResult)(HINTERNET, WINHTTP_PROXY_RESULT*) = nullptr;
  VOID(WINAPI* freeProxyResult)(WINHTTP_PROXY_RESULT*) = nullptr;

 private:
  template <typename Function>
  void Find(Function& function, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
  }

  HMODULE m_module;
  bool m_bKept = false;
};

class Session {
 public:
  Session(const WinHttp& http, DWORD flags)
      : m_http(http), m_handle(http.open(L"Quillmere setup", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, flags)) {}
  ~Session() {
    if (m_handle) m_http.close(m_handle);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  HINTERNET get() const { return m_handle; }

 private:
  const WinHttp& m_http;
  HINTERNET m_handle;
};

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::vector<std::wstring> Split(const std::wstring& text, const wchar_t* separators) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find_first_of(separators, start);
    const std::wstring part = Trimmed(text.substr(start, end == std::wstring::npos ? end : end - start));
    if (!part.empty()) parts.push_back(part);
    if (end == std::wstring::npos) return parts;
    start = end + 1;
  }
}

bool WildcardMatch(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == L'\0') return *text == L'\0';
  if (*pattern == L'*') return WildcardMatch(pattern + 1, text) || (*text && WildcardMatch(pattern, text + 1));
  return *text && *pattern == *text && WildcardMatch(pattern + 1, text + 1);
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// Scheme and host of an address ("http://host:port/path").
void SchemeAndHost(const std::string& address, std::wstring& scheme, std::wstring& host) {
  const size_t colon = address.find("://");
  scheme.assign(address.begin(), address.begin() + (colon == std::string::npos ? 0 : colon));
  const size_t start = colon == std::string::npos ? 0 : colon + 3;
  size_t end = address.find_first_of(":/", start);
  if (address.compare(start, 1, "[") == 0) {  // "[::1]"
    const size_t bracket = address.find(']', start);
    end = bracket == std::string::npos ? std::string::npos : bracket + 1;
  }
  host.assign(address.begin() + start, end == std::string::npos ? address.end() : address.begin() + end);
  scheme = Lower(scheme);
  host = Lower(host);
}

// The script's whole answer, every proxy in order and whether it ends in DIRECT, as systems
// since Windows 8 give it. Looked up by name: older systems (and Wine) lack it, and the
// classic call gives only the first road there.
void CALLBACK OnResolverEvent(HINTERNET, DWORD_PTR event, DWORD, LPVOID, DWORD) {
  SetEvent(reinterpret_cast<HANDLE>(event));
}

bool WholeScriptAnswer(WinHttp& http, const std::wstring& url, const WINHTTP_AUTOPROXY_OPTIONS& options,
                       ProxyPlan& plan) {
  if (!http.HasWholeAnswer()) return false;
  Session session(http, WINHTTP_FLAG_ASYNC);
  HINTERNET resolver = nullptr;
  bool found = false;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (session.get() && done && http.createResolver(session.get(), &resolver) == ERROR_SUCCESS) {
    http.setCallback(resolver, OnResolverEvent,
                     WINHTTP_CALLBACK_FLAG_REQUEST_ERROR | WINHTTP_CALLBACK_FLAG_GETPROXYFORURL_COMPLETE, 0);
  WINHTTP_AUTOPROXY_OPTIONS asked = options;
    const bool pending =
        http.proxyForUrlEx(resolver, url.c_str(), &asked, reinterpret_cast<DWORD_PTR>(done)) == ERROR_IO_PENDING;
    if (pending && WaitForSingleObject(done, 60000) != WAIT_OBJECT_0) {
      // The script never answered: its callback may still come, so the event it sets and the
      // library it runs in stay as they are.
      http.KeepLoaded();
      done = nullptr;
    } else if (pending) {
      WINHTTP_PROXY_RESULT answer = {};
      if (http.proxyResult(resolver, &answer) == ERROR_SUCCESS) {
        plan = ProxyPlan();
        plan.bDirect = answer.cEntries == 0;
        for (DWORD i = 0; i < answer.cEntries; ++i) {
          const WINHTTP_PROXY_RESULT_ENTRY& entry = answer.pEntries[i];
          if (!entry.fProxy) {
            plan.bDirect = true;
          } else if (entry.pwszProxy && entry.ProxyScheme == INTERNET_SCHEME_HTTP) {
            plan.proxies.push_back(Narrow(entry.pwszProxy) + ":" + std::to_string(entry.ProxyPort));
          }
        }
        http.freeProxyResult(&answer);
        found = true;
      }
    }
  }
  if (resolver) http.close(resolver);
  if (done) CloseHandle(done);
  return found;
}

ProxyPlan Direct(const char* source) {
  ProxyPlan plan;
  plan.strSource = source;
  return plan;
}

}  // namespace

ProxyPlan ParseProxyList(const std::wstring& list, const std::wstring& scheme) {
  ProxyPlan plan;
  plan.bDirect = false;
  for (const std::wstring& entry : Split(list, L";")) {
    std::wstring proxy = entry;
    const size_t equals = entry.find(L'=');
    if (equals != std::wstring::npos) {
      if (Lower(Trimmed(entry.substr(0, equals))) != Lower(scheme)) continue;
      proxy = Trimmed(entry.substr(equals + 1));
    }
    const std::vector<std::wstring> words = Split(proxy, L" \t");
    if (words.empty()) continue;
    const std::wstring kind = Lower(words[0]);
    if (kind == L"direct") {
      plan.bDirect = true;
      continue;
    }
    if (words.size() == 2 && (kind == L"proxy" || kind == L"http")) proxy = words[1];
    else if (words.size() != 1) continue;  // SOCKS and the like: not a road this installer takes
    // "http://host:port/" as well as "host:port".
    const size_t colon = proxy.find(L"://");
    if (colon != std::wstring::npos) proxy = proxy.substr(colon + 3);
    if (!proxy.empty() && proxy.back() == L'/') proxy.pop_back();
    if (!proxy.empty()) plan.proxies.push_back(Narrow(proxy));
  }
  if (plan.proxies.empty()) plan.bDirect = true;
  return plan;
}

bool BypassesProxy(const std::wstring& host, const std::wstring& bypass) {
  const std::wstring name = Lower(host);
  for (const std::wstring& entry : Split(bypass, L";, \t")) {
    std::wstring pattern = Lower(entry);
    if (pattern == L"<local>") {
      if (name.find(L'.') == std::wstring::npos && name.find(L':') == std::wstring::npos) return true;
      continue;
    }
    const size_t colon = pattern.find(L"://");
    if (colon != std::wstring::npos) pattern = pattern.substr(colon + 3);
    if (WildcardMatch(pattern.c_str(), name.c_str())) return true;
  }
  return false;
}

ProxyPlan DiscoverProxy(const std::string& address) {
  std::wstring scheme, host;
  SchemeAndHost(address, scheme, host);
  const std::wstring url(address.begin(), address.end());

  WinHttp http;
  if (!http.Loaded()) {
    WriteSetupInfo("proxy: the system's HTTP library cannot be had (error %lu): direct", GetLastError());
    return Direct("no proxy settings to read");
  }
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user = {};
  if (http.userSettings(&user)) {
    GlobalText script(user.lpszAutoConfigUrl), fixed(user.lpszProxy), bypass(user.lpszProxyBypass);
    if (user.fAutoDetect || !script.empty()) {
      WINHTTP_AUTOPROXY_OPTIONS options = {};
      if (!script.empty()) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = user.lpszAutoConfigUrl;
      }
      if (user.fAutoDetect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
      }
      options.fAutoLogonIfChallenged = TRUE;
      const char* source = script.empty() ? "automatic detection" : "configuration script";
      ProxyPlan whole;
      if (WholeScriptAnswer(http, url, options, whole)) {
        whole.strSource = source;
        whole.bScript = true;
        return whole;
      }
      Session session(http, 0);
      WINHTTP_PROXY_INFO found = {};
      if (session.get() && http.proxyForUrl(session.get(), url.c_str(), &options, &found)) {
        GlobalText proxies(found.lpszProxy), skip(found.lpszProxyBypass);
        ProxyPlan plan = found.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY ? ParseProxyList(proxies.str(), scheme)
                                                                             : Direct("");
        plan.strSource = source;
        plan.bScript = true;
        return plan;
      }
      // As the platform's own clients do, a script that cannot be had leaves the other settings.
      WriteSetupInfo("proxy: the %s gave nothing (error %lu)", script.empty() ? "automatic detection" : "configuration script",
                     GetLastError());
    }
    if (!fixed.empty()) {
      if (BypassesProxy(host, bypass.str())) return Direct("bypass list of the user's proxy");
      ProxyPlan plan = ParseProxyList(fixed.str(), scheme);
      plan.strSource = "the user's proxy";
      return plan;
    }
  }

  WINHTTP_PROXY_INFO machine = {};
  if (http.machineSettings(&machine)) {
    GlobalText proxies(machine.lpszProxy), bypass(machine.lpszProxyBypass);
    if (machine.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && !proxies.empty()) {
      if (BypassesProxy(host, bypass.str())) return Direct("bypass list of the machine's proxy");
      ProxyPlan plan = ParseProxyList(proxies.str(), scheme);
      plan.strSource = "the machine's proxy";
      return plan;
    }
  }
  return Direct("no proxy configured");
}

}  // namespace setup

// The way to the download server the machine's settings name: the user's Internet settings
// (written the way the system's settings page keeps them), a configuration script served
// from loopback, the machine-wide setting, and the lists they use.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <winhttp.h>

#include <string>
#include <vector>

#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "RecordingObserver.h"
#include "engine/HttpFetch.h"
#include "engine/ProxyDiscovery.h"
#include "engine/SetupContext.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {

struct ListCase {
  const wchar_t* list;
  const wchar_t* scheme;
  std::vector<std::string> proxies;
  bool direct;
};

class ProxyListTest : public ::testing::TestWithParam<ListCase> {};

struct BypassCase {
  const wchar_t* host;
  const wchar_t* bypass;
  bool bypassed;
};

class BypassTest : public ::testing::TestWithParam<BypassCase> {};

constexpr wchar_t kConnections[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// The user's settings as the system keeps them: a header (the format's mark, a change count,
// what is switched on), then the proxy, the bypass list and the script's address.
void WriteUserSettings(DWORD flags, const std::string& proxy, const std::string& bypass, const std::string& script) {
  std::string blob;
  const auto dword = [&blob](DWORD value) { blob.append(reinterpret_cast<const char*>(&value), sizeof value); };
  const auto text = [&](const std::string& value) {
    dword(static_cast<DWORD>(value.size()));
    blob += value;
  };
  dword(0x46);
  dword(1);
  dword(flags);
  text(proxy);
  text(bypass);
  text(script);
  blob.append(32, '\0');
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kConnections, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"DefaultConnectionSettings", 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()),
                 static_cast<DWORD>(blob.size()));
  RegCloseKey(key);
}

constexpr DWORD kDirect = 1, kFixedProxy = 2, kScript = 4;

// The challenge proxy's log, as a Windows path (Wine shows the Unix root as Z:).
std::wstring HostLogPath() {
  std::wstring path = L"Z:";
  for (const char* p = QUILL_TEST_CHALLENGE_PROXY_LOG; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

class ProxySettingsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kConnections);
    WINHTTP_PROXY_INFO none = {WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr};
    WinHttpSetDefaultProxyConfiguration(&none);
  }
};

}  // namespace

TEST_P(ProxyListTest, NamesTheProxiesInOrder) {
  const ProxyPlan plan = ParseProxyList(GetParam().list, GetParam().scheme);
  EXPECT_EQ(plan.proxies, GetParam().proxies);
  EXPECT_EQ(plan.bDirect, GetParam().direct);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ProxyListTest,
    ::testing::Values(ListCase{L"proxy:3128", L"http", {"proxy:3128"}, false},
                      ListCase{L"a:1; b:2", L"https", {"a:1", "b:2"}, false},
                      ListCase{L"http=a:1;https=b:2", L"https", {"b:2"}, false},
                      ListCase{L"http=a:1;https=b:2", L"ftp", {}, true},
                      ListCase{L"PROXY a:1; PROXY b:2; DIRECT", L"http", {"a:1", "b:2"}, true},
                      ListCase{L"DIRECT", L"http", {}, true},
                      ListCase{L"SOCKS s:1080; PROXY a:1", L"http", {"a:1"}, false},
                      ListCase{L"http://a:1/", L"http", {"a:1"}, false}, ListCase{L"", L"http", {}, true}));

TEST_P(BypassTest, MatchesNamesWildcardsAndLocalNames) {
  EXPECT_EQ(BypassesProxy(GetParam().host, GetParam().bypass), GetParam().bypassed);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BypassTest,
    ::testing::Values(BypassCase{L"intranet", L"<local>", true}, BypassCase{L"download.example.com", L"<local>", false},
                      BypassCase{L"download.example.com", L"*.example.com;10.*", true},
                      BypassCase{L"10.1.2.3", L"*.example.com;10.*", true},
                      BypassCase{L"Download.Example.COM", L"download.example.com", true},
                      BypassCase{L"example.com.evil", L"*.example.com", false},
                      BypassCase{L"127.0.0.1", L"http://127.0.0.1", true}));

TEST_F(ProxySettingsTest, TheUsersFixedProxyIsTakenUnlessItsBypassListNamesTheHost) {
  WriteUserSettings(kDirect | kFixedProxy, "proxy.corp:3128", "<local>;*.internal", "");
  ProxyPlan plan = DiscoverProxy("http://download.example.com/down/quillclient/CHS/version.xml");
  EXPECT_EQ(plan.proxies, std::vector<std::string>{"proxy.corp:3128"});
  EXPECT_FALSE(plan.bDirect) << "a fixed proxy that is down is not gone around";
  EXPECT_EQ(plan.strSource, "the user's proxy");
  plan = DiscoverProxy("https://mirror.internal/down/quillclient/CHS/quillmere.zip");
  EXPECT_TRUE(plan.proxies.empty());
  EXPECT_EQ(plan.strSource, "bypass list of the user's proxy");
  // An address cut inside its bracketed host is read to its end, not from before its start.
  plan = DiscoverProxy("http://[::1");
  EXPECT_EQ(plan.proxies, std::vector<std::string>{"proxy.corp:3128"});
}

TEST_F(ProxySettingsTest, TheMachinesSettingServesWhenTheUserHasNone) {
  WINHTTP_PROXY_INFO machine = {WINHTTP_ACCESS_TYPE_NAMED_PROXY, const_cast<wchar_t*>(L"gateway:8080"),
                                const_cast<wchar_t*>(L"<local>")};
  ASSERT_TRUE(WinHttpSetDefaultProxyConfiguration(&machine));
  const ProxyPlan plan = DiscoverProxy("http://download.example.com/down/quillclient/CHS/version.xml");
  EXPECT_EQ(plan.proxies, std::vector<std::string>{"gateway:8080"});
  EXPECT_EQ(plan.strSource, "the machine's proxy");
}

TEST_F(ProxySettingsTest, NothingConfiguredGoesDirect) {
  const ProxyPlan plan = DiscoverProxy("http://download.example.com/x");
  EXPECT_TRUE(plan.proxies.empty());
  EXPECT_TRUE(plan.bDirect);
  EXPECT_EQ(plan.strSource, "no proxy configured");
}

// The script is served by the test server's nginx; it sends the package through a proxy and
// the manifest direct.
TEST_F(ProxySettingsTest, AConfigurationScriptDecidesForEachAddress) {
  ASSERT_TRUE(WriteFileBytes(ServedFolder() + L"\\proxy.pac",
                             "function FindProxyForURL(url, host) {\n"
                             "  if (shExpMatch(url, \"*.zip\")) return \"PROXY first:3128; PROXY second:3128; DIRECT\";\n"
                             "  return \"DIRECT\";\n}\n"));
  WriteUserSettings(kDirect | kScript, "", "", DirectScriptAddress());
  ProxyPlan plan = DiscoverProxy("http://download.example.com/down/quillclient/CHS/quillmere.zip");
  ASSERT_FALSE(plan.proxies.empty());
  EXPECT_EQ(plan.proxies.front(), "first:3128");
  // Systems that give the script's whole answer give every road of it; the classic call
  // (the only one Wine has) gives the first.
  if (plan.proxies.size() > 1) {
    EXPECT_EQ(plan.proxies, (std::vector<std::string>{"first:3128", "second:3128"}));
    EXPECT_TRUE(plan.bDirect);
  }
  EXPECT_EQ(plan.strSource, "configuration script");
  plan = DiscoverProxy("http://download.example.com/down/quillclient/CHS/version.xml");
  EXPECT_TRUE(plan.proxies.empty());
  EXPECT_TRUE(plan.bDirect);
  DeleteFileW((ServedFolder() + L"\\proxy.pac").c_str());
}

// A proxy tied to a Windows domain takes only the platform's own sign-in (Negotiate, NTLM):
// the run answers it through the system's security packages and never asks the person for a
// password the proxy would not take. (tests/fixtures/proxy/challenge_proxy.py answers 407 to
// everything and logs what each request carried.)
TEST_F(ProxySettingsTest, AProxyTakingOnlyTheWindowsSignInIsNeverGivenATypedPassword) {
  WriteUserSettings(kDirect | kFixedProxy, "127.0.0.1:" + std::to_string(QUILL_TEST_CHALLENGE_PROXY_PORT), "", "");
  RecordingObserver observer;
  observer.SetLogins({{L"user", L"password"}});
  SetupContext context;
  context.m_pObserver = &observer;
  context.m_bRunning = true;
  context.m_timings = fetch_testing::QuickTimings();
  ScratchFolder folder(L"challenged");
  fetch_testing::ClearRunState();
  EXPECT_EQ(DownloadPackage("http://download.example.com/down/quillclient/CHS/quillmere.zip",
                            (folder / L"setup.zip").c_str(), &context, false),
            22);
  EXPECT_TRUE(observer.LoginQuestions().empty()) << "the person was asked for a password the proxy does not take";
  const std::string proxy = "proxy 127.0.0.1:" + std::to_string(QUILL_TEST_CHALLENGE_PROXY_PORT);
  EXPECT_THAT(fetch_testing::InfoMessages(),
              ::testing::Contains(::testing::AllOf(::testing::StartsWith(proxy + " asks who is asking (it takes "),
                                                   ::testing::HasSubstr("Negotiate"))));
  const std::vector<std::string> requests = ReadLines(HostLogPath());
  ASSERT_GE(requests.size(), 2u) << "the challenge was answered with another request";
  EXPECT_EQ(requests.front(), "GET -") << "the first request asks without credentials";
  // The second carries the platform's token where its security packages make one (Wine's,
  // without a domain to sign in to, make none and the request goes without).
  for (const std::string& request : requests) {
    EXPECT_TRUE(request == "GET -" || request.rfind("GET NTLM ", 0) == 0 || request.rfind("GET Negotiate ", 0) == 0)
        << request;
  }
}

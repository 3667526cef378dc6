#pragma once
// The way to the download server that the machine's own programs would take: the Internet
// settings of the user the installer runs as (a configuration script, automatic detection,
// a fixed proxy with its bypass list), then the machine-wide setting, then direct. Nothing
// comes from environment variables, which any user may set for an elevated program.

#include <string>
#include <vector>

namespace setup {

// The routes for one address, in the order to try them.
struct ProxyPlan {
  std::vector<std::string> proxies;  // "host:port", in order
  bool bDirect = true;               // going direct is allowed, after the proxies
  std::string strSource = "no proxy configured";  // why, for the setup log
  bool bScript = false;  // named by a configuration script or automatic detection
};

// The proxies a list names for `scheme` ("http", "https"), in order, and whether it allows
// going direct. Takes the platform's forms: "a:1;b:2", "http=a:1;https=b:2" (an entry
// without a scheme serves every scheme), and a script's "PROXY a:1; DIRECT". A list that
// names no proxy goes direct.
ProxyPlan ParseProxyList(const std::wstring& list, const std::wstring& scheme);

// Whether `host` is one the bypass list sends direct: entries separated by ";" (or ","
// or spaces), "*" standing for any characters, "<local>" for names without a dot.
bool BypassesProxy(const std::wstring& host, const std::wstring& bypass);

// The plan for `address`. May take a while: a configuration script is fetched and run.
ProxyPlan DiscoverProxy(const std::string& address);

}  // namespace setup

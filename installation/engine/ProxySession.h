#pragma once
// A setup run's way through proxies: the plan of each address (found once, on the worker),
// the route each address takes now, and who the run says it is to a proxy that asks.

#include <curl/curl.h>

#include <map>
#include <string>

#include "engine/ProxyDiscovery.h"

namespace setup {

class ISetupObserver;

class ProxySession {
 public:
  // What the transfer does after an attempt made through the current route.
  enum class Next {
    kCarryOn,      // nothing of the proxy's doing: the transfer's own handling decides
    kTryAgainNow,  // another route, or the proxy's question answered: at once, not counted
    kGiveUp,       // the proxy turned the run away (no login it takes); not worth a retry
  };

  // Sets `curl` to go the current route for `address`, finding the address's plan the first
  // time, and to answer a proxy's question with the user's own sign-in or the login given.
  void Apply(CURL* curl, const std::string& address);

  // After an attempt through `curl` ended with `result`: a proxy that cannot be reached gives
  // way to the next route; one that asks for a login it takes by name and password has the
  // observer ask the person (twice at most in a run). Nothing given is logged or stored.
  Next AfterAttempt(CURL* curl, const std::string& address, CURLcode result, ISetupObserver* observer);

  // Sets `curl` to go the route `address` takes now, without looking for its plan: direct
  // when it has none yet. For a transfer that must not wait for a configuration script.
  void ApplyRouteOf(CURL* curl, const std::string& address);

  // The kind of route `address` takes now: "direct", "proxy" (one named in the settings) or
  // "script" (named by a configuration script or automatic detection).
  const char* RoadKind(const std::string& address) const;

 private:
  struct Roads {
    ProxyPlan plan;
    size_t nRoute = 0;  // index into plan.proxies; == size() for direct
  };
  Roads& RoadsFor(const std::string& address);
  void ApplyRoute(CURL* curl, const Roads* roads);

  std::map<std::string, Roads> m_roads;
  std::string m_strUser;      // UTF-8, as a Basic login goes on the wire
  std::string m_strPassword;
  int m_nAsked = 0;
};

}  // namespace setup

#pragma once

#include <functional>
#include <string>
#include <vector>

// Which proxy the engine's network requests take. Loopback (the application's
// own server) is always reached directly, whatever the environment says; other
// addresses keep the proxy the environment names, or the desktop's settings.
struct ProxyPlan {
    // false: the desktop's own settings, nothing of the environment to follow.
    bool custom = false;
    std::string defaultProxy; // all_proxy; empty: direct
    std::string httpProxy, httpsProxy;
    std::vector<std::string> ignoreHosts; // reached directly

    // From the environment's http_proxy, https_proxy, all_proxy and no_proxy
    // (either case; the lower-case one wins, as curl reads them).
    static ProxyPlan FromEnvironment(const std::function<std::string(const char*)>& getenv);
    static const std::vector<std::string>& Loopback();
};

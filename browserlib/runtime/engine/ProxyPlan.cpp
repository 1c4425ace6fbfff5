#include "browserlib/runtime/engine/ProxyPlan.h"

#include <algorithm>
#include <cctype>

const std::vector<std::string>& ProxyPlan::Loopback() {
    static const std::vector<std::string> loopback = {"localhost", "127.0.0.0/8", "::1"};
    return loopback;
}

ProxyPlan ProxyPlan::FromEnvironment(const std::function<std::string(const char*)>& getenv) {
    const auto variable = [&](const char* lower, const char* upper) {
        std::string value = getenv(lower);
        return value.empty() ? getenv(upper) : value;
    };
    ProxyPlan plan;
    plan.httpProxy = variable("http_proxy", "HTTP_PROXY");
    plan.httpsProxy = variable("https_proxy", "HTTPS_PROXY");
    plan.defaultProxy = variable("all_proxy", "ALL_PROXY");
    plan.custom = !plan.httpProxy.empty() || !plan.httpsProxy.empty() || !plan.defaultProxy.empty();
    if (!plan.custom)
        return plan;
    plan.ignoreHosts = Loopback();
    const std::string noProxy = variable("no_proxy", "NO_PROXY");
    size_t start = 0;
    while (start <= noProxy.size()) {
        size_t end = noProxy.find(',', start);
        if (end == std::string::npos)
            end = noProxy.size();
        std::string host = noProxy.substr(start, end - start);
        host.erase(std::remove_if(host.begin(), host.end(),
                                  [](unsigned char c) { return std::isspace(c); }),
                   host.end());
        // "*" means no proxy at all; ".example.org" and "example.org" alike.
        if (host == "*") {
            plan.custom = true;
            plan.defaultProxy.clear();
            plan.httpProxy.clear();
            plan.httpsProxy.clear();
        } else if (!host.empty() && std::find(plan.ignoreHosts.begin(), plan.ignoreHosts.end(),
                                              host) == plan.ignoreHosts.end()) {
            plan.ignoreHosts.push_back(host);
        }
        start = end + 1;
    }
    return plan;
}

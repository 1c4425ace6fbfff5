#pragma once

#include "browserlib/api/DocumentRule.h"

#include <string>
#include <vector>

// DocumentRule lists as WebKit's content rule lists, which the web process
// checks before a request leaves. Free of WebKit itself.
class ContentRuleList {
public:
    // The JSON source; "[]" for no rules.
    static std::string Json(const std::vector<DocumentRule>& rules);
    // A rule's "url-filter": a regular expression of the engine's restricted
    // kind, ASCII only, matched against the whole address, case ignored.
    static std::string UrlFilter(const DocumentRule& rule);
};

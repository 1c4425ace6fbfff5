#include "browserlib/runtime/engine/DocumentRules.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The host of an http or https address as the engine writes it (lower case),
// without user information and port; empty for any other address.
bool HostOf(const std::string& lowerUrl, std::string* host) {
    size_t start;
    if (lowerUrl.rfind("http://", 0) == 0)
        start = 7;
    else if (lowerUrl.rfind("https://", 0) == 0)
        start = 8;
    else
        return false;
    const size_t end = lowerUrl.find_first_of("/?#", start);
    std::string authority = lowerUrl.substr(start, end == std::string::npos ? end : end - start);
    const size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority.erase(0, at + 1);
    size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) != std::string::npos)
        colon = std::string::npos; // inside an IPv6 literal
    *host = authority.substr(0, colon);
    return true;
}
} // namespace

bool DocumentRules::Matches(const DocumentRule& rule, const std::string& url) {
    const std::string lower = Lower(url);
    std::string host;
    if (!HostOf(lower, &host))
        return false;
    switch (rule.match) {
    case DocumentRule::Match::AnyWebAddress:
        return true;
    case DocumentRule::Match::Host:
        return host == Lower(rule.text);
    case DocumentRule::Match::Prefix:
        return lower.rfind(Lower(rule.text), 0) == 0;
    case DocumentRule::Match::Exact:
        return lower == Lower(rule.text);
    }
    return false;
}

bool DocumentRules::Blocks(const std::vector<DocumentRule>& rules, const std::string& url) {
    bool blocked = false;
    for (const DocumentRule& rule : rules)
        if (Matches(rule, url))
            blocked = rule.action == DocumentRule::Action::Block;
    return blocked;
}

#include "browserlib/runtime/engine/webkit/ContentRuleList.h"

#include <cstring>

namespace {
// `text` matched literally; anything outside printable ASCII as the engine
// writes it in an address, percent-encoded.
std::string Literal(const std::string& text) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c <= ' ' || c >= 0x7f) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            if (std::strchr("\\.*+?^$[](){}|", c))
                out += '\\';
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}
} // namespace

std::string ContentRuleList::UrlFilter(const DocumentRule& rule) {
    switch (rule.match) {
    case DocumentRule::Match::AnyWebAddress:
        return "^https?://";
    case DocumentRule::Match::Host:
        // User information never counts as the host; a port may follow.
        return "^https?://([^/?#]*@)?" + Literal(rule.text) + "(:[0-9]*)?[/?#]";
    case DocumentRule::Match::Prefix:
        return "^" + Literal(rule.text);
    case DocumentRule::Match::Exact:
        return "^" + Literal(rule.text) + "$";
    }
    return "^https?://";
}

std::string ContentRuleList::Json(const std::vector<DocumentRule>& rules) {
    std::string json = "[";
    for (const DocumentRule& rule : rules) {
        if (json.size() > 1)
            json += ",";
        // The last rule that matches decides: an allowing rule cancels the
        // blocks before it.
        json += "{\"trigger\":{\"url-filter\":" + JsonString(UrlFilter(rule)) +
                ",\"resource-type\":[\"document\"]},\"action\":{\"type\":" +
                (rule.action == DocumentRule::Action::Block ? "\"block\"}"
                                                            : "\"ignore-previous-rules\"}") +
                "}";
    }
    return json + "]";
}

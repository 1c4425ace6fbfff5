#pragma once

#include <string>

// The page shown in place of a main-frame page that failed to load: what went
// wrong in a user's words, in the interface language, and "Try again".
class FailurePage {
public:
    enum class Kind { NoAnswer, Proxy, NoSuchHost, TimedOut, Other };

    // From the engine's error: its domain's name ("g-io-error-quark", ...), code
    // and message.
    static Kind KindOf(const std::string& domain, int code, const std::string& message);
    // `language` as UILanguage gives it ("de" or anything else for English).
    static std::string Html(Kind kind, const std::string& url, const std::string& reason,
                            const std::string& language);
    static std::string Title(Kind kind, const std::string& language);
};

#pragma once

#include "browserlib/api/PermissionSettings.h"

#include <map>
#include <string>

// Whether a page gets what it asks for, and what the user is asked. Pure:
// the engine says what was asked and by which origin; answers the user gave
// are kept per origin and kind.
namespace PermissionPolicy {
enum class Verdict { Allow, Deny, Ask };
struct Decision {
    Verdict verdict = Verdict::Deny;
    std::string why; // for the log
};
// Keyed "origin kind"; true: allowed.
using Answers = std::map<std::string, bool>;

PermissionSettings::Answer Configured(const std::string& kind, const PermissionSettings& settings);
Decision Decide(const std::string& kind, const std::string& origin,
                const PermissionSettings& settings, const Answers& answers);
std::string Key(const std::string& origin, const std::string& kind);

// The host's question, in the interface language ("de": German).
std::string Question(const std::string& kind, const std::string& applicationName,
                     const std::string& language);

// The question's two answers: "&Allow" / "&Block" ("&Erlauben" / "&Blockieren").
std::string AllowLabel(const std::string& language);
std::string DenyLabel(const std::string& language);

// The kept answers as a file holds them: "allow|deny origin kind" lines.
Answers Parse(const std::string& text);
std::string Format(const Answers& answers);

// "scheme://host[:port]" of a URL, lower case; empty for what has no origin.
std::string OriginOf(const std::string& url);
} // namespace PermissionPolicy

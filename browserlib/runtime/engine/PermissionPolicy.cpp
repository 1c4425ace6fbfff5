#include "browserlib/runtime/engine/PermissionPolicy.h"

#include <cctype>
#include <sstream>

namespace PermissionPolicy {
namespace {
std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Words {
    const char* kind;
    const char* english; // "… wants to <english>."
    const char* german;  // "… möchte <german>."
};
const Words kWords[] = {
    {"notifications", "show you notifications", "Ihnen Benachrichtigungen anzeigen"},
    {"geolocation", "know your location", "Ihren Standort erfahren"},
    {"camera", "use your camera", "Ihre Kamera verwenden"},
    {"microphone", "use your microphone", "Ihr Mikrofon verwenden"},
    {"clipboard", "read the clipboard", "die Zwischenablage lesen"},
    {"persistentstorage", "keep its data on this computer for good",
     "ihre Daten dauerhaft auf diesem Computer speichern"},
    {"deviceinfo", "see which cameras and microphones you have",
     "sehen, welche Kameras und Mikrofone Sie haben"},
    {"pointerlock", "take over the mouse pointer", "den Mauszeiger übernehmen"},
    {"mediakeys", "play protected media", "geschützte Medien abspielen"},
    {"storageaccess", "use its data inside another site",
     "ihre Daten innerhalb einer anderen Seite verwenden"},
};
} // namespace

PermissionSettings::Answer Configured(const std::string& kind, const PermissionSettings& settings) {
    const auto it = settings.kinds.find(kind);
    if (it != settings.kinds.end())
        return it->second;
    return kind == "notifications" ? PermissionSettings::Answer::Ask
                                   : PermissionSettings::Answer::Deny;
}

std::string Key(const std::string& origin, const std::string& kind) {
    return origin + " " + kind;
}

Decision Decide(const std::string& kind, const std::string& origin,
                const PermissionSettings& settings, const Answers& answers) {
    Decision decision;
    if (origin.empty() || settings.applicationOrigin.empty() ||
        Lower(origin) != Lower(settings.applicationOrigin)) {
        decision.why = "not the application's origin";
        return decision;
    }
    switch (Configured(kind, settings)) {
    case PermissionSettings::Answer::Allow:
        decision.verdict = Verdict::Allow;
        decision.why = "allowed by the configuration";
        return decision;
    case PermissionSettings::Answer::Deny:
        decision.why = "denied by the configuration";
        return decision;
    case PermissionSettings::Answer::Ask:
        break;
    }
    const auto kept = answers.find(Key(Lower(origin), kind));
    if (kept != answers.end()) {
        decision.verdict = kept->second ? Verdict::Allow : Verdict::Deny;
        decision.why = kept->second ? "the user allowed it before" : "the user refused it before";
        return decision;
    }
    decision.verdict = Verdict::Ask;
    decision.why = "the user is asked";
    return decision;
}

std::string Question(const std::string& kind, const std::string& applicationName,
                     const std::string& language) {
    const bool german = Lower(language) == "de";
    const std::string name =
        applicationName.empty() ? (german ? "Die Anwendung" : "The application") : applicationName;
    for (const Words& words : kWords)
        if (kind == words.kind)
            return german ? name + " möchte " + words.german + ". Erlauben?"
                          : name + " wants to " + words.english + ". Allow?";
    return german ? name + " bittet um eine Erlaubnis (" + kind + "). Erlauben?"
                  : name + " asks for a permission (" + kind + "). Allow?";
}

std::string AllowLabel(const std::string& language) {
    return Lower(language) == "de" ? "&Erlauben" : "&Allow";
}

std::string DenyLabel(const std::string& language) {
    return Lower(language) == "de" ? "&Blockieren" : "&Block";
}

Answers Parse(const std::string& text) {
    Answers answers;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string answer, origin, kind, rest;
        if (!(words >> answer >> origin >> kind) || (words >> rest))
            continue;
        if (answer != "allow" && answer != "deny")
            continue;
        answers[Key(Lower(origin), kind)] = answer == "allow";
    }
    return answers;
}

std::string Format(const Answers& answers) {
    std::string text;
    for (const auto& [key, allowed] : answers)
        text += std::string(allowed ? "allow " : "deny ") + key + "\n";
    return text;
}

std::string OriginOf(const std::string& url) {
    const size_t colon = url.find("://");
    if (colon == std::string::npos || colon == 0)
        return std::string();
    const size_t end = url.find_first_of("/?#", colon + 3);
    std::string authority =
        url.substr(colon + 3, end == std::string::npos ? std::string::npos : end - colon - 3);
    const size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority = authority.substr(at + 1);
    if (authority.empty())
        return std::string();
    return Lower(url.substr(0, colon)) + "://" + Lower(authority);
}
} // namespace PermissionPolicy

#include "browserlib/runtime/engine/FailurePage.h"

#include "browserlib/runtime/engine/HtmlText.h"

#include <algorithm>
#include <cctype>

namespace {
bool German(const std::string& language) {
    std::string l = language.substr(0, 2);
    std::transform(l.begin(), l.end(), l.begin(), [](unsigned char c) { return std::tolower(c); });
    return l == "de";
}

// `text` as a JavaScript string literal that no HTML parser ends early.
std::string Script(const std::string& text) {
    std::string out = "\"";
    static const char* const hex = "0123456789abcdef";
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' || c == '\'') {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

bool Contains(const std::string& text, const char* part) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower.find(part) != std::string::npos;
}
} // namespace

FailurePage::Kind FailurePage::KindOf(const std::string& domain, int code,
                                      const std::string& message) {
    // GIO's codes: 24 timed out, 39 connection refused, 41-45 proxy errors.
    if (Contains(message, "proxy") || (domain == "g-io-error-quark" && code >= 41 && code <= 45))
        return Kind::Proxy;
    if (domain == "g-resolver-error-quark" || Contains(message, "resolve") ||
        Contains(message, "not known") || Contains(message, "name or service"))
        return Kind::NoSuchHost;
    if ((domain == "g-io-error-quark" && code == 24) || Contains(message, "timed out") ||
        Contains(message, "timeout"))
        return Kind::TimedOut;
    if ((domain == "g-io-error-quark" && code == 39) || Contains(message, "refused") ||
        Contains(message, "could not connect") || Contains(message, "connection reset") ||
        Contains(message, "connection terminated"))
        return Kind::NoAnswer;
    return Kind::Other;
}

std::string FailurePage::Title(Kind kind, const std::string& language) {
    const bool de = German(language);
    switch (kind) {
    case Kind::NoAnswer:
        return de ? "Die Anwendung antwortet nicht" : "The application does not answer";
    case Kind::Proxy:
        return de ? "Ein Proxy steht im Weg" : "A proxy is in the way";
    case Kind::NoSuchHost:
        return de ? "Die Adresse wurde nicht gefunden" : "The address cannot be found";
    case Kind::TimedOut:
        return de ? "Die Verbindung hat zu lange gedauert" : "The connection timed out";
    case Kind::Other:
        break;
    }
    return de ? "Die Seite konnte nicht geladen werden" : "The page could not be loaded";
}

std::string FailurePage::Html(Kind kind, const std::string& url, const std::string& reason,
                              const std::string& language) {
    const bool de = German(language);
    std::string explain;
    switch (kind) {
    case Kind::NoAnswer:
        explain = de ? "Der Server der Anwendung nimmt keine Verbindung an. Vielleicht startet "
                       "er noch, oder er wurde beendet."
                     : "The application's server does not accept connections. It may still be "
                       "starting, or it has ended.";
        break;
    case Kind::Proxy:
        explain = de ? "Die Verbindung läuft über einen Proxy, der nicht antwortet. Prüfen Sie "
                       "die Proxy-Einstellungen (http_proxy, no_proxy)."
                     : "The connection goes through a proxy that does not answer. Check the "
                       "proxy settings (http_proxy, no_proxy).";
        break;
    case Kind::NoSuchHost:
        explain = de ? "Der Name des Rechners in der Adresse ist unbekannt."
                     : "The computer named in the address is not known.";
        break;
    case Kind::TimedOut:
        explain = de ? "Der Server hat nicht rechtzeitig geantwortet."
                     : "The server did not answer in time.";
        break;
    case Kind::Other:
        explain = de ? "Beim Laden der Seite ist ein Fehler aufgetreten."
                     : "Something went wrong while the page loaded.";
        break;
    }
    const std::string again = de ? "Erneut versuchen" : "Try again";
    const std::string details = de ? "Einzelheiten" : "Details";
    return "<!doctype html><html lang=\"" + std::string(de ? "de" : "en") +
           "\"><head><meta charset=\"utf-8\"><title>" + HtmlText::Escape(Title(kind, language)) +
           "</title><style>body{font:15px/1.5 sans-serif;margin:12vh auto;max-width:36em;"
           "padding:0 1em;color:#222;background:#fafafa}h1{font-size:1.4em;font-weight:600}"
           "button{font:inherit;padding:.4em 1.2em}details{margin-top:2em;color:#555}"
           "code{word-break:break-all}</style></head><body><h1>" +
           HtmlText::Escape(Title(kind, language)) + "</h1><p>" + HtmlText::Escape(explain) +
           "</p><p><button id=\"again\" autofocus>" + HtmlText::Escape(again) +
           "</button></p><details><summary>" + HtmlText::Escape(details) + "</summary><p><code>" +
           HtmlText::Escape(url) + "</code></p><p>" + HtmlText::Escape(reason) +
           "</p></details><script>document.getElementById(\"again\").onclick=function(){"
           "location.href=" +
           Script(url) + "};</script></body></html>";
}

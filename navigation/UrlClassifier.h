#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

// The decisions of the URL filter, free of windows and logging.
class UrlClassifier {
public:
    enum class Command { None, Fullscreen, Windowmode, Quit, Unknown };

    // Whether `url`, lower-cased, begins with `prefix` as written. An empty
    // prefix names no command at all.
    static bool IsCommand(const wxString& url, const wxString& prefix);
    // The command a command URL asks for (its text after the prefix, lower-cased).
    static Command CommandOf(const wxString& url, const wxString& prefix);

    // `url` without the scheme's default port (":80" for http, ":443" for
    // https), as the engine writes addresses.
    static wxString WithoutDefaultPort(const wxString& url);
    // An http or https URL that is not the start URL itself (both lower-cased).
    static bool IsExternalCandidate(const wxString& url, const wxString& startUrl);
    // Whether a candidate lies on another host than the start URL. The same
    // host on another port is the application's; a URL that names no host
    // readably lies elsewhere.
    static bool DiffersFromStart(const wxString& url, const wxString& startUrl);
    // Whether `url` is a web URL on the start URL's host.
    static bool OnStartHost(const wxString& url, const wxString& startUrl);
    // Schemes the engine shows itself; links of any other scheme belong to the desktop.
    static bool EngineShowsScheme(const wxString& scheme);
    // `url` as it is handed to the desktop, one argument: white space, control
    // characters, quotes and anything outside ASCII percent-encoded. Empty when
    // it has no scheme (nothing a handler could read as a URL, nor as an option).
    static wxString ForDesktop(const wxString& url);
    // The ';'-separated paths below the start URL that count as external.
    static wxArrayString RelativeExternalTokens(const wxString& list);
    // The test URL (start URL + token) that `url` lies below, or empty.
    static wxString MatchingRelativeExternal(const wxString& startUrl, const wxString& url,
                                             const wxString& list);
};

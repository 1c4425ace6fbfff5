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
    // The text before the last ':', empty when there is none or it is the first character.
    static wxString PartBeforeLastColon(const wxString& text);
    // Whether a candidate lies on another host (or port) than the start URL.
    static bool DiffersFromStart(const wxString& url, const wxString& startUrl);
    // The ';'-separated paths below the start URL that count as external.
    static wxArrayString RelativeExternalTokens(const wxString& list);
    // The test URL (start URL + token) that `url` lies below, or empty.
    static wxString MatchingRelativeExternal(const wxString& startUrl, const wxString& url,
                                             const wxString& list);
};

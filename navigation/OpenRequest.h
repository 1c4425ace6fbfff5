#pragma once

#include <functional>
#include <vector>
#include <wx/arrstr.h>
#include <wx/string.h>

// What the desktop asks the application to open: links of the application's
// own schemes and files, from the command line of this start or of a second
// one. Pure, so that every rule is in one table.
class OpenRequest {
public:
    enum class Kind { Url, File, Ignored };
    struct Verdict {
        Kind kind = Kind::Ignored;
        wxString value; // the URL, or the file's absolute path
        wxString why;   // for Ignored: what the log says
    };

    // The words after the program's name that are not the host's switches;
    // relative paths made absolute against `cwd` (the starting process's own).
    static std::vector<wxString> Candidates(const wxArrayString& args, const wxString& cwd);

    // `schemes`: the configuration's list (any case); `isFile`: whether a path
    // names an existing file or folder.
    static Verdict Classify(const wxString& candidate, const wxArrayString& schemes,
                            const std::function<bool(const wxString&)>& isFile);

    // The configuration's `OpenUrl` with VELTA_OPEN_ARG replaced by `value`
    // percent-encoded (everything but the unreserved characters).
    static wxString Expand(const wxString& openUrl, const wxString& value);
    static wxString PercentEncode(const wxString& value);

    // The `UrlSchemes` value: names separated by spaces, commas or semicolons,
    // lower case, without a trailing ':'.
    static wxArrayString SchemeList(const wxString& text);
};

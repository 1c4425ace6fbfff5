#pragma once

#include <vector>
#include <wx/arrstr.h>
#include <wx/string.h>

// The commands that may open a URL in the user's browser, by the convention
// of the BROWSER variable: a colon list of commands, tried in order until one
// runs; "%s" in a command stands for the URL ("%%" for a percent sign), and a
// command without it gets the URL as its last argument. Commands are split
// into words as a shell would split plain words and quotes, but no shell ever
// sees them: the URL is always exactly one argument, or part of one.
class BrowserCommand {
public:
    static std::vector<wxArrayString> Candidates(const wxString& browserVariable,
                                                 const wxString& url);
};

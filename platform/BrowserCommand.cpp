#include "platform/BrowserCommand.h"

#include <wx/cmdline.h>
#include <wx/tokenzr.h>

namespace {
// `word` with every %s replaced by the URL and %% by %; `used` tells whether
// the URL went in.
wxString Substitute(const wxString& word, const wxString& url, bool& used) {
    wxString out;
    for (size_t i = 0; i < word.length(); ++i) {
        if (word[i] == wxS('%') && i + 1 < word.length()) {
            if (word[i + 1] == wxS('s')) {
                out += url;
                used = true;
                ++i;
                continue;
            }
            if (word[i + 1] == wxS('%')) {
                out += wxS('%');
                ++i;
                continue;
            }
        }
        out += word[i];
    }
    return out;
}
} // namespace

std::vector<wxArrayString> BrowserCommand::Candidates(const wxString& browserVariable,
                                                      const wxString& url) {
    std::vector<wxArrayString> commands;
    wxStringTokenizer entries(browserVariable, wxS(":"), wxTOKEN_STRTOK);
    while (entries.HasMoreTokens()) {
        const wxArrayString words =
            wxCmdLineParser::ConvertStringToArgs(entries.GetNextToken(), wxCMD_LINE_SPLIT_UNIX);
        if (words.empty() || words[0].empty())
            continue;
        wxArrayString argv;
        bool used = false;
        argv.push_back(words[0]);
        for (size_t i = 1; i < words.size(); ++i)
            argv.push_back(Substitute(words[i], url, used));
        if (!used)
            argv.push_back(url);
        commands.push_back(argv);
    }
    // No choice of the user's: the desktop's own opener.
    if (commands.empty()) {
        wxArrayString opener;
        opener.push_back(wxS("xdg-open"));
        opener.push_back(url);
        commands.push_back(opener);
    }
    return commands;
}

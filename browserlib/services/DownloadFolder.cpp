#include "browserlib/services/DownloadFolder.h"

#include <wx/arrstr.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

wxString DownloadFolder::Named(const wxString& userDirs, const wxString& home,
                               const wxString& fromEnvironment) {
    wxString named;
    wxStringTokenizer lines(userDirs, wxS("\n"));
    while (lines.HasMoreTokens()) {
        wxString line = lines.GetNextToken().Trim(false).Trim();
        if (!line.StartsWith(wxS("XDG_DOWNLOAD_DIR="), &line))
            continue;
        // A shell assignment: "$HOME/Downloads" or an absolute path, quoted.
        if (line.size() >= 2 && line.StartsWith(wxS("\"")) && line.EndsWith(wxS("\"")))
            line = line.Mid(1, line.size() - 2);
        if (line.StartsWith(wxS("$HOME"), &line))
            line = home + line;
        named = line; // the last assignment wins, as in the shell
    }
    return named.empty() ? fromEnvironment : named;
}

wxString DownloadFolder::Find() {
    wxString home;
    if (!wxGetEnv(wxS("HOME"), &home) || home.empty())
        home = wxGetHomeDir();
    wxString config;
    if (!wxGetEnv(wxS("XDG_CONFIG_HOME"), &config) || config.empty())
        config = home + wxS("/.config");
    wxString text, environment;
    wxFFile file;
    const wxString path = config + wxS("/user-dirs.dirs");
    if (wxFileExists(path) && file.Open(path, "rb"))
        file.ReadAll(&text);
    wxGetEnv(wxS("XDG_DOWNLOAD_DIR"), &environment);
    const wxString named = Named(text, home, environment);
    return !named.empty() && wxDirExists(named) ? named : home;
}

#pragma once

#include <wx/string.h>

// Where a download is offered to go: the desktop's download folder, as
// xdg-user-dir names it, or the home folder where that does not exist.
class DownloadFolder {
public:
    // XDG_DOWNLOAD_DIR of a user-dirs.dirs text ($HOME put in), else `fromEnvironment`.
    static wxString Named(const wxString& userDirs, const wxString& home,
                          const wxString& fromEnvironment);
    // The folder for this user, one that exists.
    static wxString Find();
};

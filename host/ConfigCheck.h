#pragma once

#include <ostream>
#include <wx/string.h>

// velta-host -check_config: the configuration read as a run would read it,
// every mistake in it and what a start would need, one line each, without a
// window or a server.
class ConfigCheck {
public:
    // 0 when there is nothing to fix, 1 otherwise.
    static int Run(const wxString& programDirectory, std::ostream& out);
    // Where a splash page or icon setting points on this machine, when it
    // names a local file (a path, or a file: URL); empty for anything else.
    static wxString LocalFile(const wxString& setting, const wxString& programDirectory);
};

#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

// The process-wide command-line switches. Written during start-up only.
class HostSwitches {
public:
    // Exact, case-sensitive name without the leading dash.
    static bool IsSet(const wxString& name);
    static void Set(const wxString& name);
    static void ResetAll();

    // Scans the arguments from the last down to the second; the first (the
    // program) is never a switch. Returns whether "-d" was among them.
    static bool ApplyCommandLine(const wxArrayString& args);
};

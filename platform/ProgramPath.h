#pragma once

#include <wx/string.h>

// Where a program named on a command line lives, as execvp would find it.
class ProgramPath {
public:
    // `program` with a '/' is taken as it is; a bare name is looked up in the
    // folders of `searchPath` (a colon list; an empty entry is the current
    // folder). Empty when no executable file is found.
    static wxString Find(const wxString& program, const wxString& searchPath);
    static bool IsExecutableFile(const wxString& path);
    // The PATH of this process, or the system's default when it has none.
    static wxString CurrentSearchPath();
};

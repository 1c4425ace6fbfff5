#include "platform/ProgramPath.h"

#include <sys/stat.h>
#include <unistd.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

bool ProgramPath::IsExecutableFile(const wxString& path) {
    struct stat st;
    const wxScopedCharBuffer name = path.fn_str();
    return name.data() && stat(name.data(), &st) == 0 && S_ISREG(st.st_mode) &&
           access(name.data(), X_OK) == 0;
}

wxString ProgramPath::Find(const wxString& program, const wxString& searchPath) {
    if (program.empty())
        return wxString();
    if (program.Find(wxS('/')) != wxNOT_FOUND)
        return IsExecutableFile(program) ? program : wxString();
    wxStringTokenizer dirs(searchPath, wxS(":"), wxTOKEN_RET_EMPTY_ALL);
    while (dirs.HasMoreTokens()) {
        wxString dir = dirs.GetNextToken();
        if (dir.empty())
            dir = wxS(".");
        const wxString candidate = dir + wxS("/") + program;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return wxString();
}

wxString ProgramPath::CurrentSearchPath() {
    wxString path;
    if (!wxGetEnv(wxS("PATH"), &path))
        path = wxS("/usr/local/bin:/usr/bin:/bin");
    return path;
}

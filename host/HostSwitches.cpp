#include "host/HostSwitches.h"

namespace {
bool s_ignoreServerTerminate = false;
bool s_noServer = false;
bool s_noRedirect = false;

bool* Flag(const wxString& name) {
    if (name == wxS("ignore_server_terminate"))
        return &s_ignoreServerTerminate;
    if (name == wxS("no_server"))
        return &s_noServer;
    if (name == wxS("no_redirect"))
        return &s_noRedirect;
    return nullptr;
}
} // namespace

bool HostSwitches::IsSet(const wxString& name) {
    const bool* flag = Flag(name);
    return flag && *flag;
}

void HostSwitches::Set(const wxString& name) {
    if (bool* flag = Flag(name))
        *flag = true;
}

void HostSwitches::ResetAll() {
    s_ignoreServerTerminate = s_noServer = s_noRedirect = false;
}

bool HostSwitches::ApplyCommandLine(const wxArrayString& args) {
    bool debug = false;
    for (size_t i = args.size(); i > 1; --i) {
        const wxString& arg = args[i - 1];
        if (arg == wxS("-d"))
            debug = true;
        else if (arg == wxS("-ignore_server_terminate"))
            Set(wxS("ignore_server_terminate"));
        else if (arg == wxS("-no_server"))
            Set(wxS("no_server"));
        else if (arg == wxS("-no_redirect"))
            Set(wxS("no_redirect"));
    }
    return debug;
}

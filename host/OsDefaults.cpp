#include "host/OsDefaults.h"

wxArrayString OsDefaults::Detect(const OsVersionInfo& v) {
    wxArrayString found;
    if (v.family != OsVersionInfo::Family::Windows9x || v.major != 4)
        return found;
    const wxString prefix = wxS("HostApp::SetOSSpecificParamDefaults, ");
    if (v.minor == 10 && v.build == 1998)
        found.push_back(prefix + wxS("Windows 98 detected"));
    if (v.minor == 10 && v.build > 1998 && v.build < 2183)
        found.push_back(prefix + wxS("Windows 98SP1 detected"));
    if (v.minor == 10 && v.build >= 2183)
        found.push_back(prefix + wxS("Windows 98SE detected"));
    if (v.minor == 90)
        found.push_back(prefix + wxS("Windows ME detected"));
    return found;
}

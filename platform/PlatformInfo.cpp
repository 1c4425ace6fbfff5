#include "platform/PlatformInfo.h"

wxString PlatformInfo::Name() {
#if defined(__WINDOWS__)
    return wxS("Win32");
#else
    return wxS("Linux");
#endif
}

wxChar PlatformInfo::PathSeparator() {
#if defined(__WINDOWS__)
    return wxS('\\');
#else
    return wxS('/');
#endif
}

#pragma once

#include <wx/string.h>

// Facts about the platform the host was built for.
class PlatformInfo {
public:
    // Value of the "os" attribute that selects sections of the configuration file
    // meant for this build; other values hide their section.
    static wxString Name();

    // Native path separator.
    static wxChar PathSeparator();
};

#pragma once

#include "platform/OsVersion.h"

#include <wx/arrstr.h>

// Operating systems on which the server's end cannot be observed reliably.
class OsDefaults {
public:
    // One log text for every rule that matches `version`; empty elsewhere.
    static wxArrayString Detect(const OsVersionInfo& version);
};

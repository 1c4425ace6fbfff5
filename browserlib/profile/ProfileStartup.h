#pragma once

#include "browserlib/runtime/xpcom/nsCore.h"

// Makes sure a profile is in use after the runtime starts: "default" on the
// first run, the current one on later runs.
class ProfileStartup {
public:
    virtual ~ProfileStartup() = default;
    virtual nsresult Startup();
    // With several profiles and the start-up dialog wanted: nothing is chosen.
    virtual nsresult ShowProfileManager(bool atStartup);

    // Whether the profile dialog is wanted at start-up, from the registry.
    static nsresult ShowDialogAtStartup(PRBool* show);
};

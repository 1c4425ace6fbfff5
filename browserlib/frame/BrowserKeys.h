#pragma once

#include <wx/string.h>

// The keys people expect of a browser, as pure decisions.
class BrowserKeys {
public:
    enum class Action {
        None,
        Reload,
        Back,
        Forward,
        ZoomIn,
        ZoomOut,
        ZoomReset,
        Find,
        FindNext,
        FindPrevious,
        EndFind
    };
    enum { Ctrl = 1, Alt = 2, Shift = 4 };

    // `name` is the key's lower-case name; `finding` whether a search is on.
    static Action ActionFor(const wxString& name, unsigned modifiers, bool finding);
    // The zoom step after `percent` in the direction of `step` (+1, -1).
    static int NextZoom(int percent, int step);
};

#pragma once

#include <vector>
#include <wx/gdicmn.h>
#include <wx/string.h>

// Where the user left the application's window: kept at each close in the
// application data folder and given back at the next start.
class WindowMemory {
public:
    struct State {
        bool valid = false;
        wxRect rect; // the window's own place and size, not the maximized one
        bool maximized = false;
        int zoomPercent = 100;
    };

    // One "name=value" per line; anything unknown or broken leaves `valid` false.
    static State Parse(const wxString& text);
    static wxString Format(const State& state);

    // `rect` on the screens present: on the work area it overlaps most (the
    // first one when it overlaps none enough to be grabbed), cut to fit it.
    static wxRect Clamp(const wxRect& rect, const std::vector<wxRect>& workAreas);

    static wxString FileIn(const wxString& appDataDirectory);
    static State Load(const wxString& path);
    // Written beside the file and renamed over it: a crash never leaves half a file.
    static bool Save(const wxString& path, const State& state);

    // The least of a window that must be on a screen for the user to grab it.
    static constexpr int kGrab = 64;
};

#pragma once

#include <vector>
#include <wx/gdicmn.h>

// Where the library's windows go on the screen.
class WindowPlacement {
public:
    // No size asked for: the opener's size, a step down and right of it, all
    // inside the work area. A window as large as the work area gives up a step
    // of its size, so that the opener still shows; another step is taken while
    // the place is one of `taken` (the corners of the other windows).
    static wxRect Cascaded(const wxRect& opener, const wxRect& workArea,
                           const std::vector<wxPoint>& taken = {});
    // A size or place the page asked for, moved and cut to fit the work area.
    static wxRect Fitted(const wxRect& rect, const wxRect& workArea);
    // The application's window when no size is configured: 1024 x 768, never
    // more than the work area.
    static wxSize DefaultSize(const wxRect& workArea);
    // `size` in the middle of the work area.
    static wxRect Centred(const wxSize& size, const wxRect& workArea);
    // The work area of the display that shows most of `rect`.
    static wxRect WorkAreaAround(const wxRect& rect);

    static const int kStep = 32;
};

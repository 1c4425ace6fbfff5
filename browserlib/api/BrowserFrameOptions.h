#pragma once

#include <wx/string.h>

// The description of a browser frame to create.
struct BrowserFrameOptions {
    BrowserFrameOptions() = default;
    // The engine's geometry order: the fourth value is the height, the fifth the width.
    BrowserFrameOptions(unsigned chromeFlags, int x, int y, int cy, int cx)
        : chromeFlags(chromeFlags), x(x), y(y), width(cx), height(cy) {}

    wxString name = wxS("no name");
    wxString url = wxS("about:blank");
    unsigned chromeFlags = 0xFFE;
    int x = -1, y = -1;
    int width = -1, height = -1;
    int show = 1;
    bool hosted = false;
    bool resizable = true;
    bool sizebrowser = true;
    bool center = false;
    bool scrollbar = false;

    // Position and size are the toolkit's defaults only as a whole.
    bool HasDefaultGeometry() const { return x == -1 && y == -1 && width == -1 && height == -1; }
};

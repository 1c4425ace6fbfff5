#pragma once

#include <wx/string.h>

// A navigation as the host's listener sees it.
struct NavigationRequest {
    enum class Frame { Main, Sub, Unknown };

    wxString url;
    // Unknown: the engine cannot tell yet. Where `frameLater` is set, the
    // listener may ask for the decision again once it can (`decideWithFrame`).
    Frame frame = Frame::Unknown;
    bool frameLater = false;
    // Started by the user (a click, a key), not by a script or a frame's load.
    bool userGesture = false;
    // A form sent with its data in the request's body (POST).
    bool formPost = false;
    // What the browser's main frame shows while it is asked.
    wxString pageUrl;

    // Set by the listener with its answer "abort": let the navigation start and
    // ask again once its frame is known; nothing of it is shown before.
    bool decideWithFrame = false;
};

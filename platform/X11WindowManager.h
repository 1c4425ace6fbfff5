#pragma once

// What the X11 session's window manager does, asked over a connection of our own.
class X11WindowManager {
public:
    // A window manager runs and honours the full-screen state of its windows
    // (_NET_WM_STATE_FULLSCREEN, as EWMH window managers know it).
    static bool SupportsFullScreenState();
};

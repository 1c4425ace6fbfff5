#pragma once

#include "DisplayManager.h"
#include "XRandRDisplayMode.h"

// Display modes on X11 through RandR. A real X server keeps a changed mode
// after the process ends, so the original one is restored when the host ends.
class X11DisplayManager : public DisplayManager {
public:
    X11DisplayManager(int width, int height);
    ~X11DisplayManager() override;

    bool ChangeDisplayMode(int width, int height, bool restore) override;
    // Back to the mode the host found, if it changed it.
    void RestoreOriginalMode();

private:
    XRandRDisplayMode m_mode;
    int m_cleanup = 0;
};

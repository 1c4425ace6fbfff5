#pragma once

#include "navigation/DisplayManager.h"
#include "platform/XRandRDisplayMode.h"

// Display modes on X11 through RandR; a Wayland session keeps the
// compositor's mode. A real X server keeps a changed mode after the process
// ends, so the original one is restored when the host ends.
class X11DisplayManager : public DisplayManager {
public:
    X11DisplayManager(int width, int height);
    ~X11DisplayManager() override;

    bool ChangeDisplayMode(int width, int height, bool restore) override;
    wxString ModeChangeError() const override { return m_error; }
    // Back to the mode the host found, if it changed it.
    void RestoreOriginalMode();
    // Whether the session is X11's (there, the host may place its windows).
    static bool IsX11Session();

protected:
    wxSize RealScreenSize() const override;
    void CoverScreen(wxWindow* frame, bool on) override;

private:
    XRandRDisplayMode m_mode;
    wxString m_error;
    int m_cleanup = 0;
};

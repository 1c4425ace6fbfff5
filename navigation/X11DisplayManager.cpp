#include "navigation/X11DisplayManager.h"

#include "host/FatalError.h"
#include "platform/X11WindowManager.h"
#include "server/Watchdog.h"

#include <wx/log.h>
#include <wx/utils.h>
#include <wx/window.h>

X11DisplayManager::X11DisplayManager(int width, int height) : DisplayManager(width, height) {
    m_cleanup = FatalError::AddCleanup([this] { RestoreOriginalMode(); });
}

X11DisplayManager::~X11DisplayManager() {
    FatalError::RemoveCleanup(m_cleanup);
    RestoreOriginalMode();
}

bool X11DisplayManager::ChangeDisplayMode(int width, int height, bool restore) {
    if (restore) {
        m_mode.Restore();
        Watchdog::DisplayRestored();
        return true;
    }
    // Under Wayland an X connection would reach Xwayland, whose modes are
    // make-believe for X clients only; the compositor owns the real one.
    if (!IsX11Session()) {
        m_error = wxS("not an X11 session, the compositor owns the display mode");
        return false;
    }
    int originalWidth = 0, originalHeight = 0;
    const bool known =
        m_mode.Changed() || XRandRDisplayMode::ScreenSize(&originalWidth, &originalHeight);
    const bool changed = m_mode.Change(width, height);
    // Should the host die now, something must put the display back.
    if (changed && known && originalWidth > 0)
        Watchdog::DisplayChanged(originalWidth, originalHeight);
    if (!changed)
        m_error = wxString::Format(wxS("%dx%d: %s"), width, height,
                                   wxString::FromUTF8(m_mode.LastError()));
    return changed;
}

void X11DisplayManager::RestoreOriginalMode() {
    if (m_mode.Changed()) {
        m_mode.Restore();
        Watchdog::DisplayRestored();
    }
}

bool X11DisplayManager::IsX11Session() {
    return wxGetDisplayInfo().type == wxDisplayX11;
}

wxSize X11DisplayManager::RealScreenSize() const {
    // Straight after a mode change the toolkit has not yet heard of it.
    int width = 0, height = 0;
    if (IsX11Session() && XRandRDisplayMode::ScreenSize(&width, &height))
        return wxSize(width, height);
    return DisplayManager::RealScreenSize();
}

void X11DisplayManager::CoverScreen(wxWindow* frame, bool on) {
    DisplayManager::CoverScreen(frame, on);
    // Without a window manager that knows the full-screen state the toolkit
    // only guesses a size (from the screen as it was before a mode change):
    // the frame is placed exactly here instead.
    if (on && IsX11Session() && !X11WindowManager::SupportsFullScreenState())
        frame->SetSize(wxRect(wxPoint(0, 0), RealScreenSize()));
}

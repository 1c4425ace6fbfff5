#include "X11DisplayManager.h"

#include "FatalError.h"

#include <wx/log.h>

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
        return true;
    }
    const bool changed = m_mode.Change(width, height);
    if (!changed)
        wxLogError(wxS("X11DisplayManager::ChangeDisplayMode %dx%d failed: %s"), width, height,
                   wxString::FromUTF8(m_mode.LastError()));
    return changed;
}

void X11DisplayManager::RestoreOriginalMode() {
    if (m_mode.Changed())
        m_mode.Restore();
}

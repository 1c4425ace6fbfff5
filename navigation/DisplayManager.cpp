#include "navigation/DisplayManager.h"

#include <wx/display.h>
#include <wx/log.h>
#include <wx/toplevel.h>

DisplayManager::~DisplayManager() = default;

bool DisplayManager::EnterFullScreen(wxWindow* frame) {
    if (m_fullScreen)
        return true;
    m_savedRect = frame->GetRect();
    if (!m_keepResolution) {
        m_modeChanged = ChangeDisplayMode(m_width, m_height, false);
        // A session that cannot switch (Wayland, no RandR) still gets a full
        // screen, on the resolution it has: worth one line, not an error.
        if (!m_modeChanged && !m_warned) {
            m_warned = true;
            wxLogWarning(wxS("DisplayManager::EnterFullScreen keeps the current resolution: %s"),
                         ModeChangeError());
        }
    }
    CoverScreen(frame, true);
    m_fullScreen = true;
    return true;
}

bool DisplayManager::LeaveFullScreen(wxWindow* frame) {
    if (!m_fullScreen)
        return true;
    CoverScreen(frame, false);
    if (m_modeChanged) {
        ChangeDisplayMode(0, 0, true);
        m_modeChanged = false;
    }
    m_fullScreen = false;
    frame->SetSize(m_savedRect.x, m_savedRect.y, m_savedRect.width, m_savedRect.height,
                   wxSIZE_AUTO);
    return true;
}

wxSize DisplayManager::ScreenSize() const {
    if (m_keepResolution || (m_fullScreen && !m_modeChanged))
        return RealScreenSize();
    return wxSize(m_width, m_height);
}

wxSize DisplayManager::RealScreenSize() const {
    return wxDisplay().GetGeometry().GetSize();
}

void DisplayManager::CoverScreen(wxWindow* frame, bool on) {
    auto* top = dynamic_cast<wxTopLevelWindow*>(frame);
    if (top) {
        top->ShowFullScreen(on, wxFULLSCREEN_ALL);
        return;
    }
    if (on)
        frame->SetSize(wxRect(wxPoint(0, 0), RealScreenSize()));
}

wxRect DisplayManager::FittedRect(const wxRect& rect, const wxSize& screen) {
    wxRect fitted = rect;
    if (fitted.width > screen.x)
        fitted.width = screen.x;
    if (fitted.height > screen.y)
        fitted.height = screen.y;
    if (rect.x > screen.x)
        fitted.x = screen.x - fitted.width;
    if (rect.y > screen.y)
        fitted.y = screen.y - fitted.height;
    // A window beyond the left or top edge comes back to it.
    if (fitted.x < 0)
        fitted.x = 0;
    if (fitted.y < 0)
        fitted.y = 0;
    return fitted;
}

void DisplayManager::FitInsideScreen(wxWindow* window) {
    if (!window)
        return;
    const wxRect rect = window->GetRect();
    const wxRect fitted = FittedRect(rect, ScreenSize());
    if (fitted.GetSize() != rect.GetSize())
        window->SetSize(fitted.GetSize());
    if (fitted.GetPosition() != rect.GetPosition())
        window->Move(fitted.GetPosition());
}

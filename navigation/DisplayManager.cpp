#include "DisplayManager.h"

#include <wx/window.h>

DisplayManager::~DisplayManager() = default;

bool DisplayManager::EnterFullScreen(wxWindow* frame) {
    if (m_fullScreen)
        return true;
    m_savedRect = frame->GetRect();
    frame->SetSize(-4, -23, m_width + 8, m_height + 30, wxSIZE_AUTO);
    if (ChangeDisplayMode(m_width, m_height, false))
        m_fullScreen = true;
    return m_fullScreen;
}

bool DisplayManager::LeaveFullScreen(wxWindow* frame) {
    if (!m_fullScreen)
        return true;
    const bool restored = ChangeDisplayMode(0, 0, true);
    if (restored) {
        m_fullScreen = false;
        frame->SetSize(m_savedRect.x, m_savedRect.y, m_savedRect.width, m_savedRect.height,
                       wxSIZE_AUTO);
    }
    return restored;
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

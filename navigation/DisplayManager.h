#pragma once

#include <wx/gdicmn.h>

class wxWindow;

// Full-screen mode: the display switched to a fixed resolution and the browser
// frame covering it; window mode: the display and the frame's rectangle restored.
class DisplayManager {
public:
    DisplayManager(int width, int height) : m_width(width), m_height(height) {}
    virtual ~DisplayManager();

    bool EnterFullScreen(wxWindow* frame);
    bool LeaveFullScreen(wxWindow* frame);
    void FitInsideScreen(wxWindow* window);
    bool IsFullScreen() const { return m_fullScreen; }
    virtual bool ChangeDisplayMode(int width, int height, bool restore) = 0;

    // Where a window of `rect` goes to fit a `screen`-sized screen.
    static wxRect FittedRect(const wxRect& rect, const wxSize& screen);
    wxSize ScreenSize() const { return wxSize(m_width, m_height); }

private:
    wxRect m_savedRect;
    bool m_fullScreen = false;
    int m_width;
    int m_height;
};

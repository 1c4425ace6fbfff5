#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxWindow;

// Full-screen mode: the frame in the window manager's (or compositor's)
// full-screen state, on a display switched to a fixed resolution where the
// session allows it; window mode: the display and the frame's rectangle restored.
class DisplayManager {
public:
    DisplayManager(int width, int height) : m_width(width), m_height(height) {}
    virtual ~DisplayManager();

    bool EnterFullScreen(wxWindow* frame);
    bool LeaveFullScreen(wxWindow* frame);
    void FitInsideScreen(wxWindow* window);
    bool IsFullScreen() const { return m_fullScreen; }
    virtual bool ChangeDisplayMode(int width, int height, bool restore) = 0;
    // Why the last ChangeDisplayMode failed, for the log.
    virtual wxString ModeChangeError() const { return wxString(); }

    // Full screen then only covers the screen at the resolution it has.
    void SetKeepResolution(bool keep) { m_keepResolution = keep; }
    bool KeepsResolution() const { return m_keepResolution; }
    bool IsDisplayModeChanged() const { return m_modeChanged; }

    // Where a window of `rect` goes to fit a `screen`-sized screen.
    static wxRect FittedRect(const wxRect& rect, const wxSize& screen);
    // The screen windows are fitted into: the fixed full-screen size while the
    // host switches resolutions, the real screen where it keeps them.
    wxSize ScreenSize() const;

protected:
    // The size of the screen as the toolkit sees it now.
    virtual wxSize RealScreenSize() const;
    // Puts the frame into (or out of) the toolkit's full-screen state.
    virtual void CoverScreen(wxWindow* frame, bool on);

private:
    wxRect m_savedRect;
    bool m_fullScreen = false;
    bool m_keepResolution = false;
    bool m_modeChanged = false;
    bool m_warned = false;
    int m_width;
    int m_height;
};

#pragma once

#include <wx/frame.h>

class SplashHtmlWindow;

// A borderless window with an HTML page while the server starts.
class SplashWindow : public wxFrame {
public:
    SplashWindow(const wxString& url, const wxString& title);
    ~SplashWindow() override;

    bool ShowSplash(const wxSize& size);
    SplashHtmlWindow* HtmlWindow() const { return m_HtmlWindow; }

private:
    SplashHtmlWindow* m_HtmlWindow = nullptr;
    wxString m_Url;
    wxString m_Title;
};

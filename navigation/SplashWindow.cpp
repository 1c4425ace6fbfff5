#include "navigation/SplashWindow.h"

#include "navigation/SplashHtmlWindow.h"

SplashWindow::SplashWindow(const wxString& url, const wxString& title)
    : m_Url(url), m_Title(title) {}

SplashWindow::~SplashWindow() = default;

bool SplashWindow::ShowSplash(const wxSize& size) {
    // No caption, no border, no taskbar button; the toolkit draws a border
    // unless it is told there is none.
    const bool created = Create(nullptr, wxID_ANY, m_Title, wxDefaultPosition, size,
                                wxFRAME_TOOL_WINDOW | wxBORDER_NONE, wxS("frame"));
    if (!created)
        return false;
    m_HtmlWindow = new SplashHtmlWindow(this, size);
    m_HtmlWindow->ShowUrl(m_Url);
    Centre(wxBOTH);
    Raise();
    Show();
    return created;
}

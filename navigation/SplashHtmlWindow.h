#pragma once

#include <memory>
#include <string>
#include <wx/html/htmlwin.h>
#include <wx/timer.h>

// The splash's HTML window. Its page is read as the page says (a declared
// charset, else UTF-8, else Latin-1) and never blocks the event loop: a page
// from a web server is fetched beside it within a short bound, and the page's
// own web images are not fetched at all.
class SplashHtmlWindow : public wxHtmlWindow {
public:
    static const int kFetchTimeoutMs = 3000;
    static const int kFetchPollMs = 50;

    SplashHtmlWindow(wxWindow* parent, const wxSize& size);
    ~SplashHtmlWindow() override;

    // Shows the page at `url` (a file URL, a path or an http URL); false when
    // there is nothing to show, which is logged.
    bool ShowUrl(const wxString& url);
    // True once a fetched page has arrived or failed.
    bool FetchDone() const;

    // The text of an HTML document: `contentType`'s charset, else the one
    // its <meta> declares, else UTF-8 when it is valid, else Latin-1.
    static wxString DecodeDocument(const std::string& bytes, const std::string& contentType);
    // The charset named after "charset=" in `text` (lower case), or empty.
    static std::string CharsetOf(const std::string& text);

protected:
    wxHtmlOpeningStatus OnOpeningURL(wxHtmlURLType type, const wxString& url,
                                     wxString* redirect) const override;

private:
    struct Fetch;
    void ShowDocument(const wxString& location, const wxString& text);
    void OnFetchTimer(wxTimerEvent& event);

    std::shared_ptr<Fetch> m_fetch;
    wxTimer m_fetchTimer;
};

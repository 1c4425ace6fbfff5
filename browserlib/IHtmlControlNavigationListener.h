#pragma once

#include <wx/string.h>

// Sees every navigation of the host's browsers and may take it over.
class IHtmlControlNavigationListener {
public:
    // true: the host dealt with `url`; the engine must not open it.
    virtual bool FilterUrl(const wxString& url) = 0;
    virtual void OnBeforeNavigate(const wxString& url) = 0;
    virtual void Reserved(const wxString& url) = 0;
    virtual void OnDocumentComplete(const wxString& url) = 0;

protected:
    ~IHtmlControlNavigationListener() = default;
};

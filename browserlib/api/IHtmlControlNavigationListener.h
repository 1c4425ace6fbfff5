#pragma once

#include "browserlib/api/NavigationRequest.h"

#include <wx/string.h>

// Sees every navigation of the host's browsers and may take it over.
class IHtmlControlNavigationListener {
public:
    // true: the host dealt with `url`; the engine must not open it.
    virtual bool FilterUrl(const wxString& url) = 0;
    // The same with what the engine knows of the navigation; a listener that
    // needs no more than the URL leaves it to FilterUrl.
    virtual bool FilterNavigation(NavigationRequest& request) { return FilterUrl(request.url); }
    virtual void OnBeforeNavigate(const wxString& url) = 0;
    virtual void Reserved(const wxString& url) = 0;
    virtual void OnDocumentComplete(const wxString& url) = 0;

protected:
    ~IHtmlControlNavigationListener() = default;
};

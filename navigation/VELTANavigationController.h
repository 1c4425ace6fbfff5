#pragma once

#include "browserlib/api/NavigationRequest.h"
#include "navigation/NavigationController.h"
#include "navigation/UrlClassifier.h"

// The host's navigation controller: the web application's shutdown command on
// stop, and the URL filter every navigation passes.
class VELTANavigationController : public NavigationController {
public:
    bool Start() override;
    bool Stop() override;
    bool FilterUrl(const wxString& url) override;
    bool FilterNavigation(NavigationRequest& request) override;

    bool CheckRelativeExternalUrls(const wxString& startUrl, const wxString& url);
    bool OpenExternal(const wxString& url);

private:
    void Obey(UrlClassifier::Command command);
};

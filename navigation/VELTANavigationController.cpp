#include "navigation/VELTANavigationController.h"

#include "config/HostConfig.h"
#include "navigation/MainFrame.h"
#include "navigation/NavigationPolicy.h"
#include "navigation/UrlClassifier.h"
#include "platform/UiServices.h"

#include <wx/log.h>

bool VELTANavigationController::Start() {
    return NavigationController::Start();
}

bool VELTANavigationController::Stop() {
    if (m_hostConfig && m_MozillaHtmlCtrl)
        return m_MozillaHtmlCtrl->LoadURL(m_hostConfig->GetAppCommandShutdown());
    return NavigationController::Stop();
}

bool VELTANavigationController::FilterUrl(const wxString& url) {
    // Without more from the engine: the main frame, showing the application.
    NavigationRequest request;
    request.url = url;
    request.frame = NavigationRequest::Frame::Main;
    if (m_hostConfig) {
        request.pageUrl = m_hostConfig->GetStartUrl();
        m_hostConfig->ResolveUrl(request.pageUrl);
    }
    return FilterNavigation(request);
}

bool VELTANavigationController::FilterNavigation(NavigationRequest& request) {
    const wxString& url = request.url;
    wxLogMessage(wxS("VELTANavigationController::FilterUrl %s"), url);
    if (!m_hostConfig) {
        wxLogError(wxS("VELTANavigationController::FilterUrl host config == null!"));
        return false;
    }
    const NavigationPolicy::Decision decision = NavigationPolicy::Decide(request, PolicySettings());
    switch (decision.action) {
    case NavigationPolicy::Action::Allow:
        return false;
    case NavigationPolicy::Action::DecideWithFrame:
        request.decideWithFrame = true;
        return true;
    case NavigationPolicy::Action::Refuse:
        if (decision.warning)
            wxLogWarning(wxS("VELTANavigationController::FilterUrl refused %s: %s"), url,
                         decision.reason);
        else
            wxLogMessage(wxS("VELTANavigationController::FilterUrl refused %s: %s"), url,
                         decision.reason);
        return true;
    case NavigationPolicy::Action::Command:
        wxLogMessage(
            wxS("VELTANavigationController::FilterUrl has detected an internal command --> abort"));
        Obey(decision.command);
        if (decision.alsoOutside && !decision.outside.empty())
            OpenExternal(decision.outside);
        return true;
    case NavigationPolicy::Action::OpenOutside:
        wxLogMessage(wxS("VELTANavigationController::FilterUrl has external Url --> abort"));
        if (decision.formDataDropped)
            wxLogWarning(wxS("VELTANavigationController::FilterUrl a form sent to %s: the "
                             "desktop's browser gets its address alone; the form's data was not "
                             "sent"),
                         url);
        OpenExternal(decision.outside);
        return true;
    }
    return false;
}

void VELTANavigationController::Obey(UrlClassifier::Command command) {
    switch (command) {
    case UrlClassifier::Command::Fullscreen:
        SetFullScreenMode(true);
        break;
    case UrlClassifier::Command::Windowmode:
        SetFullScreenMode(false);
        break;
    case UrlClassifier::Command::Quit:
        if (m_mainFrame) {
            wxCloseEvent close(wxEVT_CLOSE_WINDOW, 0);
            close.SetEventObject(m_mainFrame);
            wxPostEvent(m_mainFrame, close);
        }
        break;
    default:
        break;
    }
}

bool VELTANavigationController::CheckRelativeExternalUrls(const wxString& startUrl,
                                                          const wxString& url) {
    wxLogMessage(wxS("CheckRelativeExternalUrls url: %s startUrl %s"), url, startUrl);
    if (!m_hostConfig)
        return false;
    const wxString testUrl = UrlClassifier::MatchingRelativeExternal(
        startUrl, url, m_hostConfig->GetRelativeExternalUrls());
    if (testUrl.empty())
        return false;
    wxLogMessage(wxS("CheckRelativeExternalUrls detected external url: %s testUrl %s"), url,
                 testUrl);
    return true;
}

bool VELTANavigationController::OpenExternal(const wxString& url) {
    return UiServices::Get().OpenInDefaultBrowser(url);
}

#include "VELTANavigationController.h"

#include "HostConfig.h"
#include "MainFrame.h"
#include "UiServices.h"
#include "UrlClassifier.h"

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
    wxLogMessage(wxS("VELTANavigationController::FilterUrl %s"), url);
    if (!m_hostConfig) {
        wxLogError(wxS("VELTANavigationController::FilterUrl host config == null!"));
        return false;
    }
    const wxString& prefix = m_hostConfig->GetCommandPrefix();
    const bool command = UrlClassifier::IsCommand(url, prefix);
    if (command) {
        wxLogMessage(
            wxS("VELTANavigationController::FilterUrl has detected an internal command --> abort"));
        switch (UrlClassifier::CommandOf(url, prefix)) {
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
    wxString startUrl = m_hostConfig->GetStartUrl();
    m_hostConfig->ResolveUrl(startUrl);
    // The engine drops a default port ("http://localhost:80/" becomes
    // "http://localhost/"): compared as written, the application's own start
    // page would count as external and never load.
    startUrl = UrlClassifier::WithoutDefaultPort(startUrl);
    const wxString address = UrlClassifier::WithoutDefaultPort(url);
    bool external = false;
    if (UrlClassifier::IsExternalCandidate(address, startUrl))
        external = UrlClassifier::DiffersFromStart(address, startUrl) ||
                   CheckRelativeExternalUrls(startUrl, address);
    if (external) {
        if (m_hostConfig->UseExternalBrowserForExternalUrls()) {
            wxLogMessage(wxS("VELTANavigationController::FilterUrl has external Url --> abort"));
            OpenExternal(url);
        } else {
            external = false;
        }
    }
    return command || external;
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

#include "navigation/NavigationController.h"

#include "navigation/NavigationPolicy.h"

#include "config/HostConfig.h"
#include "navigation/DisplayManager.h"
#include "navigation/MainFrame.h"
#include "navigation/SplashWindow.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>

NavigationController::NavigationController() = default;

NavigationController::~NavigationController() = default;

void NavigationController::SetDisplayManager(std::unique_ptr<DisplayManager> manager) {
    m_display = std::move(manager);
}

void NavigationController::OnServerStarting() {
    Start();
}

void NavigationController::OnServerStarted(bool) {
    StartWebApp();
}

void NavigationController::OnServerStopping() {
    m_stopAsked = true;
    Stop();
}

void NavigationController::OnServerStopped(bool byItself) {
    if (byItself && !m_stopAsked && m_MozillaHtmlCtrl && !m_MozillaHtmlCtrl->IsClosing() &&
        m_mainFrame) {
        // Not inside the process-end callback: the message box runs a loop.
        MainFrame* frame = m_mainFrame;
        frame->CallAfter([frame] { frame->OnServerEndedUnasked(); });
        return;
    }
    CloseWindows();
    if (byItself && m_stopAsked && m_mainFrame)
        m_mainFrame->OnServerEndedDuringStop();
}

void NavigationController::CloseWindows() {
    if (m_splash) {
        m_splash->Destroy();
        m_splash = nullptr;
    }
    if (m_MozillaHtmlCtrl)
        m_MozillaHtmlCtrl->GetFrame()->Destroy();
    // Windows go at idle time; a process end alone does not bring one about.
    wxWakeUpIdle();
}

bool NavigationController::Start() {
    wxString url = m_hostConfig->GetSplashScreenStart();
    m_hostConfig->ResolveUrl(url);
    if (url.empty()) {
        wxLogMessage(wxS("NavigationController::Start with empty splash url -> no splash screen"));
        return true;
    }
    wxLogMessage(wxS("NavigationController::Start with splash url: %s"), url);
    m_splash = new SplashWindow(url, wxS("Programm-Start"));
    wxSize size(600, 400);
    const wxRect& rect = m_hostConfig->GetSplashWindowRect();
    if (rect.width > 0 && rect.height > 0)
        size = rect.GetSize();
    m_splash->ShowSplash(size);
    return true;
}

NavigationPolicy::Settings NavigationController::PolicySettings() const {
    NavigationPolicy::Settings settings;
    if (!m_hostConfig)
        return settings;
    settings.startUrl = m_hostConfig->GetStartUrl();
    m_hostConfig->ResolveUrl(settings.startUrl);
    settings.commandPrefix = m_hostConfig->GetCommandPrefix();
    settings.relativeExternalUrls = m_hostConfig->GetRelativeExternalUrls();
    settings.useExternalBrowser = m_hostConfig->UseExternalBrowserForExternalUrls();
    return settings;
}

bool NavigationController::StartWebApp() {
    if (!m_hostConfig) {
        wxLogError(wxS("NavigationController::StartWebApp called with empty hostconfig"));
        return false;
    }
    wxString url = m_hostConfig->GetStartUrl();
    m_hostConfig->ResolveUrl(url);
    for (const wxString& scheme : NavigationPolicy::RoutedSchemes(m_hostConfig->GetCommandPrefix()))
        wxHtmlCtrl::RouteScheme(scheme);
    wxHtmlCtrl::KeepDocumentsTo(NavigationPolicy::DocumentRules(PolicySettings()));
    wxHtmlCtrl::SetInterfaceLanguage(m_hostConfig->GetUILanguage());
    if (url.empty()) {
        wxLogMessage(
            wxS("NavigationController::StartWebApp with empty startUrl url -> use about:blank"));
        url = wxS("about:blank");
    } else {
        wxLogMessage(wxS("NavigationController::StartWebApp with startUrl url: %s"), url);
    }
    if (!m_MozillaHtmlCtrl) {
        m_NavigationListener = m_mainFrame;
        m_MozillaHtmlCtrl = wxHtmlCtrl::createHostedBrowser(wxTheApp, m_mainFrame, wxEmptyString,
                                                            m_hostConfig, this);
        if (!m_MozillaHtmlCtrl)
            wxLogError(wxS("NavigationController::StartWebApp. Could not create mozilla control!"));
    } else {
        wxLogMessage(wxS(
            "NavigationController::StartWebApp. Mozilla control already exists. Did you call start "
            "twice?"));
    }
    if (m_splash) {
        m_splash->Destroy();
        m_splash = nullptr;
    }
    SetFullScreenMode(m_hostConfig->IsFullscreen());
    return m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->LoadURL(url) : false;
}

bool NavigationController::Stop() {
    return ShowEndPage();
}

bool NavigationController::ShowEndPage() {
    if (!m_hostConfig) {
        wxLogError(wxS("NavigationController::Stop called with empty hostconfig"));
        return false;
    }
    wxString url = m_hostConfig->GetSplashScreenEnd();
    m_hostConfig->ResolveUrl(url);
    if (url.empty())
        wxLogMessage(wxS("NavigationController::Stop with empty splash url -> no splash screen"));
    else
        wxLogMessage(wxS("NavigationController::Stop with splash url: %s"), url);
    return m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->LoadURL(url) : false;
}

bool NavigationController::OnExit() {
    if (m_MozillaHtmlCtrl) {
        m_MozillaHtmlCtrl = nullptr;
        wxLogMessage(wxS("NavigationController::OnExit: m_MozillaHtmlCtrl gone."));
    }
    if (m_mainFrame && !m_mainFrame->IsBeingDeleted())
        m_mainFrame->Close(true);
    return true;
}

void NavigationController::SetFullScreenMode(bool on) {
    if (!m_MozillaHtmlCtrl || !m_display)
        return;
    wxFrame* frame = m_MozillaHtmlCtrl->GetFrame();
    const BrowserFrameList& windows = wxHtmlCtrl::GetFrameList();
    bool done = false;
    if (on) {
        if (m_hostConfig && !m_display->IsFullScreen())
            m_display->SetKeepResolution(m_hostConfig->KeepsResolution());
        done = m_display->EnterFullScreen(frame);
        if (done) {
            TestAndSetInsideScreen(windows);
            RaiseWindows(windows);
            SetWindowStyle(wxSTAY_ON_TOP, windows);
        }
    } else {
        done = m_display->LeaveFullScreen(frame);
        if (done) {
            TestAndSetInsideScreen(windows);
            ResetWindowStyle(wxSTAY_ON_TOP, windows);
        }
    }
    if (done && m_hostConfig)
        m_hostConfig->SetFullscreen(on);
}

void NavigationController::ToggleFullScreenMode() {
    SetFullScreenMode(!(m_display && m_display->IsFullScreen()));
}

namespace {
// Every window of `windows` except `skip`; entries that are no windows are logged.
template <class F>
void ForEachWindow(const BrowserFrameList& windows, wxWindow* skip, const wxString& error, F f) {
    for (wxObject* entry : windows) {
        auto* window = dynamic_cast<wxWindow*>(entry);
        if (!window) {
            wxLogError(wxS("%s"), error);
            continue;
        }
        if (window != skip)
            f(window);
    }
}
} // namespace

void NavigationController::TestAndSetInsideScreen(const BrowserFrameList& windows) {
    wxWindow* frame = m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->GetFrame() : nullptr;
    ForEachWindow(windows, frame,
                  wxS("NavigationController::TestAndSetInsideScreen. cast exception -> objects are "
                      "no wxWindows"),
                  [this](wxWindow* w) { m_display->FitInsideScreen(w); });
}

void NavigationController::RaiseWindows(const BrowserFrameList& windows) {
    wxWindow* frame = m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->GetFrame() : nullptr;
    ForEachWindow(
        windows, frame,
        wxS("NavigationController::SetWindowStyle. cast exception -> objects are no wxWindows"),
        [](wxWindow* w) { w->Raise(); });
}

void NavigationController::SetWindowStyle(long style, const BrowserFrameList& windows) {
    wxWindow* frame = m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->GetFrame() : nullptr;
    ForEachWindow(
        windows, frame,
        wxS("NavigationController::SetWindowStyle. cast exception -> objects are no wxWindows"),
        [style](wxWindow* w) { w->SetWindowStyleFlag(w->GetWindowStyleFlag() | style); });
}

void NavigationController::ResetWindowStyle(long style, const BrowserFrameList& windows) {
    wxWindow* frame = m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->GetFrame() : nullptr;
    ForEachWindow(
        windows, frame,
        wxS("NavigationController::ResetWindowStyle. cast exception -> objects are no wxWindows"),
        [style](wxWindow* w) { w->SetWindowStyleFlag(w->GetWindowStyleFlag() & ~style); });
}

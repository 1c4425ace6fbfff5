#include "navigation/NavigationController.h"

#include "navigation/NavigationPolicy.h"

#include "config/HostConfig.h"
#include "navigation/DisplayManager.h"
#include "navigation/MainFrame.h"
#include "navigation/OpenRequest.h"
#include "navigation/SplashWindow.h"
#include "navigation/UrlClassifier.h"
#include "navigation/X11DisplayManager.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/filesys.h>
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
    wxHtmlCtrl::SetPermissions(PermissionsFor(url));
    if (url.empty()) {
        wxLogMessage(
            wxS("NavigationController::StartWebApp with empty startUrl url -> use about:blank"));
        url = wxS("about:blank");
    } else {
        wxLogMessage(wxS("NavigationController::StartWebApp with startUrl url: %s"), url);
    }
    WindowMemory::State remembered;
    if (m_hostConfig->RemembersWindow() && !m_MozillaHtmlCtrl)
        remembered = RecallWindow();
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
    if (remembered.valid && m_MozillaHtmlCtrl) {
        wxFrame* frame = m_MozillaHtmlCtrl->GetFrame();
        const wxPoint place = m_placeOnceShown;
        if (place != wxDefaultPosition)
            frame->CallAfter([frame, place] {
                if (!frame->IsFullScreen())
                    frame->Move(place);
            });
        if (remembered.maximized)
            m_MozillaHtmlCtrl->GetFrame()->Maximize(true);
        if (remembered.zoomPercent != 100)
            m_MozillaHtmlCtrl->SetZoomPercent(remembered.zoomPercent);
    }
    SetFullScreenMode(m_hostConfig->IsFullscreen());
    return m_MozillaHtmlCtrl ? m_MozillaHtmlCtrl->LoadURL(url) : false;
}

PermissionSettings NavigationController::PermissionsFor(const wxString& startUrl,
                                                        const wxString& name) {
    m_startUrl = startUrl;
    PermissionSettings settings;
    settings.applicationOrigin = std::string(startUrl.utf8_str());
    settings.applicationName = std::string(name.utf8_str());
    wxString icon = m_hostConfig->GetIconUrl();
    m_hostConfig->ResolveUrl(icon);
    if (icon.Lower().StartsWith(wxS("file:")))
        settings.applicationIcon =
            std::string(wxFileSystem::URLToFileName(icon).GetFullPath().utf8_str());
    for (const auto& [kind, value] : m_hostConfig->GetPermissions()) {
        PermissionSettings::Answer answer;
        if (value == wxS("allow"))
            answer = PermissionSettings::Answer::Allow;
        else if (value == wxS("deny"))
            answer = PermissionSettings::Answer::Deny;
        else if (value == wxS("ask"))
            answer = PermissionSettings::Answer::Ask;
        else
            continue; // the configuration's findings name it; the default holds
        settings.kinds[std::string(kind.utf8_str())] = answer;
    }
    return settings;
}

bool NavigationController::Stop() {
    return ShowEndPage();
}

void NavigationController::OpenFromDesktop(const std::vector<wxString>& candidates) {
    if (!m_hostConfig || candidates.empty())
        return;
    const wxString openUrl = m_hostConfig->GetOpenUrl();
    const wxArrayString schemes = OpenRequest::SchemeList(m_hostConfig->GetUrlSchemes());
    for (const wxString& candidate : candidates) {
        if (openUrl.empty()) {
            wxLogMessage(wxS("NavigationController::OpenFromDesktop '%s' ignored: no OpenUrl "
                             "is configured"),
                         candidate);
            continue;
        }
        const OpenRequest::Verdict verdict = OpenRequest::Classify(
            candidate, schemes, [](const wxString& path) { return wxFileName::Exists(path); });
        if (verdict.kind == OpenRequest::Kind::Ignored) {
            wxLogMessage(wxS("NavigationController::OpenFromDesktop '%s' ignored: %s"), candidate,
                         verdict.why);
            continue;
        }
        wxLogMessage(wxS("NavigationController::OpenFromDesktop %s '%s'"),
                     verdict.kind == OpenRequest::Kind::Url ? wxS("link") : wxS("file"),
                     verdict.value);
        m_toOpen.push_back(verdict.value);
    }
    if (m_shown)
        OpenNext();
}

void NavigationController::OnDocumentComplete() {
    if (!m_MozillaHtmlCtrl || m_stopAsked)
        return;
    if (!m_shown) {
        // The application's name for its questions: its first page's title.
        const wxString title = m_MozillaHtmlCtrl->GetFrame()->GetTitle();
        if (!title.empty())
            wxHtmlCtrl::SetPermissions(PermissionsFor(m_startUrl, title));
    }
    if (!m_shown && m_placeOnceShown != wxDefaultPosition) {
        // A window manager places a new window by its own rules; once the
        // window is up it honours a move like the user's own.
        wxFrame* frame = m_MozillaHtmlCtrl->GetFrame();
        if (!frame->IsFullScreen() && frame->GetPosition() != m_placeOnceShown)
            frame->Move(m_placeOnceShown);
        m_placeOnceShown = wxDefaultPosition;
    }
    m_shown = true;
    OpenNext();
}

void NavigationController::OpenNext() {
    if (m_toOpen.empty() || !m_MozillaHtmlCtrl || m_stopAsked || m_MozillaHtmlCtrl->IsClosing())
        return;
    const wxString value = m_toOpen.front();
    m_toOpen.pop_front();
    // Expanded now: the server's port is known once the application is shown.
    wxString url = OpenRequest::Expand(m_hostConfig->GetOpenUrl(), value);
    m_hostConfig->ResolveUrl(url);
    if (UrlClassifier::IsCommand(url, m_hostConfig->GetCommandPrefix())) {
        wxLogWarning(wxS("NavigationController::OpenFromDesktop: OpenUrl makes '%s' a host "
                         "command; nothing is opened"),
                     url);
        OpenNext();
        return;
    }
    wxLogMessage(wxS("NavigationController::OpenFromDesktop '%s' -> %s"), value, url);
    m_MozillaHtmlCtrl->LoadURL(url);
}

WindowMemory::State NavigationController::RecallWindow() {
    const wxString file = WindowMemory::FileIn(m_hostConfig->GetAppDataDirectory());
    WindowMemory::State state = WindowMemory::Load(file);
    if (!state.valid) {
        wxLogMessage(wxS("NavigationController: no window remembered in %s"), file);
        return state;
    }
    std::vector<wxRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i)
        areas.push_back(wxDisplay(i).GetClientArea());
    wxRect rect = WindowMemory::Clamp(state.rect, areas);
    // The place is given once the window is up (a window manager places a new
    // window by its own rules, a moved one where it is put); under Wayland the
    // compositor places windows: the size and the state alone come back.
    if (X11DisplayManager::IsX11Session()) {
        m_placeOnceShown = rect.GetPosition();
        m_hostConfig->SetMainWindowCentered(false);
    }
    wxLogMessage(wxS("NavigationController: the window comes back at %d,%d %dx%d%s, zoom %d%%"),
                 rect.x, rect.y, rect.width, rect.height,
                 state.maximized ? wxS(", maximized") : wxS(""), state.zoomPercent);
    rect.SetPosition(m_hostConfig->GetMainWindowRect().GetPosition());
    m_hostConfig->SetMainWindowRect(rect);
    return state;
}

void NavigationController::RememberWindow() {
    // Once, at the first sign of the end, while the window is as the user left it.
    if (!m_hostConfig || !m_hostConfig->RemembersWindow() || !m_MozillaHtmlCtrl || m_windowKept)
        return;
    m_windowKept = true;
    wxFrame* frame = m_MozillaHtmlCtrl->GetFrame();
    WindowMemory::State state;
    state.valid = true;
    // The frame keeps its own rectangle in the configuration, never the
    // maximized or full-screen one.
    state.rect = m_hostConfig->GetMainWindowRect();
    if (state.rect.width <= 0 || state.rect.height <= 0)
        state.rect = frame->GetRect();
    state.maximized = frame->IsMaximized() && !frame->IsFullScreen();
    state.zoomPercent = m_MozillaHtmlCtrl->GetZoomPercent();
    const wxString file = WindowMemory::FileIn(m_hostConfig->GetAppDataDirectory());
    if (WindowMemory::Save(file, state))
        wxLogMessage(wxS("NavigationController: window remembered in %s: %d,%d %dx%d%s, zoom %d%%"),
                     file, state.rect.x, state.rect.y, state.rect.width, state.rect.height,
                     state.maximized ? wxS(", maximized") : wxS(""), state.zoomPercent);
    else
        wxLogWarning(wxS("NavigationController: the window's place cannot be kept in %s"), file);
}

bool NavigationController::ShowEndPage() {
    RememberWindow();
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

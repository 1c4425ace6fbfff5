#include "navigation/MainFrame.h"
#include "host/FatalError.h"
#include "host/UserMessages.h"

#include <wx/log.h>
#include <wx/weakref.h>

#include "config/VELTAAppConfig.h"
#include "host/HostSwitches.h"
#include "navigation/NavigationController.h"
#include "navigation/WebUrl.h"
#include "platform/PlatformInfo.h"
#include "server/ExitCodeMessages.h"
#include "server/VELTAServerController.h"

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/statusbr.h>

MainFrame::MainFrame(const wxString& title, const wxPoint& pos, const wxSize& size,
                     VELTAAppConfig& config, VELTAServerController& server,
                     NavigationController& navigation)
    : wxFrame(nullptr, wxID_ANY, title, pos, size, wxDEFAULT_FRAME_STYLE, wxS("frame")),
      m_config(config), m_server(server), m_navigation(navigation) {
    auto* status =
        CreateStatusBar(1, wxST_SIZEGRIP | wxFULL_REPAINT_ON_RESIZE, 0, wxS("status_line"));
    status->SetStatusText(wxS("Welcome to embedded Mozilla sample!"));
    m_StartTimer.SetOwner(this, 0);
    m_StopTimer.SetOwner(this, 1);
    Bind(wxEVT_TIMER, &MainFrame::OnStartTimer, this, 0);
    Bind(wxEVT_TIMER, &MainFrame::OnStopTimer, this, 1);
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
    Bind(wxEVT_MENU, &MainFrame::OnCommand, this, ID_CLOSE, ID_TOGGLE_FULLSCREEN);
}

MainFrame::~MainFrame() {
    // The browser frame is a child of this one and goes after it: its end
    // must not ask a frame that is gone to close.
    m_navigation.SetMainFrame(nullptr);
}

bool MainFrame::FilterUrl(const wxString& url) {
    return m_navigation.FilterUrl(url);
}

bool MainFrame::FilterNavigation(NavigationRequest& request) {
    return m_navigation.FilterNavigation(request);
}

void MainFrame::OnCommand(wxCommandEvent& event) {
    wxHtmlCtrl* control = m_navigation.GetControl();
    switch (event.GetId()) {
    case ID_CLOSE:
        Close(false); // the user's: the page is asked first
        break;
    case ID_START:
        OnStart();
        break;
    case ID_TEST_XML:
        if (control) {
            const wxChar sep = PlatformInfo::PathSeparator();
            const wxString path = wxGetCwd() + sep + wxS("xml") + sep + wxS("tour.details") +
                                  wxString::Format(wxS("%d"), m_testFileDigit) + wxS(".xml");
            m_testFileDigit = 1 - m_testFileDigit;
            wxString text;
            wxFFile file;
            if (wxFileExists(path) && file.Open(path, "rb"))
                file.ReadAll(&text);
            const wxString name = wxS("test.xml");
            control->SetHTML(text, &name);
        }
        break;
    case ID_TEST_CONTENT:
        if (control)
            control->SetHTML(control->GetDocumentContent(), nullptr);
        break;
    case ID_PRINT:
        if (control)
            control->Print();
        break;
    case ID_PRINT_PREVIEW:
        if (control)
            control->PrintPreview(event.IsChecked());
        break;
    case ID_TOGGLE_FULLSCREEN:
        m_navigation.ToggleFullScreenMode();
        break;
    default:
        break;
    }
}

void MainFrame::OnStart() {
    m_config.Load();
    m_server.Init(this, &m_navigation, &m_config);
    if (!m_navigation.GetControl())
        m_navigation.SetHostConfig(&m_config);
    m_StartTimer.StartOnce(1); // as soon as the loop runs
}

void MainFrame::OnStartTimer(wxTimerEvent&) {
    if (HostSwitches::IsSet(wxS("no_server")))
        m_navigation.StartWebApp();
    else
        m_server.DoStartAsync(m_StartTimer);
    // The engine starts its processes while the server starts: once the
    // server's process is launched, so the two do not race for the CPU.
    if (!m_prewarmed && m_server.GetProcess()) {
        m_prewarmed = true;
        // The server answers only requests with this run's secret: the
        // browsers carry it to the server's host, as the start page names it.
        wxString start = m_config.GetStartUrl();
        m_config.ResolveUrl(start);
        const WebUrl startUrl(start);
        if (!m_config.GetServerToken().empty() && startUrl.IsWeb())
            wxHtmlCtrl::AddSessionCookie(startUrl.Host(), wxS("VELTA_SERVER_TOKEN"),
                                         m_config.GetServerToken());
        // Compiled while the server starts, ready before its first page.
        wxHtmlCtrl::KeepDocumentsTo(NavigationPolicy::DocumentRules(m_navigation.PolicySettings()));
        wxHtmlCtrl::Prewarm();
    }
}

void MainFrame::OnClose(wxCloseEvent& event) {
    if (m_stopping)
        return;
    // A close the user started (the quit command, command 100) asks every
    // window's page first; one from outside (a signal, a fatal error) waits
    // for no one.
    wxHtmlCtrl* control = m_navigation.GetControl();
    if (event.CanVeto() && control) {
        event.Veto();
        if (m_pageAsked) {
            wxLogMessage(wxS("MainFrame::OnClose: refused, the pages are still being asked"));
            return;
        }
        m_pageAsked = true;
        wxWeakRef<MainFrame> self(this);
        wxHtmlCtrl::AskEveryPageToClose([self](bool mayClose) {
            if (!self)
                return;
            self->m_pageAsked = false;
            if (mayClose)
                self->StartStop();
        });
        return;
    }
    StartStop();
}

void MainFrame::StartStop() {
    if (m_stopping)
        return;
    m_stopping = true;
    m_StartTimer.Stop(); // a start tick now would start the server again
    // Page dialogs would wait for a person: they end as cancelled.
    wxHtmlCtrl::EndPageDialogs();
    m_StopTimer.StartOnce(1);
}

void MainFrame::OnStopTimer(wxTimerEvent&) {
    m_server.DoStopAsync(m_StopTimer);
    if (m_server.IsRunning())
        return;
    m_StartTimer.Stop();
    // Closed while the server still starts: it does not answer yet, so the
    // stop sequence had nothing to ask; it ends now, and the splash with it.
    if (m_server.IsStarting() && m_server.GetProcess()) {
        wxLogMessage(wxS("MainFrame: closed during the start, the server is ended"));
        m_server.ServerController::Stop();
    }
    m_navigation.CloseWindows();
    Destroy();
}

void MainFrame::OnServerEndedDuringStop() {
    if (m_stopping && m_StopTimer.IsRunning())
        m_StopTimer.StartOnce(1);
}

void MainFrame::OnDocumentComplete(const wxString&) {
    if (!m_stopping)
        m_navigation.OnDocumentComplete();
}

void MainFrame::OnServerEndedUnasked() {
    if (m_stopping)
        return;
    if (ExitCodeMessages::IsOwnQuit(m_server.GetExitCode())) {
        // The application's own Quit: its user asked, so the host goes too.
        wxLogMessage(wxS("MainFrame: the server ended by itself with exit code 0: the "
                         "application's own quit"));
        m_stopping = true;
        m_StartTimer.Stop();
        wxHtmlCtrl::EndPageDialogs();
        const bool farewell = !m_config.GetSplashScreenEnd().empty();
        if (farewell)
            m_navigation.ShowEndPage();
        // The stop tick finds no server and closes the windows; the end page
        // gets a moment to be seen first.
        m_StopTimer.StartOnce(farewell ? kFarewellMs : 1);
        return;
    }
    // Any other end nobody asked for is a failure, never an exit 0.
    const wxString& language = m_config.GetUILanguage();
    wxString message = m_server.GetErrorMessage();
    if (message.empty())
        message = UserMessages::Pick(language, L"Die Anwendung wurde unerwartet beendet.",
                                     L"The application ended unexpectedly.");
    wxLogError(wxS("MainFrame: the server ended while the application was shown"));
    ShowFatalError(UserMessages::FatalCaption(language), message, m_server.GetFailureReason());
}

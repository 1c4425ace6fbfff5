#include "MainFrame.h"

#include "HostSwitches.h"
#include "NavigationController.h"
#include "PlatformInfo.h"
#include "VELTAAppConfig.h"
#include "VELTAServerController.h"

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
        Close(true);
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
    m_StartTimer.StartOnce(100);
}

void MainFrame::OnStartTimer(wxTimerEvent&) {
    if (HostSwitches::IsSet(wxS("no_server")))
        m_navigation.StartWebApp();
    else
        m_server.DoStartAsync(m_StartTimer);
}

void MainFrame::OnClose(wxCloseEvent&) {
    m_StopTimer.StartOnce(1);
}

void MainFrame::OnStopTimer(wxTimerEvent&) {
    m_server.DoStopAsync(m_StopTimer);
    if (m_server.IsRunning())
        return;
    m_StartTimer.Stop();
    Destroy();
}

#pragma once

#include "browserlib/api/IHtmlControlNavigationListener.h"

#include <wx/frame.h>
#include <wx/timer.h>

class NavigationController;
class VELTAAppConfig;
class VELTAServerController;

// The host's hidden top window: drives the start and the stop with its two
// timers, parents the browser frame and listens to its navigations.
class MainFrame : public wxFrame, public IHtmlControlNavigationListener {
public:
    enum {
        ID_CLOSE = 100,
        ID_START = 101,
        ID_TEST_XML = 102,
        ID_TEST_CONTENT = 103,
        ID_PRINT = 104,
        ID_PRINT_PREVIEW = 105,
        ID_TOGGLE_FULLSCREEN = 106
    };

    MainFrame(const wxString& title, const wxPoint& pos, const wxSize& size, VELTAAppConfig& config,
              VELTAServerController& server, NavigationController& navigation);
    ~MainFrame() override;

    bool FilterUrl(const wxString& url) override;
    bool FilterNavigation(NavigationRequest& request) override;
    void OnBeforeNavigate(const wxString&) override {}
    void Reserved(const wxString&) override {}
    void OnDocumentComplete(const wxString& url) override;

    wxTimer& StartTimer() { return m_StartTimer; }
    wxTimer& StopTimer() { return m_StopTimer; }

private:
    void OnCommand(wxCommandEvent& event);
    void OnStart();
    void StartStop();

public:
    // The server ended by itself while the application was shown.
    void OnServerEndedUnasked();
    // The server obeyed the stop: the next stop tick need not wait its second.
    void OnServerEndedDuringStop();

private:
    // How long the end page shows after the application's own quit.
    static constexpr int kFarewellMs = 1000;

    void OnStartTimer(wxTimerEvent& event);
    void OnStopTimer(wxTimerEvent& event);
    void OnClose(wxCloseEvent& event);

    wxTimer m_StartTimer;
    wxTimer m_StopTimer;
    VELTAAppConfig& m_config;
    VELTAServerController& m_server;
    bool m_stopping = false;
    bool m_pageAsked = false;
    bool m_prewarmed = false;
    NavigationController& m_navigation;
    int m_testFileDigit = 0;
};

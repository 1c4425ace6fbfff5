#pragma once

#include "browserlib/api/BrowserFrameOptions.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/api/NavigationRequest.h"
#include "browserlib/api/wxHtmlCtrl.h"
#include "navigation/NavigationPolicy.h"
#include "navigation/WindowMemory.h"
#include "server/IServerControllerListener.h"

#include <deque>
#include <memory>
#include <vector>

class DisplayManager;
class HostConfig;
class MainFrame;
class SplashWindow;
class wxFrame;

// Decides what the user sees while the host runs: the splash page while the
// server starts, the web application once it answers, the shutdown command
// when the host stops; and applies the window modes.
class NavigationController : public IServerControllerListener, public IMozillaHost {
public:
    NavigationController();
    virtual ~NavigationController();

    // IServerControllerListener
    void OnServerStarting() override;
    void OnServerStarted(bool started) override;
    void OnServerStopping() override;
    void OnServerStopped(bool byItself) override;

    virtual bool Start();
    // The splash and the application's window go.
    void CloseWindows();
    virtual bool StartWebApp();
    // The URL filter's view of the configuration.
    NavigationPolicy::Settings PolicySettings() const;
    virtual bool Stop();
    // The configured end page (SplashScreenEnd) in the application's window.
    bool ShowEndPage();
    virtual bool FilterUrl(const wxString& url) = 0;
    virtual bool FilterNavigation(NavigationRequest& request) { return FilterUrl(request.url); }

    // What the desktop asks the application to open (this start's command
    // line or a second start's): each through OpenUrl, one page after the
    // other, once the application is shown. Never a host command.
    void OpenFromDesktop(const std::vector<wxString>& candidates);
    // A page finished loading in one of the host's browsers.
    void OnDocumentComplete();

    // IMozillaHost
    bool OnInit() override { return true; }
    bool OnExit() override;
    void OnClosing() override { RememberWindow(); }

    void SetHostConfig(HostConfig* config) { m_hostConfig = config; }
    void SetMainFrame(MainFrame* frame) { m_mainFrame = frame; }
    void SetDisplayManager(std::unique_ptr<DisplayManager> manager);
    HostConfig* GetHostConfig() const { return m_hostConfig; }
    wxHtmlCtrl* GetControl() const { return m_MozillaHtmlCtrl; }
    SplashWindow* GetSplash() const { return m_splash; }
    DisplayManager* GetDisplayManager() const { return m_display.get(); }

    // Window modes.
    void SetFullScreenMode(bool on);
    void ToggleFullScreenMode();
    void TestAndSetInsideScreen(const BrowserFrameList& windows);
    void RaiseWindows(const BrowserFrameList& windows);
    void SetWindowStyle(long style, const BrowserFrameList& windows);
    void ResetWindowStyle(long style, const BrowserFrameList& windows);

protected:
    HostConfig* m_hostConfig = nullptr;
    wxHtmlCtrl* m_MozillaHtmlCtrl = nullptr;
    SplashWindow* m_splash = nullptr;
    MainFrame* m_mainFrame = nullptr;
    std::unique_ptr<DisplayManager> m_display;
    bool m_stopAsked = false;

private:
    void OpenNext();
    // The window the user left at the last close (MainWindowMode remember).
    WindowMemory::State RecallWindow();
    void RememberWindow();
    // The Permissions key as the browsers take it, for the application at `startUrl`.
    PermissionSettings PermissionsFor(const wxString& startUrl, const wxString& name = wxString());

    std::deque<wxString> m_toOpen; // links and absolute paths, in the order asked
    bool m_shown = false;          // the application's first page has loaded
    bool m_windowKept = false;
    wxString m_startUrl;
    wxPoint m_placeOnceShown = wxDefaultPosition;
};

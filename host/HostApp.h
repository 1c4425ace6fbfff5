#pragma once

#include "platform/InstanceLock.h"

#include <cstdio>
#include <memory>
#include <vector>
#include <wx/app.h>
#include <wx/evtloopsrc.h>

class MainFrame;
class wxLog;

// The host's application object: start-up order, switches and shut-down.
class RotatingLogFile;

class HostApp : public wxApp {
public:
    ~HostApp() override;

    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

    static bool IsSwitchSet(const wxString& name);
    MainFrame* GetMainFrame() const { return m_mainFrame; }
    void SetOSSpecificParamDefaults();

protected:
    wxAppTraits* CreateTraits() override;

private:
    void WatchSecondStarts();
    void BringForward();

    std::unique_ptr<InstanceLock> m_instance;
    std::unique_ptr<wxEventLoopSource> m_secondStarts;
    MainFrame* m_mainFrame = nullptr;
    RotatingLogFile* m_logFile = nullptr;
    wxLog* m_logTarget = nullptr;
    std::vector<wxString> m_toOpen; // this start's links and files
};

wxDECLARE_APP(HostApp);

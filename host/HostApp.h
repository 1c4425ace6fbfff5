#pragma once

#include <cstdio>
#include <wx/app.h>

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
    MainFrame* m_mainFrame = nullptr;
    RotatingLogFile* m_logFile = nullptr;
    wxLog* m_logTarget = nullptr;
};

wxDECLARE_APP(HostApp);

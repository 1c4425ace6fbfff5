#pragma once

#include <wx/event.h>
#include <wx/string.h>

class HostConfig;
class IServerControllerListener;
class ServerProcess;

// Owns the application server's process: launches it, tells whether it runs and
// answers, finds a free port for it and words what the user is told when it
// failed to start or ended by itself.
class ServerController {
public:
    ServerController();
    virtual ~ServerController();

    void Init(wxEvtHandler* parent, IServerControllerListener* listener, HostConfig* config);

    virtual bool Start(const wxString& commandLine);
    virtual bool Stop();
    virtual bool CheckServerStatus(const wxString& url);

    bool IsRunning();
    // The first port from `firstPort` on where nothing listens; 0 when there is none.
    int GetFreeServerPort(int firstPort);
    void OnServerProcessTerminated(int exitCode);

    const wxString& GetErrorMessage() const { return m_errorMessage; }
    // Why, for the line below that message; empty when nothing more is known.
    const wxString& GetFailureReason() const { return m_failureReason; }
    // The status of the server's last end, as the process reported it.
    int GetExitCode() const { return m_exitCode; }
    ServerProcess* GetProcess() const { return m_process; }
    bool IsStarting() const { return m_starting; }
    bool IsStopping() const { return m_stopping; }
    // Another program listens on the server's port (found by a status check).
    bool HasForeignListener() const { return m_foreignListener; }
    int GetRetryCount() const { return m_retryCount; }
    int GetStopCountdown() const { return m_stopCountdown; }

protected:
    wxString Language() const;

    IServerControllerListener* m_listener = nullptr;
    HostConfig* m_config = nullptr;
    ServerProcess* m_process = nullptr;
    bool m_starting = false;
    bool m_startFailed = false;
    bool m_stopping = false;
    int m_stopCountdown = 10;
    wxEvtHandler* m_parent = nullptr;
    int m_retryCount = 0;
    wxString m_errorMessage;
    wxString m_failureReason;
    // The last status check that found no server: which URL, and what it said.
    wxString m_lastCheckUrl, m_lastCheckWhy;
    int m_exitCode = -1;
    bool m_foreignListener = false;
    // How long one status check may take in all (connect and answer).
    int m_probeBudgetMs = 3000;
};

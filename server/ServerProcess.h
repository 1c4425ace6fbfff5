#pragma once

#include "server/OutputRateLimit.h"

#include <string>
#include <wx/evtloopsrc.h>
#include <wx/process.h>
#include <wx/timer.h>

class ServerController;

// The one child process in which the application server runs.
class ServerProcess : public wxProcess {
public:
    ServerProcess(wxEvtHandler* parent, ServerController* controller);
    ~ServerProcess() override;

    // Launches `commandLine` asynchronously as the leader of a new process group.
    bool Start(const wxString& commandLine);
    // Sends the terminate signal to the server's process group; always true.
    bool Stop();
    // Only asks the server's process group to end (SIGTERM); it stays ours.
    void AskToEnd();
    bool IsAlive() const { return m_pid >= 1; }
    long GetPid() const { return m_pid; }

    void OnTerminate(int pid, int status) override;

    // Gives up ownership: deleted now when no child stands behind it, else kept
    // (detached from its controller) until the toolkit reports the child's end.
    static void Release(ServerProcess* process);

    // Whether the program that `commandLine` names can be executed at all.
    static bool CanExecute(const wxString& commandLine);

private:
    // Reads one of the server's pipes when the event loop sees data on it.
    struct PipeWatcher : wxEventLoopSourceHandler {
        ServerProcess* process = nullptr;
        int stream = 0;
        void OnReadWaiting() override { process->DrainStream(stream, false); }
        void OnWriteWaiting() override {}
        void OnExceptionWaiting() override { process->DrainStream(stream, false); }
    };

    void OnDrainTimer(wxTimerEvent& event);
    void Drain(bool final);
    void DrainStream(int stream, bool final);
    void StopWatching();
    bool LaunchedForReal() const { return m_pid > 0 && !m_launchMarker; }

    wxEvtHandler* m_parent;
    long m_pid = -1;
    ServerController* m_controller;
    bool m_launchMarker = false; // m_pid 1: a failed launch that counts as launched
    bool m_released = false;
    wxTimer m_drainTimer;
    std::string m_pending[2];
    PipeWatcher m_watchers[2];
    wxEventLoopSource* m_sources[2] = {nullptr, nullptr};
    OutputRateLimit m_rate;
};

#pragma once

#include "server/ServerController.h"

#include <vector>

class wxTimer;

// Starts the application's servlet server: its environment, its command line
// with the port found, the start polled once a second up to a time limit, and
// the stop counted down before the process is killed.
class VELTAServerController : public ServerController {
public:
    ~VELTAServerController() override;

    bool Stop() override;
    virtual void DoStartAsync(wxTimer& timer);
    virtual void DoStopAsync(wxTimer& timer);
    virtual bool Start();
    using ServerController::Start;

    // Seconds a start is believed to have taken after `retryCount` re-arms.
    static unsigned EstimatedStartSeconds(int retryCount, unsigned intervalMs = 1000);
    // Seconds a start has taken: the estimate, or the clock's measure where
    // slow status checks made it longer.
    static unsigned ElapsedStartSeconds(int retryCount, long long measuredMs,
                                        unsigned intervalMs = 1000);
    // What one status check may take so that the start ends near its limit.
    static int ProbeBudgetMs(long long measuredMs, unsigned limitSeconds);
    // The start time limit in seconds: the configured one when above 0, else 60.
    static unsigned StartTimeLimit(unsigned configuredTimeout);
    // Where the command's program is: an absolute path as it is; else in the
    // server directory when it is there (or no directory is set); else a bare
    // name on `searchPath`; else the directory's path, to fail as such.
    static wxString ResolveProgram(const wxString& serverDirectory, const wxString& program,
                                   const wxString& searchPath);
    // The command line: the resolved program and the command's arguments, each
    // one word as the process start splits it, and the port in place of every
    // placeholder.
    static wxString BuildCommandLine(const wxString& serverDirectory, const wxString& command,
                                     int port, const wxString& searchPath);
    // `argument` as one word of a command line split as a shell would.
    static wxString QuoteArgument(const wxString& argument);

    struct EnvironmentEntry {
        wxString name, value;
    };
    // The ServerEnvironment lines: NAME=value each, the port and the token put
    // in place of their placeholders; a line that is no such assignment goes
    // into `refused` (the token never in it).
    static std::vector<EnvironmentEntry> EnvironmentEntries(const wxString& text, int port,
                                                            const wxString& token,
                                                            std::vector<wxString>* refused);

private:
    long long m_startBeganMs = -1;
    void SetEnv(const wxString& name, const wxString& value, bool allowEmpty);
};

#pragma once

#include "ServerController.h"

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
    static unsigned EstimatedStartSeconds(int retryCount);
    // Seconds a start has taken: the estimate, or the clock's measure where
    // slow status checks made it longer.
    static unsigned ElapsedStartSeconds(int retryCount, long long measuredMs);
    // What one status check may take so that the start ends near its limit.
    static int ProbeBudgetMs(long long measuredMs, unsigned limitSeconds);
    // The start time limit in seconds: the configured one when above 0, else 60.
    static unsigned StartTimeLimit(unsigned configuredTimeout);
    // The command line: the server directory with a trailing separator (unless
    // empty, and quoted so that it stays one word), the start command, and the
    // port in place of every placeholder of the command.
    static wxString BuildCommandLine(const wxString& serverDirectory, const wxString& command,
                                     int port);

private:
    long long m_startBeganMs = -1;
    void SetEnv(const wxString& name, const wxString& value, bool allowEmpty);
};

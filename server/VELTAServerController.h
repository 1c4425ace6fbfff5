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
    // The start time limit in seconds: the configured one when above 0, else 60.
    static unsigned StartTimeLimit(unsigned configuredTimeout);
    // The command line: the server directory with a trailing separator (unless
    // empty), the start command, and the port in place of every placeholder.
    static wxString BuildCommandLine(const wxString& serverDirectory, const wxString& command,
                                     int port);

private:
    void SetEnv(const wxString& name, const wxString& value, bool allowEmpty);
};

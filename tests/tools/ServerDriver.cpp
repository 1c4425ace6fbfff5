// Drives the application server controller the way the host's main frame does,
// with two one-shot timers, in a console event loop, and reports the listener's
// events on standard output. Fatal ends leave the process with exit code 3.
//
//   server-driver CONFIG [--log FILE] [--stop-after-start] [--stop-at SECONDS]
//                 [-no_redirect] [-ignore_server_terminate]

#include "config/VELTAAppConfig.h"
#include "host/FatalError.h"
#include "host/HostLog.h"
#include "host/HostSwitches.h"
#include "server/HttpStatusProbe.h"
#include "server/IServerControllerListener.h"
#include "server/ProcessGroupReaper.h"
#include "server/ServerProcess.h"
#include "server/VELTAServerController.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/timer.h>

namespace {
using Clock = std::chrono::steady_clock;
const Clock::time_point g_begin = Clock::now();

void Report(const char* event, long value = 0) {
    const double t = std::chrono::duration<double>(Clock::now() - g_begin).count();
    std::printf("%.3f %s %ld\n", t, event, value);
    std::fflush(stdout);
}

class Driver : public wxEvtHandler, public IServerControllerListener {
public:
    Driver(VELTAAppConfig& config, bool stopAfterStart, double stopAt)
        : m_config(config), m_stopAfterStart(stopAfterStart), m_stopAt(stopAt) {
        m_start.SetOwner(this, 0);
        m_stop.SetOwner(this, 1);
        m_stopAtTimer.SetOwner(this, 2);
        Bind(wxEVT_TIMER, &Driver::OnTimer, this);
        m_controller.Init(this, this, &m_config);
    }

    int Run() {
        m_loop.reset(wxAppConsole::GetInstance()->GetTraits()->CreateEventLoop());
        wxEventLoopActivator activate(m_loop.get());
        m_start.StartOnce(100);
        if (m_stopAt > 0)
            m_stopAtTimer.StartOnce(static_cast<int>(m_stopAt * 1000));
        return m_loop->Run();
    }

    void OnServerStarting() override { Report("starting"); }
    void OnServerStarted(bool) override {
        Report("started", static_cast<long>(m_config.GetServerPort()));
        if (m_controller.GetProcess())
            Report("pid", m_controller.GetProcess()->GetPid());
        if (m_stopAfterStart)
            RequestClose();
    }
    void OnServerStopping() override {
        Report("stopping");
        // What the web application's shutdown command does, from its page,
        // which carries the run's secret.
        wxString url = wxS("http://127.0.0.1:VELTA_SERVER_PORT/shutdown");
        m_config.ResolveUrl(url);
        HttpStatusProbe::Check(url, 1000, 2000, nullptr,
                               "VELTA_SERVER_TOKEN=" +
                                   std::string(m_config.GetServerToken().utf8_str()));
    }
    void OnServerStopped(bool byItself) override { Report("stopped", byItself ? 1 : 0); }

private:
    void RequestClose() {
        Report("close-request");
        m_stop.StartOnce(1);
    }

    void OnTimer(wxTimerEvent& event) {
        if (event.GetId() == 0) {
            m_controller.DoStartAsync(m_start);
        } else if (event.GetId() == 2) {
            RequestClose();
        } else {
            m_controller.DoStopAsync(m_stop);
            if (!m_controller.IsRunning()) {
                Report("closed");
                ProcessGroupReaper::Get().EndAll();
                m_loop->Exit(0);
            }
        }
    }

    VELTAAppConfig& m_config;
    VELTAServerController m_controller;
    bool m_stopAfterStart;
    double m_stopAt;
    wxTimer m_start, m_stop, m_stopAtTimer;
    std::unique_ptr<wxEventLoopBase> m_loop;
};
} // namespace

int main(int argc, char** argv) {
    wxInitializer init(argc, argv);
    if (!init.IsOk() || argc < 2)
        return 2;
    wxArrayString args;
    bool stopAfterStart = false;
    double stopAt = 0;
    wxString logFile;
    for (int i = 0; i < argc; ++i) {
        const wxString arg = argv[i];
        if (arg == "--stop-after-start")
            stopAfterStart = true;
        else if (arg == "--stop-at" && i + 1 < argc)
            wxString(argv[++i]).ToCDouble(&stopAt);
        else if (arg == "--log" && i + 1 < argc)
            logFile = argv[++i];
        else
            args.push_back(arg);
    }
    HostSwitches::ApplyCommandLine(args);
    FILE* log = logFile.empty() ? nullptr : std::fopen(logFile.fn_str(), "a");
    delete wxLog::SetActiveTarget(HostLog::CreateTarget(log));
    wxLog::SetLogLevel(wxLOG_Message);

    // Killed from outside (a test's time limit): take the server along.
    wxAppConsole::GetInstance()->SetSignalHandler(SIGTERM, [](int) {
        ProcessGroupReaper::Get().EndAll();
        std::exit(143);
    });

    VELTAAppConfig config;
    config.SetFileName(args[1]);
    config.Load();
    // As the host does once its configuration is read: the box's own words follow its language.
    FatalError::SetContext(config.GetUILanguage(), wxString(), args[1], wxS("driver"));
    Driver driver(config, stopAfterStart, stopAt);
    const int rc = driver.Run();
    Report("exit", rc);
    return rc;
}

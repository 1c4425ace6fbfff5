#include "config/VELTAAppConfig.h"
#include "host/HostSwitches.h"
#include "platform/ProcessTable.h"
#include "platform/UiServices.h"
#include "server/HttpStatusProbe.h"
#include "server/IServerControllerListener.h"
#include "server/OutputRateLimit.h"
#include "server/ProcessGroupReaper.h"
#include "server/ServerOutputTail.h"
#include "server/ServerProcess.h"
#include "server/VELTAServerController.h"
#include "tests/unit/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <wx/cmdline.h>
#include <wx/timer.h>
#include <wx/utils.h>

namespace {
struct RecordingListener : IServerControllerListener {
    void OnServerStarting() override { events.push_back("starting"); }
    void OnServerStarted(bool ok) override { events.push_back(ok ? "started" : "started-false"); }
    void OnServerStopping() override { events.push_back("stopping"); }
    void OnServerStopped(bool byItself) override {
        events.push_back(byItself ? "stopped-by-itself" : "stopped-killed");
    }
    int Count(const std::string& e) const {
        return static_cast<int>(std::count(events.begin(), events.end(), e));
    }
    std::vector<std::string> events;
};

// Owns the two one-shot timers the way the host's main frame does.
class TimerHost : public wxEvtHandler {
public:
    explicit TimerHost(VELTAServerController& controller) : m_controller(controller) {
        start.SetOwner(this, 0);
        stop.SetOwner(this, 1);
        Bind(wxEVT_TIMER, [this](wxTimerEvent& e) {
            if (e.GetId() == 0) {
                ++startTicks;
                m_controller.DoStartAsync(start);
            } else {
                ++stopTicks;
                m_controller.DoStopAsync(stop);
                closed = !m_controller.IsRunning();
            }
        });
    }
    wxTimer start, stop;
    int startTicks = 0, stopTicks = 0;
    bool closed = false;

private:
    VELTAServerController& m_controller;
};

std::string Key(const std::string& name, const std::string& attributes, const std::string& text) {
    return "<object name=\"" + name + "\" class=\"configuration\"" + attributes + ">" + text +
           "</object>\n";
}

class ServerControllerTest : public testing::Test {
protected:
    void SetUp() override { HostSwitches::ResetAll(); }
    void TearDown() override {
        HostSwitches::ResetAll();
        ProcessGroupReaper::Get().EndAll(500);
    }

    // A configuration whose server is the demo server with `arguments`.
    void Configure(const std::string& arguments, const std::string& extra = "") {
        dir.Write("app.config.xml",
                  "<c>\n" + Key("ServerDirectory", "", BuildDir() + "/examples/appserver") +
                      Key("ServerStartCommand", "", "velta-demo-server " + arguments) +
                      Key("ServerUrl", "", "http://localhost:VELTA_SERVER_PORT/status") +
                      Key("ServerPort", " baseport=\"31470\"", "") + extra + "</c>\n");
        config.SetFileName(dir.File("app.config.xml"));
        ASSERT_TRUE(config.Load());
        controller.Init(&host, &listener, &config);
    }

    bool StartAndWait(int timeoutMs) {
        host.start.StartOnce(100);
        return RunLoopUntil([&] { return listener.Count("started") > 0; }, timeoutMs);
    }

    TempDir dir;
    VELTAAppConfig config;
    VELTAServerController controller;
    RecordingListener listener;
    TimerHost host{controller};
};
} // namespace

TEST_F(ServerControllerTest, StartsPollsOnceASecondAndReportsTheStartOnce) {
    Configure("--port VELTA_SERVER_PORT --start-delay 2.5");
    LogCapture log;
    ASSERT_TRUE(StartAndWait(15000));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"starting", "started"}));
    EXPECT_GE(host.startTicks, 3);
    EXPECT_LE(host.startTicks, 5);
    EXPECT_GE(config.GetServerPort(), 31470u);
    EXPECT_TRUE(controller.IsRunning());
    EXPECT_TRUE(controller.IsRunning());
    EXPECT_EQ(listener.Count("started"), 1) << "later polls report nothing";
    EXPECT_TRUE(log.Contains("ServerProcess::Start. Process "));
    EXPECT_TRUE(log.Contains("server: listening")) << "the server's output reaches the log";
    EXPECT_TRUE(log.Contains(" result:True, duration(s): 00"));
}

TEST_F(ServerControllerTest, EnvironmentAndCommandLineReachTheServer) {
    // A start script that records what it was given, then becomes the server,
    // in a folder whose name holds a space, a quote and a backslash.
    const std::string folder = dir.path() + "/My \"Apps\\";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    dir.Write("My \"Apps\\/record.sh",
              "#!/bin/sh\n"
              "echo \"args=$*\" > \"$RECORD\"\n"
              "env | grep -E '^(PATH|JAVA_HOME|CLASS_PATH|CATALINA_HOME|VELTA_SERVER_PORT)=' "
              ">> \"$RECORD\"\n"
              "exec \"" +
                  BuildDir() + "/examples/appserver/velta-demo-server\" \"$@\"\n");
    wxSetEnv("RECORD", dir.File("record.txt"));
    wxSetEnv("JAVA_HOME", "/inherited/java");
    chmod((folder + "/record.sh").c_str(), 0755);
    dir.Write("app.config.xml",
              "<c>\n" + Key("ServerDirectory", "", dir.path() + "/My &quot;Apps\\") +
                  Key("ServerStartCommand", "",
                      "record.sh --port VELTA_SERVER_PORT --root VELTA_SERVER_PORT") +
                  Key("ServerUrl", "", "http://localhost:VELTA_SERVER_PORT/status") +
                  Key("ServerPort", " baseport=\"31490\"", "") + Key("JavaHomeDirectory", "", "") +
                  Key("ClassPath", "", "/lib/a.jar:/lib/b.jar") +
                  Key("PathEnvVar", "", "/usr/local/bin:/usr/bin:/bin") + "</c>\n");
    config.SetFileName(dir.File("app.config.xml"));
    ASSERT_TRUE(config.Load());
    controller.Init(&host, &listener, &config);
    ASSERT_TRUE(StartAndWait(10000));

    const std::string port = std::to_string(config.GetServerPort());
    const std::string record = ReadFile(dir.File("record.txt"));
    EXPECT_NE(record.find("args=--port " + port + " --root " + port + "\n"), std::string::npos)
        << record;
    EXPECT_NE(record.find("VELTA_SERVER_PORT=" + port + "\n"), std::string::npos);
    EXPECT_NE(record.find("CLASS_PATH=/lib/a.jar:/lib/b.jar\n"), std::string::npos);
    EXPECT_NE(record.find("CATALINA_HOME=" + folder + "\n"), std::string::npos) << record;
    EXPECT_NE(record.find("PATH=/usr/local/bin:/usr/bin:/bin\n"), std::string::npos);
    EXPECT_NE(record.find("JAVA_HOME=/inherited/java\n"), std::string::npos)
        << "an empty value leaves the inherited one alone";
    wxUnsetEnv("RECORD");
}

TEST_F(ServerControllerTest, TheServerAnswersOnlyRequestsWithThisRunsSecret) {
    // A start script that records its environment, then becomes the demo
    // server, which checks the secret.
    dir.Write("record.sh",
              "#!/bin/sh\n"
              "env | grep -E '^(VELTA_SERVER_TOKEN|APP_PORT|APP_SECRET)=' > \"$RECORD\"\n"
              "exec \"" +
                  BuildDir() + "/examples/appserver/velta-demo-server\" \"$@\"\n");
    chmod(dir.File("record.sh").c_str(), 0755);
    wxSetEnv("RECORD", dir.File("record.txt"));
    dir.Write("app.config.xml",
              "<c>\n" + Key("ServerDirectory", "", dir.path()) +
                  Key("ServerStartCommand", "", "record.sh --port VELTA_SERVER_PORT") +
                  Key("ServerUrl", "", "http://127.0.0.1:VELTA_SERVER_PORT/status") +
                  Key("ServerEnvironment", "",
                      "APP_PORT=VELTA_SERVER_PORT\nAPP_SECRET=VELTA_SERVER_TOKEN") +
                  Key("ServerPort", " baseport=\"31530\"", "") + "</c>\n");
    config.SetFileName(dir.File("app.config.xml"));
    ASSERT_TRUE(config.Load());
    controller.Init(&host, &listener, &config);
    ASSERT_TRUE(StartAndWait(10000)) << "the host's own status checks carry the secret";
    const std::string token(config.GetServerToken().utf8_str());
    ASSERT_EQ(token.size(), 43u);
    const std::string port = std::to_string(config.GetServerPort());
    const std::string record = ReadFile(dir.File("record.txt"));
    EXPECT_NE(record.find("VELTA_SERVER_TOKEN=" + token + "\n"), std::string::npos);
    EXPECT_NE(record.find("APP_SECRET=" + token + "\n"), std::string::npos);
    EXPECT_NE(record.find("APP_PORT=" + port + "\n"), std::string::npos);
    wxString inherited;
    EXPECT_FALSE(wxGetEnv("VELTA_SERVER_TOKEN", &inherited))
        << "the host's other children never get it";
    EXPECT_FALSE(wxGetEnv("APP_SECRET", &inherited));
    const std::string cmdline =
        ReadFile("/proc/" + std::to_string(controller.GetProcess()->GetPid()) + "/cmdline");
    EXPECT_EQ(cmdline.find(token), std::string::npos) << "never on a command line";

    const wxString status = wxString::Format("http://127.0.0.1:%s/status", port);
    std::string why;
    EXPECT_FALSE(HttpStatusProbe::Check(status, 1000, 2000, &why)) << "no secret, no answer";
    EXPECT_EQ(why, "HTTP/1.0 401 Unauthorized (the server refuses the host: does it take "
                   "VELTA_SERVER_TOKEN from the cookie as the host sends it?)");
    EXPECT_FALSE(HttpStatusProbe::Check(status, 1000, 2000, &why, "VELTA_SERVER_TOKEN=guess"));
    EXPECT_TRUE(HttpStatusProbe::Check(status, 1000, 2000, &why, "VELTA_SERVER_TOKEN=" + token));
    wxUnsetEnv("RECORD");
}

TEST_F(ServerControllerTest, ASecretOnTheCommandLineIsRefused) {
    Configure("--port VELTA_SERVER_PORT --token VELTA_SERVER_TOKEN");
    LogCapture log;
    EXPECT_FALSE(controller.Start());
    EXPECT_EQ(controller.GetProcess(), nullptr) << "nothing started";
    EXPECT_TRUE(controller.GetErrorMessage().Contains("VELTA_SERVER_TOKEN"));
    EXPECT_TRUE(log.Contains("ServerStartCommand holds VELTA_SERVER_TOKEN"));
}

TEST(ServerCommandLine, ProgramInTheFolderOnThePathOrAsWritten) {
    TempDir dir;
    mkdir(dir.File("bin").c_str(), 0755);
    mkdir(dir.File("server").c_str(), 0755);
    dir.Write("bin/tool", "#!/bin/sh\n");
    dir.Write("server/start.sh", "#!/bin/sh\n");
    dir.Write("server/notes.txt", "not a program\n");
    chmod(dir.File("bin/tool").c_str(), 0755);
    chmod(dir.File("server/start.sh").c_str(), 0755);
    const wxString folder = dir.File("server") + "/";
    const wxString path = "/nonexistent:" + dir.File("bin");
    struct Case {
        const char* program;
        wxString expected;
    } cases[] = {
        {"start.sh", folder + "start.sh"},   // the folder's own program
        {"tool", dir.File("bin/tool")},      // not in the folder: on the path
        {"notes.txt", folder + "notes.txt"}, // not executable, not on the path
        {"missing", folder + "missing"},     // nowhere: fails as the folder's
        {"sub/tool", folder + "sub/tool"},   // a relative path is never searched
        {"/usr/bin/env", "/usr/bin/env"},    // absolute: as it is
        {"/nonexistent/prog", "/nonexistent/prog"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VELTAServerController::ResolveProgram(folder, c.program, path), c.expected)
            << c.program;
    EXPECT_EQ(VELTAServerController::ResolveProgram("", "tool", path), "tool")
        << "without a folder the process start searches PATH itself";

    const wxString spaced = dir.File("My Apps");
    EXPECT_EQ(VELTAServerController::BuildCommandLine(spaced,
                                                      "tool --port VELTA_SERVER_PORT "
                                                      "\"a b\" --name=VELTA_SERVER_PORT",
                                                      8080, path),
              dir.File("bin/tool") + " --port 8080 \"a b\" --name=8080");
    EXPECT_EQ(VELTAServerController::BuildCommandLine(spaced, "run.sh", 1, path),
              "\"" + spaced + "/run.sh\"");
    const wxArrayString words = wxCmdLineParser::ConvertStringToArgs(
        VELTAServerController::BuildCommandLine("/x/My \"A\\", "go 'it s' \\$HOME", 1, path),
        wxCMD_LINE_SPLIT_UNIX);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0], "/x/My \"A\\/go");
    EXPECT_EQ(words[1], "it s");
    EXPECT_EQ(words[2], "$HOME");
}

TEST_F(ServerControllerTest, ServerThatHonoursTheShutdownUrlEndsTheStopAtOnce) {
    Configure("--port VELTA_SERVER_PORT",
              Key("AppCommandShutdown", "", "http://localhost:VELTA_SERVER_PORT/shutdown"));
    LogCapture log;
    ASSERT_TRUE(StartAndWait(10000));
    const long pid = controller.GetProcess()->GetPid();
    host.stop.StartOnce(1);
    ASSERT_TRUE(RunLoopUntil([&] { return listener.Count("stopping") > 0; }, 3000));
    wxString shutdown = "http://localhost:VELTA_SERVER_PORT/shutdown";
    config.ResolveUrl(shutdown);
    // As the page sends it: with the run's secret.
    HttpStatusProbe::Check(shutdown, 1000, 2000, nullptr,
                           "VELTA_SERVER_TOKEN=" + std::string(config.GetServerToken().utf8_str()));
    ASSERT_TRUE(RunLoopUntil([&] { return host.closed; }, 5000));
    EXPECT_LE(host.stopTicks, 3);
    // The end of the process is reported a moment after it no longer answers.
    EXPECT_TRUE(RunLoopUntil([&] { return listener.Count("stopped-by-itself") > 0; }, 3000));
    EXPECT_FALSE(log.Contains("asked to end (SIGTERM)")) << "its own shutdown URL did it";
    EXPECT_TRUE(ProcessTable::LiveMembersOfGroup(pid).empty());
}

TEST_F(ServerControllerTest, WithoutAShutdownUrlTheServerIsAskedToEndAtOnce) {
    Configure("--port VELTA_SERVER_PORT");
    ASSERT_TRUE(StartAndWait(10000));
    const long pid = controller.GetProcess()->GetPid();
    LogCapture log;
    const long long began = UiServices::Get().NowMillis();
    host.stop.StartOnce(1);
    ASSERT_TRUE(RunLoopUntil([&] { return host.closed; }, 8000));
    EXPECT_LT(UiServices::Get().NowMillis() - began, 3000) << "no count-down for nothing";
    EXPECT_TRUE(log.Contains("no shutdown URL: the server is asked to end (SIGTERM)"));
    EXPECT_TRUE(RunLoopUntil([&] { return listener.Count("stopped-by-itself") > 0; }, 3000));
    EXPECT_TRUE(ProcessTable::LiveMembersOfGroup(pid).empty());
}

TEST_F(ServerControllerTest, TheSamePortEveryRunSoTheOriginAndItsDataStay) {
    Configure("--port VELTA_SERVER_PORT");
    unsigned ports[2] = {0, 0};
    for (unsigned& port : ports) {
        VELTAServerController run;
        RecordingListener heard;
        TimerHost timers{run};
        run.Init(&timers, &heard, &config);
        timers.start.StartOnce(100);
        ASSERT_TRUE(RunLoopUntil([&] { return heard.Count("started") > 0; }, 10000));
        port = config.GetServerPort();
        timers.stop.StartOnce(1);
        ASSERT_TRUE(RunLoopUntil([&] { return timers.closed; }, 8000));
        ASSERT_TRUE(RunLoopUntil([&] { return heard.Count("stopped-by-itself") > 0; }, 3000));
    }
    EXPECT_EQ(ports[0], ports[1]) << "the base port, free again, is taken again";
}

TEST_F(ServerControllerTest, AServerThatIgnoresTheAskIsStillKilledAtTheEnd) {
    Configure("--port VELTA_SERVER_PORT --ignore-term");
    ASSERT_TRUE(StartAndWait(10000));
    const long pid = controller.GetProcess()->GetPid();
    host.stop.StartOnce(1);
    ASSERT_TRUE(RunLoopUntil([&] { return host.closed; }, 20000));
    EXPECT_GE(host.stopTicks, 10) << "the count-down runs as before";
    EXPECT_TRUE(RunLoopUntil([&] { return ProcessTable::LiveMembersOfGroup(pid).empty(); }, 8000));
}

TEST_F(ServerControllerTest, TerminationDuringStartLeavesTheExitCodeMessage) {
    Configure("--port VELTA_SERVER_PORT --start-delay 5 --exit-code -9000 --exit-after 0.2",
              Key("UILanguage", "", "de"));
    controller.Start();
    ASSERT_TRUE(RunLoopUntil([&] { return listener.Count("stopped-by-itself") > 0; }, 5000));
    EXPECT_EQ(controller.GetErrorMessage(),
              wxString(L"Die Anwendung ist bereits geöffnet. Bitte führen Sie einen Neustart Ihres "
                       L"Computer aus und starten Sie anschließend die Anwendung erneut."));
    EXPECT_EQ(controller.GetFailureReason(),
              wxString(L"Der Server hat sich mit dem Exit-Code 216 (läuft bereits) beendet, "
                       L"während er startete."));
    const auto lines = ServerOutputTail::Current().Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.front().StartsWith("velta demo server ")) << lines.front();
    EXPECT_FALSE(controller.IsStarting());
    EXPECT_FALSE(controller.Start()) << "the next attempt reports the failure once";
}

TEST_F(ServerControllerTest, StopWithoutProcessReportsNothing) {
    Configure("--port VELTA_SERVER_PORT");
    ServerController& base = controller;
    EXPECT_FALSE(base.Stop());
    EXPECT_FALSE(controller.Stop());
    EXPECT_TRUE(listener.events.empty());
}

TEST_F(ServerControllerTest, FloodOfOutputIsReadButBoundedInTheLog) {
    // The server writes all of it before it listens: it starts only if every
    // line is read, and the log takes only so many lines a second.
    Configure("--port VELTA_SERVER_PORT --flood 200000");
    LogCapture log;
    const long long began = UiServices::Get().NowMillis();
    ASSERT_TRUE(StartAndWait(20000));
    ASSERT_TRUE(RunLoopUntil(
        [&] { return log.Contains("lines of the server's output were left out of the log"); },
        10000));
    const long long seconds = (UiServices::Get().NowMillis() - began) / 1000 + 1;
    long long serverLines = 0;
    for (const auto& entry : log.entries)
        serverLines += entry.second.StartsWith("server: ") ? 1 : 0;
    EXPECT_LE(serverLines, (seconds + 1) * OutputRateLimit::kDefaultLinesPerSecond);
    EXPECT_GE(serverLines, OutputRateLimit::kDefaultLinesPerSecond);
    EXPECT_TRUE(log.Contains("lines are left out of the log until it slows down"));
    // The log left lines out; the tail a fatal message shows did not.
    const auto tail = ServerOutputTail::Current().Lines();
    ASSERT_EQ(tail.size(), ServerOutputTail::kMostLines);
    EXPECT_NE(std::find(tail.begin(), tail.end(),
                        "flood line 200000 of 200000: the quick brown fox jumps over the lazy dog"),
              tail.end());
    EXPECT_NE(std::find(tail.begin(), tail.end(), "listening"), tail.end());
}

TEST_F(ServerControllerTest, EmptyAndOddLinesAreLoggedAsTheyAre) {
    // Empty lines, Latin-1, a cut UTF-8 sequence and terminal colours, as
    // real servers print them before they listen.
    dir.Write("odd.sh", "#!/bin/sh\n"
                        "printf '\\n\\r\\nbefore\\n\\n'\n"
                        "printf 'caf\\351\\n\\342\\202\\n\\033[32mgreen\\033[0m\\n'\n"
                        "printf 'f\\303\\274r\\n'\n"
                        "exec \"" +
                            BuildDir() + "/examples/appserver/velta-demo-server\" \"$@\"\n");
    chmod(dir.File("odd.sh").c_str(), 0755);
    dir.Write("app.config.xml",
              "<c>\n" + Key("ServerDirectory", "", dir.path()) +
                  Key("ServerStartCommand", "", "odd.sh --port VELTA_SERVER_PORT") +
                  Key("ServerUrl", "", "http://localhost:VELTA_SERVER_PORT/status") +
                  Key("ServerPort", " baseport=\"31510\"", "") + "</c>\n");
    config.SetFileName(dir.File("app.config.xml"));
    ASSERT_TRUE(config.Load());
    controller.Init(&host, &listener, &config);
    LogCapture log;
    ASSERT_TRUE(StartAndWait(10000));
    // Only this server's lines: an earlier test's server may still be saying goodbye.
    std::vector<wxString> lines;
    for (const auto& entry : log.entries)
        if (entry.second.StartsWith("server: "))
            lines.push_back(entry.second.Mid(8));
    const auto before = std::find(lines.begin(), lines.end(), wxString("before"));
    ASSERT_NE(before, lines.end());
    ASSERT_GE(before - lines.begin(), 2);
    lines.erase(lines.begin(), before - 2);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "before");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], wxString::FromUTF8("caf\xef\xbf\xbd"));
    EXPECT_EQ(lines[5], wxString::FromUTF8("\xef\xbf\xbd\xef\xbf\xbd"));
    EXPECT_EQ(lines[6], "\x1b[32mgreen\x1b[0m");
    EXPECT_EQ(lines[7], wxString::FromUTF8("f\xc3\xbcr"));
    for (const auto& entry : log.entries)
        EXPECT_FALSE(entry.second.Contains("Assertion")) << entry.second;
}

TEST_F(ServerControllerTest, NoRedirectLeavesTheOutputOutOfTheLog) {
    HostSwitches::Set("no_redirect");
    Configure("--port VELTA_SERVER_PORT");
    LogCapture log;
    ASSERT_TRUE(StartAndWait(10000));
    EXPECT_FALSE(log.Contains("server: listening"));
}

TEST(ServerProcess, LaunchRulesAndTheIgnoreSwitch) {
    HostSwitches::ResetAll();
    ServerProcess never(nullptr, nullptr);
    {
        LogCapture log;
        EXPECT_TRUE(never.Stop());
        EXPECT_TRUE(log.entries.empty()) << "a process never launched is not signalled";
    }
    EXPECT_FALSE(ServerProcess::CanExecute("/nonexistent/server --port 1"));
    EXPECT_FALSE(ServerProcess::CanExecute(""));
    EXPECT_TRUE(ServerProcess::CanExecute("sh -c 'exit 0'"));
    {
        LogCapture log;
        ServerProcess missing(nullptr, nullptr);
        EXPECT_FALSE(missing.Start("/nonexistent/server --port 1"));
        EXPECT_FALSE(missing.IsAlive());
        EXPECT_TRUE(log.Contains(
            "ServerProcess::Start. Execution of '/nonexistent/server --port 1' failed."));
    }

    HostSwitches::Set("ignore_server_terminate");
    auto* marker = new ServerProcess(nullptr, nullptr);
    EXPECT_TRUE(marker->Start("/nonexistent/server"));
    EXPECT_TRUE(marker->IsAlive());
    EXPECT_EQ(marker->GetPid(), 1);
    EXPECT_TRUE(marker->Stop()) << "the marker is never signalled (this test runs, so init lives)";
    EXPECT_FALSE(ProcessGroupReaper::Get().IsTracked(1));
    ServerProcess::Release(marker);
    HostSwitches::ResetAll();
}

TEST(ServerProcess, SecondStartLaunchesNothingAndForeignNoticesKeepItAlive) {
    HostSwitches::ResetAll();
    auto* process = new ServerProcess(nullptr, nullptr);
    ASSERT_TRUE(process->Start("sleep 30"));
    const long pid = process->GetPid();
    EXPECT_TRUE(process->Start("sleep 31"));
    EXPECT_EQ(process->GetPid(), pid);
    process->OnTerminate(static_cast<int>(pid + 1), 0);
    EXPECT_TRUE(process->IsAlive());
    process->Stop();
    ServerProcess::Release(process); // deleted by its own termination notice
    EXPECT_TRUE(RunLoopUntil([&] { return ProcessTable::LiveMembersOfGroup(pid).empty(); }, 5000));
}

TEST(StartTimeLimit, MeasuredTimeCountsWhereChecksAreSlow) {
    struct Case {
        int retries;
        long long measuredMs;
        unsigned elapsed;
    };
    for (const Case& c : std::vector<Case>{{0, 0, 1},
                                           {4, 4100, 5},
                                           {4, 4999, 5},
                                           {4, 19500, 19},
                                           {4, 20000, 20},
                                           {0, -5, 1},
                                           {59, 60500, 60}})
        EXPECT_EQ(VELTAServerController::ElapsedStartSeconds(c.retries, c.measuredMs), c.elapsed)
            << c.retries << " re-arms, " << c.measuredMs << " ms";
    // A check never outlasts the limit by more than a moment, and never takes
    // longer than connect plus answer allow.
    EXPECT_EQ(VELTAServerController::ProbeBudgetMs(0, 60), 3000);
    EXPECT_EQ(VELTAServerController::ProbeBudgetMs(18500, 20), 1500);
    EXPECT_EQ(VELTAServerController::ProbeBudgetMs(19990, 20), 200);
    EXPECT_EQ(VELTAServerController::ProbeBudgetMs(25000, 20), 200);
}

TEST(StartTimeLimit, ShorterStatusCheckIntervalsAddUpToTheSameSeconds) {
    const struct {
        int retries;
        unsigned intervalMs;
        unsigned seconds;
    } cases[] = {{0, 1000, 1}, {4, 1000, 5},  {0, 250, 0}, {3, 250, 1},
                 {19, 250, 5}, {79, 250, 20}, {9, 100, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(VELTAServerController::EstimatedStartSeconds(c.retries, c.intervalMs), c.seconds)
            << c.retries << " re-arms of " << c.intervalMs << " ms";
    // The clock still counts where the checks themselves are slow.
    EXPECT_EQ(VELTAServerController::ElapsedStartSeconds(3, 7000, 250), 7u);
}

#include "server/VELTAServerController.h"

#include "server/ServerProcess.h"

#include "config/HostConfig.h"
#include "host/FatalError.h"
#include "host/HostLog.h"
#include "host/HostSwitches.h"
#include "host/UserMessages.h"
#include "platform/PlatformInfo.h"
#include "platform/ProgramPath.h"
#include "platform/UiServices.h"
#include "server/ExitCodeMessages.h"
#include "server/FailureReason.h"
#include "server/IServerControllerListener.h"
#include "server/ServerToken.h"

#include <algorithm>
#include <optional>
#include <wx/cmdline.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

namespace {
const unsigned kPollPeriodMs = 1000;
}

VELTAServerController::~VELTAServerController() = default;

unsigned VELTAServerController::EstimatedStartSeconds(int retryCount, unsigned intervalMs) {
    if (intervalMs == kPollPeriodMs)
        return kPollPeriodMs / 1000 + static_cast<unsigned>(retryCount) * (kPollPeriodMs / 1000);
    // Shorter periods each round down to nothing: count them together.
    return static_cast<unsigned>(static_cast<unsigned long long>(intervalMs) *
                                 (1 + static_cast<unsigned>(retryCount)) / 1000);
}

unsigned VELTAServerController::ElapsedStartSeconds(int retryCount, long long measuredMs,
                                                    unsigned intervalMs) {
    const unsigned estimate = EstimatedStartSeconds(retryCount, intervalMs);
    const long long measured = measuredMs > 0 ? measuredMs / 1000 : 0;
    return measured > estimate ? static_cast<unsigned>(measured) : estimate;
}

int VELTAServerController::ProbeBudgetMs(long long measuredMs, unsigned limitSeconds) {
    const long long left = static_cast<long long>(limitSeconds) * 1000 - measuredMs;
    return static_cast<int>(std::min(3000LL, std::max(200LL, left)));
}

unsigned VELTAServerController::StartTimeLimit(unsigned configuredTimeout) {
    return configuredTimeout > 0 ? configuredTimeout : 60;
}

wxString VELTAServerController::QuoteArgument(const wxString& argument) {
    if (!argument.empty() && argument.find_first_of(wxS(" \t\n\"'\\")) == wxString::npos)
        return argument;
    wxString quoted = wxS("\"");
    for (const wxUniChar c : argument) {
        if (c == wxS('"') || c == wxS('\\'))
            quoted += wxS('\\');
        quoted += c;
    }
    return quoted + wxS("\"");
}

wxString VELTAServerController::ResolveProgram(const wxString& serverDirectory,
                                               const wxString& program,
                                               const wxString& searchPath) {
    if (program.StartsWith(wxS("/")))
        return program;
    wxString directory = serverDirectory;
    if (!directory.empty() && directory.Last() != PlatformInfo::PathSeparator())
        directory += PlatformInfo::PathSeparator();
    const wxString inDirectory = directory + program;
    if (directory.empty() || ProgramPath::IsExecutableFile(inDirectory))
        return inDirectory;
    // "jupyter", "node", "java": a program the server folder does not hold is
    // looked up as a shell would.
    if (program.Find(wxS('/')) == wxNOT_FOUND) {
        const wxString onPath = ProgramPath::Find(program, searchPath);
        if (!onPath.empty())
            return onPath;
    }
    return inDirectory;
}

wxString VELTAServerController::BuildCommandLine(const wxString& serverDirectory,
                                                 const wxString& command, int port,
                                                 const wxString& searchPath) {
    wxString line = command;
    line.Replace(wxS("VELTA_SERVER_PORT"), wxString::Format(wxS("%d"), port));
    const wxArrayString args = wxCmdLineParser::ConvertStringToArgs(line, wxCMD_LINE_SPLIT_UNIX);
    if (args.empty())
        return line;
    // Every word is quoted where it must be, so that the folder stays one word
    // whatever it holds ("My Apps") and the arguments split as written.
    wxString result = QuoteArgument(ResolveProgram(serverDirectory, args[0], searchPath));
    for (size_t i = 1; i < args.size(); ++i)
        result += wxS(" ") + QuoteArgument(args[i]);
    return result;
}

std::vector<VELTAServerController::EnvironmentEntry>
VELTAServerController::EnvironmentEntries(const wxString& text, int port, const wxString& token,
                                          std::vector<wxString>* refused) {
    std::vector<EnvironmentEntry> entries;
    wxStringTokenizer lines(text, wxS("\r\n"));
    while (lines.HasMoreTokens()) {
        const wxString line = lines.GetNextToken().Trim(false).Trim();
        if (line.empty())
            continue;
        const int equals = line.Find(wxS('='));
        EnvironmentEntry entry;
        entry.name = equals > 0 ? line.Left(static_cast<size_t>(equals)).Trim() : wxString();
        bool valid = !entry.name.empty() && !wxIsdigit(entry.name[0]);
        for (const wxUniChar c : entry.name)
            valid = valid && (wxIsalnum(c) || c == wxS('_')) && c < 0x80;
        if (!valid) {
            if (refused)
                refused->push_back(line.Left(static_cast<size_t>(equals > 0 ? equals : 0)) +
                                   (equals > 0 ? wxS("=...") : line));
            continue;
        }
        entry.value = line.Mid(static_cast<size_t>(equals) + 1);
        entry.value.Replace(wxS("VELTA_SERVER_PORT"), wxString::Format(wxS("%d"), port));
        if (!token.empty())
            entry.value.Replace(wxS("VELTA_SERVER_TOKEN"), token);
        entries.push_back(entry);
    }
    return entries;
}

void VELTAServerController::SetEnv(const wxString& name, const wxString& value, bool allowEmpty) {
    if (value.empty() && !allowEmpty)
        return;
    if (!wxSetEnv(name, value))
        wxLogError(wxS("Could not set %s in environment!"), name);
}

bool VELTAServerController::Start() {
    if (IsRunning() || m_starting)
        return true;
    if (m_startFailed) {
        m_startFailed = false;
        return false;
    }
    // A command line is readable by every user of the machine: the secret
    // never goes into one.
    if (m_config->GetServerStartCommand().Contains(wxS("VELTA_SERVER_TOKEN"))) {
        wxLogError(wxS("VELTAServerController::Start: ServerStartCommand holds "
                       "VELTA_SERVER_TOKEN; a command line is public, the server gets the "
                       "token in its environment"));
        m_errorMessage = UserMessages::Pick(
            Language(),
            L"Die Konfiguration gibt das Geheimnis des Servers (VELTA_SERVER_TOKEN) in seiner "
            L"Befehlszeile weiter, die jeder Benutzer des Rechners lesen kann. Der Server "
            L"erhält es in seiner Umgebung (VELTA_SERVER_TOKEN, ServerEnvironment).",
            L"The configuration passes the server's secret (VELTA_SERVER_TOKEN) on its command "
            L"line, which every user of the computer can read. The server gets it in its "
            L"environment (VELTA_SERVER_TOKEN, ServerEnvironment).");
        return false;
    }
    if (m_config->GetServerToken().empty()) {
        const wxString token = wxString::FromUTF8(ServerToken::Generate());
        if (token.empty())
            wxLogError(wxS("VELTAServerController::Start: no random bytes from the kernel; "
                           "the server runs without a secret"));
        m_config->SetServerToken(token);
        HostLog::HideSecret(token);
    }
    m_starting = true;
    if (m_listener)
        m_listener->OnServerStarting();

    SetEnv(wxS("PATH"), m_config->GetPathEnvVar(), false);
    SetEnv(wxS("JAVA_HOME"), m_config->GetJavaHomeDirectory(), false);
    SetEnv(wxS("CLASS_PATH"), m_config->GetClassPath(), false);
    SetEnv(wxS("CATALINA_HOME"), m_config->GetServerDirectory(), false);

    wxString directory = m_config->GetServerDirectory();
    m_config->EnsureTrailingSeparator(directory);

    const int port = GetFreeServerPort(static_cast<int>(m_config->GetBasePort()));
    bool started = false;
    if (port > 0) {
        m_config->SetServerPort(static_cast<unsigned>(port));
        const wxString searchPath = m_config->GetPathEnvVar().empty()
                                        ? ProgramPath::CurrentSearchPath()
                                        : m_config->GetPathEnvVar();
        const wxString commandLine =
            BuildCommandLine(directory, m_config->GetServerStartCommand(), port, searchPath);
        SetEnv(wxS("VELTA_SERVER_PORT"), wxString::Format(wxS("%d"), port), false);
        const wxArrayString words =
            wxCmdLineParser::ConvertStringToArgs(commandLine, wxCMD_LINE_SPLIT_UNIX);
        if (!words.empty())
            wxLogMessage(wxS("VELTAServerController::Start program '%s'"), words[0]);
        // The secret and the configured variables are the server's alone:
        // in the environment for its start, and gone from the host's after it,
        // so that no other program the host starts inherits them.
        std::vector<wxString> refused;
        std::vector<EnvironmentEntry> own = EnvironmentEntries(
            m_config->GetServerEnvironment(), port, m_config->GetServerToken(), &refused);
        for (const wxString& line : refused)
            wxLogWarning(wxS("VELTAServerController::Start: ServerEnvironment line '%s' is no "
                             "NAME=value; left out"),
                         line);
        if (!m_config->GetServerToken().empty())
            own.push_back({wxS("VELTA_SERVER_TOKEN"), m_config->GetServerToken()});
        std::vector<std::pair<wxString, std::optional<wxString>>> previous;
        for (const EnvironmentEntry& entry : own) {
            wxString value;
            previous.emplace_back(entry.name, wxGetEnv(entry.name, &value)
                                                  ? std::optional<wxString>(value)
                                                  : std::nullopt);
            SetEnv(entry.name, entry.value, true);
        }
        started = ServerController::Start(commandLine);
        for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
            if (it->second)
                wxSetEnv(it->first, *it->second);
            else
                wxUnsetEnv(it->first);
        }
    } else {
        m_errorMessage = ExitCodeMessages::StartFailed(Language());
        m_failureReason = FailureReason::NoFreePort(m_config->GetBasePort(), Language());
    }
    if (!started && HostSwitches::IsSet(wxS("ignore_server_terminate"))) {
        wxLogMessage(wxS("ServerController::Start failure ignored due to ignore_server_terminate"));
        started = true;
    }
    return started;
}

void VELTAServerController::DoStartAsync(wxTimer& timer) {
    if (m_stopping)
        return; // the host is on its way out: nothing is started again
    // A server that accepts and never answers makes every check last its
    // whole time-out: the limit is measured on the clock, not in ticks.
    const long long now = UiServices::Get().NowMillis();
    if (m_startBeganMs < 0)
        m_startBeganMs = now;
    const unsigned limit = StartTimeLimit(m_config->GetStartTimeout());
    m_probeBudgetMs = ProbeBudgetMs(now - m_startBeganMs, limit);
    if (IsRunning())
        return;
    bool goOn = Start();
    const unsigned interval = m_config->GetStatusCheckIntervalMS();
    const unsigned elapsed =
        ElapsedStartSeconds(m_retryCount, UiServices::Get().NowMillis() - m_startBeganMs, interval);
    m_probeBudgetMs = 3000;
    if (m_foreignListener) {
        goOn = false; // the message says which port; waiting changes nothing
    } else if (elapsed >= limit) {
        wxLogError(wxS("VELTAServerController::DoStartAsync. max retries exceeded"));
        m_errorMessage = UserMessages::Pick(
            Language(),
            L"Das Zeitlimit zum Starten der Anwendung wurde überschritten. Bitte führen Sie "
            L"einen Neustart Ihres Computer aus und starten Sie anschließend die Anwendung "
            L"erneut.",
            L"The time limit for starting the program has been exceeded. Please restart your "
            L"computer and open the program again.");
        // A server that ended is said by its end; one that runs and never answers here.
        if (GetProcess() && GetProcess()->IsAlive())
            m_failureReason =
                FailureReason::NoAnswer(limit, m_lastCheckUrl, m_lastCheckWhy, Language());
        goOn = false;
    }
    // Up between this tick's two checks: the start is over, no further tick
    // (one would start a second server once this one is stopped).
    if (goOn && !m_starting && GetProcess())
        return;
    if (goOn) {
        timer.StartOnce(static_cast<int>(interval));
        ++m_retryCount;
        return;
    }
    ShowFatalError(UserMessages::FatalCaption(Language()), m_errorMessage, m_failureReason);
}

bool VELTAServerController::Stop() {
    if (!IsRunning())
        return false;
    if (!m_stopping) {
        m_stopping = true;
        if (m_listener)
            m_listener->OnServerStopping();
        // Without a shutdown URL nothing would ask the server to go: waiting
        // out the count-down would only keep the user waiting.
        if (m_config && m_config->GetAppCommandShutdown().empty() && m_process) {
            wxLogMessage(wxS("VELTAServerController::Stop. no shutdown URL: the server is "
                             "asked to end (SIGTERM)"));
            m_process->AskToEnd();
        }
        return true;
    }
    if (m_stopCountdown > 0) {
        --m_stopCountdown;
        return true;
    }
    wxLogError(wxS("VELTAServerController::Stop. timeout over -> full stop."));
    m_errorMessage = UserMessages::Pick(Language(),
                                        L"Das Zeitlimit zum Beenden der Anwendung wurde "
                                        L"überschritten.",
                                        L"The time limit for closing the program has been "
                                        L"exceeded.");
    ServerController::Stop();
    if (m_listener)
        m_listener->OnServerStopped(false);
    return false;
}

void VELTAServerController::DoStopAsync(wxTimer& timer) {
    if (!IsRunning())
        return;
    timer.StartOnce(static_cast<int>(kPollPeriodMs));
    if (!Stop()) {
        timer.Stop();
        wxLogMessage(wxS("VELTAServerController::DoStopAsync. serverController. Stop reported "
                         "false, not running anymore."));
    }
}

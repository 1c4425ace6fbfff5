#include "server/ServerController.h"

#include "config/HostConfig.h"
#include "host/UserMessages.h"
#include "platform/UiServices.h"
#include "server/ExitCodeMessages.h"
#include "server/FailureReason.h"
#include "server/HttpStatusProbe.h"
#include "server/IServerControllerListener.h"
#include "server/ListenerOwner.h"
#include "server/PortProbe.h"
#include "server/ServerOutputTail.h"
#include "server/ServerProcess.h"

#include <algorithm>
#include <wx/cmdline.h>
#include <wx/log.h>

ServerController::ServerController() = default;

ServerController::~ServerController() {
    // The child is left running, but its end must no longer reach this object.
    ServerProcess::Release(m_process);
}

void ServerController::Init(wxEvtHandler* parent, IServerControllerListener* listener,
                            HostConfig* config) {
    m_parent = parent;
    m_listener = listener;
    m_config = config;
}

wxString ServerController::Language() const {
    return m_config ? m_config->GetUILanguage() : wxString();
}

bool ServerController::Start(const wxString& commandLine) {
    if (m_process)
        Stop();
    // A process object that Stop left in place is not used again.
    ServerProcess::Release(m_process);
    m_process = new ServerProcess(m_parent, this);
    ServerOutputTail::Current().Clear();
    const bool started = m_process->Start(commandLine);
    m_errorMessage = ExitCodeMessages::StartFailed(Language());
    if (!started) {
        const wxArrayString words =
            wxCmdLineParser::ConvertStringToArgs(commandLine, wxCMD_LINE_SPLIT_UNIX);
        m_failureReason =
            FailureReason::NotStartable(words.empty() ? commandLine : words[0], Language());
    }
    return started;
}

bool ServerController::Stop() {
    if (!m_process)
        return false;
    const bool result = m_process->Stop();
    ServerProcess::Release(m_process);
    m_process = nullptr;
    return result;
}

bool ServerController::IsRunning() {
    if (!m_process || !m_process->IsAlive())
        return false;
    wxString url = m_config ? m_config->GetServerUrl() : wxString();
    if (m_config)
        m_config->ResolveUrl(url);
    const bool running = CheckServerStatus(url);
    if (running && m_starting) {
        m_starting = false;
        if (m_listener)
            m_listener->OnServerStarted(true);
    }
    return running;
}

bool ServerController::CheckServerStatus(const wxString& url) {
    const long long begin = UiServices::Get().NowSeconds();
    const int connectMs = std::min(1000, std::max(100, m_probeBudgetMs / 3));
    const int readMs = std::min(2000, std::max(100, m_probeBudgetMs - connectMs));
    std::string why;
    // The server answers only its host, which shows it the run's secret; the
    // port is guessable, so first: is it the server that listens there?
    const wxString token = m_config ? m_config->GetServerToken() : wxString();
    if (!token.empty() && m_process && m_process->GetPid() > 0 &&
        ListenerOwner::Of(static_cast<int>(m_config->GetServerPort()), m_process->GetPid()) ==
            ListenerOwner::Verdict::Foreign) {
        if (!m_foreignListener)
            wxLogError(wxS("ServerController::CheckServerStatus: another program listens on port "
                           "%u, not the server: no request with the secret goes to it"),
                       m_config->GetServerPort());
        m_foreignListener = true;
        m_failureReason = FailureReason::ForeignListener(m_config->GetServerPort(), Language());
        m_errorMessage = UserMessages::Pick(
            Language(),
            wxString::Format(L"Ein anderes Programm belegt den Anschluss %u der Anwendung. "
                             L"Bitte beenden Sie es und öffnen Sie die Anwendung erneut.",
                             m_config->GetServerPort()),
            wxString::Format(L"Another program is using the application's port %u. Please "
                             L"end it and open the program again.",
                             m_config->GetServerPort()));
        return false;
    }
    const std::string cookie =
        token.empty() ? std::string() : "VELTA_SERVER_TOKEN=" + std::string(token.utf8_str());
    const bool up = HttpStatusProbe::Check(url, connectMs, readMs, &why, cookie);
    const long long seconds = UiServices::Get().NowSeconds() - begin;
    wxLogMessage(wxS("ServerController::CheckServerStatus with Url:%s result:%s, duration(s): %s"),
                 url, up ? wxS("True") : wxS("False"), wxString::Format(wxS("%02lld"), seconds));
    if (!up) {
        m_lastCheckUrl = url;
        m_lastCheckWhy = wxString::FromUTF8(why.c_str());
        wxLogMessage(wxS("ServerController::CheckServerStatus not up: %s"), m_lastCheckWhy);
    }
    return up;
}

int ServerController::GetFreeServerPort(int firstPort) {
    for (int port = firstPort < 1 ? 1 : firstPort; port <= 65535; ++port) {
        if (!PortProbe::IsTaken(static_cast<unsigned>(port))) {
            wxLogMessage(wxS("ServerController::GetFreeServerPort found port=%d"), port);
            return port;
        }
    }
    wxLogError(wxS("ServerController::GetFreeServerPort no free port in %d-65535"), firstPort);
    return 0;
}

void ServerController::OnServerProcessTerminated(int exitCode) {
    m_failureReason = FailureReason::Exit(exitCode, m_starting, Language());
    if (m_starting) {
        m_startFailed = true;
        m_starting = false;
    }
    m_stopping = false;
    m_exitCode = exitCode;
    // Set before the listener hears it: the listener may tell the user.
    m_errorMessage = ExitCodeMessages::ForExitCode(exitCode, Language());
    m_retryCount = 0;
    if (m_listener)
        m_listener->OnServerStopped(true);
}

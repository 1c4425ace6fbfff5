#include "server/ServerProcess.h"

#include "host/HostLog.h"
#include "host/HostSwitches.h"
#include "platform/ProgramPath.h"
#include "platform/UiServices.h"
#include "server/LeftoverServers.h"
#include "server/ProcessGroupReaper.h"
#include "server/ServerController.h"
#include "server/ServerOutputTail.h"
#include "server/ServerOutputText.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>
#include <wx/wfstream.h>

namespace {
const int kDrainIntervalMs = 50;
const size_t kMaxLineBytes = 16384;

// The descriptor behind one of the toolkit's pipe streams, or -1.
int PipeDescriptor(wxInputStream* stream) {
    auto* file = dynamic_cast<wxFileInputStream*>(stream);
    return file && file->GetFile() ? file->GetFile()->fd() : -1;
}
} // namespace

ServerProcess::ServerProcess(wxEvtHandler* parent, ServerController* controller)
    // The toolkit would chain the parent in as the next event handler; an object
    // that may outlive its parent (a released process) must not point at it.
    : wxProcess(static_cast<wxEvtHandler*>(nullptr), wxID_ANY), m_parent(parent),
      m_controller(controller) {
    m_drainTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &ServerProcess::OnDrainTimer, this);
}

ServerProcess::~ServerProcess() {
    m_drainTimer.Stop();
    StopWatching();
}

bool ServerProcess::CanExecute(const wxString& commandLine) {
    const wxArrayString args =
        wxCmdLineParser::ConvertStringToArgs(commandLine, wxCMD_LINE_SPLIT_UNIX);
    if (args.empty() || args[0].empty())
        return false;
    return !ProgramPath::Find(args[0], ProgramPath::CurrentSearchPath()).empty();
}

bool ServerProcess::Start(const wxString& commandLine) {
    if (m_pid > 0)
        return true;
    const bool redirect = !HostSwitches::IsSet(wxS("no_redirect"));
    if (redirect)
        Redirect();

    // The toolkit forks before it tries the program, so a program that cannot be
    // run would look like a server that ended by itself: ask first.
    if (CanExecute(commandLine)) {
        // Every process of the server's tree carries the host's mark, also one
        // that leaves the process group (setsid): so it can be found and ended.
        wxExecuteEnv env;
        wxGetEnvMap(&env.env);
        env.env[LeftoverServers::TreeVariable()] =
            wxString::Format(wxS("%ld"), static_cast<long>(getpid()));
        m_pid = wxExecute(commandLine, wxEXEC_ASYNC | wxEXEC_MAKE_GROUP_LEADER, this, &env);
    } else
        m_pid = 0;

    if (m_pid > 0) {
        wxLogMessage(wxS("ServerProcess::Start. Process %ld (%s) launched."), m_pid, commandLine);
        ProcessGroupReaper::Get().Track(static_cast<pid_t>(m_pid));
        if (redirect) {
            CloseOutput(); // the server reads nothing from us
            // Read when there is something to read; only without a running
            // toolkit event loop to watch the pipes does a timer look now and
            // then (a console loop wants handlers of another kind).
            wxAppConsole* app = wxAppConsole::GetInstance();
            wxEventLoopBase* loop = app && app->IsGUI() ? wxEventLoopBase::GetActive() : nullptr;
            bool watched = loop != nullptr;
            wxInputStream* streams[2] = {GetInputStream(), GetErrorStream()};
            for (int i = 0; i < 2; ++i) {
                const int fd = PipeDescriptor(streams[i]);
                if (fd < 0)
                    continue;
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
                m_watchers[i].process = this;
                m_watchers[i].stream = i;
                if (loop)
                    m_sources[i] = loop->AddSourceForFD(
                        fd, &m_watchers[i], wxEVENT_SOURCE_INPUT | wxEVENT_SOURCE_EXCEPTION);
                watched = watched && m_sources[i];
            }
            if (!watched) {
                StopWatching();
                m_drainTimer.Start(kDrainIntervalMs);
            }
        }
    } else {
        wxLogError(wxS("ServerProcess::Start. Execution of '%s' failed."), commandLine);
        if (HostSwitches::IsSet(wxS("ignore_server_terminate"))) {
            m_pid = 1;
            m_launchMarker = true;
        }
    }
    return m_pid > 0;
}

bool ServerProcess::Stop() {
    if (m_pid > 0) {
        wxLogMessage(wxS("ServerProcess::Stop. Kill %ld"), m_pid);
        // The marker stands for no process at all; pid 1 is never signalled.
        if (LaunchedForReal()) {
            wxKillError error = wxKILL_OK;
            if (wxKill(m_pid, wxSIGTERM, &error, wxKILL_CHILDREN) < 0)
                wxLogError(wxS("wxKill returned %d"), static_cast<int>(error));
            ProcessGroupReaper::Get().KillAfterGrace(static_cast<pid_t>(m_pid));
        }
    }
    return true;
}

void ServerProcess::AskToEnd() {
    if (!LaunchedForReal())
        return;
    wxLogMessage(wxS("ServerProcess::AskToEnd. SIGTERM to process group %ld"), m_pid);
    if (kill(-static_cast<pid_t>(m_pid), SIGTERM) != 0)
        wxLogError(wxS("ServerProcess::AskToEnd. kill failed: %s"), wxSysErrorMsg());
}

void ServerProcess::OnDrainTimer(wxTimerEvent&) {
    Drain(false);
}

void ServerProcess::StopWatching() {
    for (wxEventLoopSource*& source : m_sources) {
        delete source;
        source = nullptr;
    }
}

void ServerProcess::Drain(bool final) {
    for (int i = 0; i < 2; ++i)
        DrainStream(i, final);
}

void ServerProcess::DrainStream(int i, bool final) {
    wxInputStream* stream = i == 0 ? GetInputStream() : GetErrorStream();
    const int fd = PipeDescriptor(stream);
    std::string& pending = m_pending[i];
    bool ended = false;
    if (fd >= 0) {
        char buffer[16384];
        // Bounded per call, so that a flood of output cannot starve the loop;
        // what is left waits for the next call.
        for (int rounds = 0; rounds < 64; ++rounds) {
            const ssize_t n = read(fd, buffer, sizeof(buffer));
            if (n == 0)
                ended = true;
            if (n <= 0)
                break;
            pending.append(buffer, static_cast<size_t>(n));
        }
    } else if (stream) {
        while (stream->CanRead()) {
            const int c = stream->GetC();
            if (stream->LastRead() == 0)
                break;
            pending.push_back(static_cast<char>(c));
        }
    }
    const long long now = UiServices::Get().NowMillis();
    auto logLine = [&](const char* text, size_t length) {
        const wxString line = ServerOutputText::Decode(text, length);
        // Kept whatever the log's limit does: a fatal message shows the last lines.
        ServerOutputTail::Current().Add(HostLog::WithoutSecret(line));
        switch (m_rate.Admit(now)) {
        case OutputRateLimit::Verdict::Log:
            wxLogMessage(wxS("server: %s"), line);
            break;
        case OutputRateLimit::Verdict::FirstLeftOut:
            wxLogWarning(wxS("ServerProcess: the server writes more than %d lines a second; "
                             "lines are left out of the log until it slows down"),
                         OutputRateLimit::kDefaultLinesPerSecond);
            break;
        case OutputRateLimit::Verdict::LeftOut:
            break;
        }
    };
    size_t start = 0;
    for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
        size_t length = end - start;
        if (length > 0 && pending[end - 1] == '\r')
            --length;
        logLine(pending.data() + start, length);
    }
    pending.erase(0, start);
    // A line without an end is cut where no log line should go on.
    if ((final || pending.size() > kMaxLineBytes) && !pending.empty()) {
        logLine(pending.data(), std::min(pending.size(), kMaxLineBytes));
        pending.clear();
    }
    if (const long long leftOut = m_rate.TakeLeftOut(now, final))
        wxLogWarning(wxS("ServerProcess: %lld lines of the server's output were left out of the "
                         "log"),
                     leftOut);
    // A flood that stops leaves its count unsaid until the pipe speaks again:
    // look once more when its second is over.
    if (!final && m_rate.HasLeftOut() && !m_drainTimer.IsRunning())
        m_drainTimer.StartOnce(1100);
    if (ended && m_sources[i]) {
        delete m_sources[i];
        m_sources[i] = nullptr;
    }
}

void ServerProcess::OnTerminate(int pid, int status) {
    Drain(true);
    m_drainTimer.Stop();
    StopWatching();
    if (pid == m_pid)
        m_pid = 0;
    wxLogMessage(wxS("ServerProcess::OnTerminate Process %d terminated with exit code %d."), pid,
                 status);
    if (m_released) {
        // Nobody owns this object any more; the toolkit is done with it after this call.
        if (wxAppConsole::GetInstance())
            wxAppConsole::GetInstance()->ScheduleForDestruction(this);
        return;
    }
    if (m_controller) {
        if (HostSwitches::IsSet(wxS("ignore_server_terminate")))
            wxLogMessage(wxS("ServerProcess::OnTerminate ignored due to ignore_server_terminate"));
        else
            m_controller->OnServerProcessTerminated(status);
    }
}

void ServerProcess::Release(ServerProcess* process) {
    if (!process)
        return;
    if (process->LaunchedForReal()) {
        process->m_controller = nullptr;
        process->m_released = true;
        return;
    }
    delete process;
}

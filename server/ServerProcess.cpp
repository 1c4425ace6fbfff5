#include "ServerProcess.h"

#include "HostSwitches.h"
#include "ProcessGroupReaper.h"
#include "ProgramPath.h"
#include "ServerController.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>
#include <wx/wfstream.h>

namespace {
const int kDrainIntervalMs = 50;

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
    if (CanExecute(commandLine))
        m_pid = wxExecute(commandLine, wxEXEC_ASYNC | wxEXEC_MAKE_GROUP_LEADER, this);
    else
        m_pid = 0;

    if (m_pid > 0) {
        wxLogMessage(wxS("ServerProcess::Start. Process %ld (%s) launched."), m_pid, commandLine);
        ProcessGroupReaper::Get().Track(static_cast<pid_t>(m_pid));
        if (redirect) {
            CloseOutput(); // the server reads nothing from us
            for (wxInputStream* stream : {GetInputStream(), GetErrorStream()}) {
                const int fd = PipeDescriptor(stream);
                if (fd >= 0)
                    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
            }
            m_drainTimer.Start(kDrainIntervalMs);
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

void ServerProcess::OnDrainTimer(wxTimerEvent&) {
    Drain(false);
}

void ServerProcess::Drain(bool final) {
    wxInputStream* streams[2] = {GetInputStream(), GetErrorStream()};
    for (int i = 0; i < 2; ++i) {
        const int fd = PipeDescriptor(streams[i]);
        std::string& pending = m_pending[i];
        if (fd >= 0) {
            char buffer[8192];
            // Bounded per tick so that a flood of output cannot starve the loop.
            for (int rounds = 0; rounds < 64; ++rounds) {
                const ssize_t n = read(fd, buffer, sizeof(buffer));
                if (n <= 0)
                    break;
                pending.append(buffer, static_cast<size_t>(n));
            }
        } else if (streams[i]) {
            while (streams[i]->CanRead()) {
                const int c = streams[i]->GetC();
                if (streams[i]->LastRead() == 0)
                    break;
                pending.push_back(static_cast<char>(c));
            }
        }
        size_t start = 0;
        for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = pending.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            wxLogMessage(wxS("server: %s"), wxString::FromUTF8Unchecked(line));
        }
        pending.erase(0, start);
        if (final && !pending.empty()) {
            wxLogMessage(wxS("server: %s"), wxString::FromUTF8Unchecked(pending));
            pending.clear();
        }
    }
}

void ServerProcess::OnTerminate(int pid, int status) {
    Drain(true);
    m_drainTimer.Stop();
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

#include "server/Watchdog.h"

#include "platform/ProcessTable.h"
#include "platform/XRandRDisplayMode.h"
#include "server/LeftoverServers.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
int g_pipe = -1;
pid_t g_pid = 0;
bool g_wanted = false;
std::string g_logPath;
std::function<void()> g_failed;

void LogLine(const std::string& logPath, const std::string& text) {
    std::FILE* out = logPath.empty() ? nullptr : std::fopen(logPath.c_str(), "a");
    const std::time_t now = std::time(nullptr);
    char stamp[16];
    std::strftime(stamp, sizeof(stamp), "%H:%M:%S", std::localtime(&now));
    std::fprintf(out ? out : stderr, "%s: Watchdog: %s\n", stamp, text.c_str());
    if (out)
        std::fclose(out);
}

bool GroupAlive(pid_t pgid) {
    return !ProcessTable::LiveMembersOfGroup(pgid).empty();
}
} // namespace

void Watchdog::Apply(const std::string& line, State& state) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "group" || verb == "ended") {
        long pgid = 0;
        if (!(words >> pgid) || pgid <= 1)
            return; // pid 1 and nonsense are never signalled
        auto& groups = state.groups;
        groups.erase(std::remove(groups.begin(), groups.end(), static_cast<pid_t>(pgid)),
                     groups.end());
        if (verb == "group")
            groups.push_back(static_cast<pid_t>(pgid));
    } else if (verb == "display") {
        int width = 0, height = 0;
        if (words >> width >> height && width > 0 && height > 0) {
            state.displayWidth = width;
            state.displayHeight = height;
        }
    } else if (verb == "display-restored") {
        state.displayWidth = state.displayHeight = 0;
    } else if (verb == "done") {
        state.done = true;
    }
}

std::string Watchdog::ProgramFor(const std::string& hostProgram) {
    const size_t slash = hostProgram.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : hostProgram.substr(0, slash);
    for (const std::string& candidate :
         {dir + "/velta-watchdog", dir + "/../libexec/velta-host/velta-watchdog"})
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    return hostProgram; // it can be its own watchdog, at the price of its libraries
}

bool Watchdog::Start(const std::string& logPath) {
    if (g_pipe >= 0)
        return true;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    // Above the child's fd 3, so that moving it there clears close-on-exec.
    if (ends[0] < 4) {
        const int moved = fcntl(ends[0], F_DUPFD_CLOEXEC, 4);
        close(ends[0]);
        if (moved < 0) {
            close(ends[1]);
            return false;
        }
        ends[0] = moved;
    }
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) {
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    self[n] = '\0';
    const std::string program = ProgramFor(self);
    const char* argv[] = {program.c_str(), Switch(), "3", logPath.c_str(), nullptr};
    // Nothing of the host's but the pipe: no window system connection, no log
    // file. Spawned, not forked: no copy of the host's memory map.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 3);
    posix_spawn_file_actions_addclosefrom_np(&actions, 4);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, &attributes,
                               const_cast<char* const*>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[0]);
    if (rc != 0) {
        close(ends[1]);
        return false;
    }
    g_pipe = ends[1];
    g_pid = pid;
    signal(SIGPIPE, SIG_IGN);
    return true;
}

void Watchdog::StartWhenNeeded(const std::string& logPath, std::function<void()> failed) {
    g_wanted = true;
    g_logPath = logPath;
    g_failed = std::move(failed);
}

void Watchdog::Needed() {
    if (!g_wanted || g_pipe >= 0)
        return;
    g_wanted = false; // one try; a second would fail the same way
    if (!Start(g_logPath) && g_failed)
        g_failed();
}

void Watchdog::Tell(const std::string& line) {
    if (g_pipe < 0)
        return;
    const std::string text = line + "\n";
    ssize_t rc;
    do
        rc = write(g_pipe, text.data(), text.size());
    while (rc < 0 && errno == EINTR);
}

pid_t Watchdog::Pid() {
    return g_pid;
}

void Watchdog::Track(pid_t pgid) {
    Needed();
    Tell("group " + std::to_string(pgid));
}

void Watchdog::Ended(pid_t pgid) {
    Tell("ended " + std::to_string(pgid));
}

void Watchdog::DisplayChanged(int originalWidth, int originalHeight) {
    Needed();
    Tell("display " + std::to_string(originalWidth) + " " + std::to_string(originalHeight));
}

void Watchdog::DisplayRestored() {
    Tell("display-restored");
}

void Watchdog::Done() {
    Tell("done");
    if (g_pipe >= 0)
        close(g_pipe);
    g_pipe = -1;
}

int Watchdog::Run(int fd, const std::string& logPath) {
    // A terminal's Ctrl+C or hang-up is for the host; the watchdog stays to clean up.
    signal(SIGINT, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
    const pid_t host = getppid();
    setpgid(0, 0);
    prctl(PR_SET_NAME, "velta-watchdog");
    State state;
    std::string pending;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            Apply(pending.substr(0, end), state);
            pending.erase(0, end + 1);
        }
        if (state.done)
            return 0;
    }
    // The host is gone without a word.
    std::vector<pid_t> alive;
    for (pid_t pgid : state.groups)
        if (GroupAlive(pgid)) {
            alive.push_back(pgid);
            kill(-pgid, SIGTERM);
        }
    if (!alive.empty()) {
        // Short: the whole must be over within two seconds of the host's death.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
        while (std::chrono::steady_clock::now() < deadline &&
               std::any_of(alive.begin(), alive.end(), GroupAlive))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (pid_t pgid : alive) {
            const bool killed = GroupAlive(pgid);
            if (killed)
                kill(-pgid, SIGKILL);
            LogLine(logPath, "the host ended without cleaning up; server process group " +
                                 std::to_string(pgid) + (killed ? " killed" : " terminated"));
        }
    }
    if (const size_t escaped = LeftoverServers::EndTreeOf(host))
        LogLine(logPath,
                std::to_string(escaped) + " processes of the server outside its group ended");
    if (state.displayWidth > 0 && std::getenv("DISPLAY")) {
        XRandRDisplayMode mode;
        const bool back = mode.Change(state.displayWidth, state.displayHeight);
        LogLine(logPath, "display mode " + std::to_string(state.displayWidth) + "x" +
                             std::to_string(state.displayHeight) +
                             (back ? " restored" : " not restored: " + mode.LastError()));
    }
    return 0;
}

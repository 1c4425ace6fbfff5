#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A small process of its own that outlives the host when the host dies
// without cleaning up (SIGKILL, a crash, the OOM killer): it then ends the
// server's process groups and puts back a display mode the host changed. The
// host tells it what to undo over a pipe; the pipe's end without a "done" is
// how it learns that the host is gone. It ends by itself either way.
class Watchdog {
public:
    // What the watchdog does with one line from the host; pure, for tests.
    struct State {
        std::vector<pid_t> groups;
        int displayWidth = 0, displayHeight = 0; // the size to restore; 0: none
        bool done = false;
    };
    static void Apply(const std::string& line, State& state);

    // Starts the watchdog only once there is something to undo: the first server
    // group or display change. Until then a host without a server runs
    // without one. `failed` is called should that start fail.
    static void StartWhenNeeded(const std::string& logPath, std::function<void()> failed);
    static std::string ProgramFor(const std::string& hostProgram);
    // Tells it; nothing without a watchdog.
    static void Track(pid_t pgid);
    static void Ended(pid_t pgid);
    static void DisplayChanged(int originalWidth, int originalHeight);
    static void DisplayRestored();
    // A normal end: nothing to undo.
    static void Done();

    // The watchdog's own main: reads `fd` until "done" or its end.
    static int Run(int fd, const std::string& logPath);

    static const char* Switch() { return "--velta-watchdog"; }
    // The watchdog's process, 0 without one.
    static pid_t Pid();

private:
    // velta-watchdog beside the host's program (or in ../libexec/velta-host),
    // else the host's own program with --velta-watchdog.
    static bool Start(const std::string& logPath);
    static void Needed();
    static void Tell(const std::string& line);
};

#pragma once

#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

// Servers an earlier run of the same installation left behind (a crash
// before the watchdog could act, another version): found by the process
// group the run recorded, or by what every server of it has, the
// installation's folder as working directory and a VELTA_SERVER_PORT.
class LeftoverServers {
public:
    struct Process {
        pid_t pid = 0;
        pid_t pgid = 0;
        std::string cwd;
        bool hasServerPort = false;
        pid_t serverTreeOf = 0; // the host whose server tree it belongs to
    };

    // The variable that marks every process of a host's server tree.
    static const char* TreeVariable() { return "VELTA_SERVER_TREE"; }
    // Live processes of `host`'s server tree, whatever their group; pure.
    static std::vector<pid_t> TreeOf(const std::vector<Process>& processes, pid_t host);
    // Ends them (terminate, a short grace, kill); how many there were.
    static size_t EndTreeOf(pid_t host);

    // The process groups to end; pure, for tests. `self` and its group never.
    static std::set<pid_t> Pick(const std::vector<Process>& processes,
                                const std::string& programDir, pid_t recordedGroup, pid_t self);

    // The user's own processes as Pick needs them, from /proc.
    static std::vector<Process> Snapshot();

    // Ends what Pick finds (terminate, a short grace, kill); the groups ended.
    static std::set<pid_t> EndAll(const std::string& programDir, pid_t recordedGroup);

    // The record of the running server's group, kept while it runs.
    static void SetRecordFile(const std::string& path);
    static void Record(pid_t pgid);
    static void Forget();
    static pid_t Recorded();
};

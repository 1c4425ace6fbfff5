#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// The system's processes as far as signalling a process group needs them.
class ProcessTable {
public:
    struct Entry {
        pid_t pid = 0;
        pid_t pgid = 0;
        pid_t ppid = 0;
        char state = '?';
    };

    // Parses one /proc/<pid>/stat line; false when it is not one.
    static bool ParseStatLine(const std::string& line, Entry& entry);

    // Members of group `pgid` that can still act on a signal: zombies are
    // already dead and only wait to be reaped.
    static std::vector<pid_t> LiveMembers(const std::vector<Entry>& table, pid_t pgid);

    // Reads the current table from /proc.
    static std::vector<Entry> Snapshot();

    // Live processes whose parent is `parent`.
    static std::vector<pid_t> LiveChildren(const std::vector<Entry>& table, pid_t parent);
    static std::vector<pid_t> LiveMembersOfGroup(pid_t pgid) {
        return LiveMembers(Snapshot(), pgid);
    }
};

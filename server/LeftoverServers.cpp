#include "server/LeftoverServers.h"

#include "platform/ProcessTable.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
std::string& RecordFile() {
    static std::string path;
    return path;
}

bool GroupAlive(pid_t pgid) {
    return !ProcessTable::LiveMembersOfGroup(pgid).empty();
}
} // namespace

std::set<pid_t> LeftoverServers::Pick(const std::vector<Process>& processes,
                                      const std::string& programDir, pid_t recordedGroup,
                                      pid_t self) {
    pid_t ownGroup = 0;
    for (const Process& p : processes)
        if (p.pid == self)
            ownGroup = p.pgid;
    std::set<pid_t> groups;
    for (const Process& p : processes) {
        if (p.pid == self || p.pgid <= 1 || p.pgid == ownGroup)
            continue;
        const bool recorded = recordedGroup > 1 && p.pgid == recordedGroup;
        const bool ours = !programDir.empty() && p.cwd == programDir && p.hasServerPort;
        if (recorded || ours)
            groups.insert(p.pgid);
    }
    return groups;
}

std::vector<pid_t> LeftoverServers::TreeOf(const std::vector<Process>& processes, pid_t host) {
    std::vector<pid_t> members;
    if (host <= 1)
        return members;
    for (const Process& p : processes)
        if (p.serverTreeOf == host && p.pid > 1 && p.pid != host)
            members.push_back(p.pid);
    return members;
}

size_t LeftoverServers::EndTreeOf(pid_t host) {
    std::vector<pid_t> members = TreeOf(Snapshot(), host);
    for (pid_t pid : members)
        kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    while (std::chrono::steady_clock::now() < deadline && !TreeOf(Snapshot(), host).empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (pid_t pid : TreeOf(Snapshot(), host))
        kill(pid, SIGKILL);
    return members.size();
}

std::vector<LeftoverServers::Process> LeftoverServers::Snapshot() {
    std::vector<Process> processes;
    const uid_t me = getuid();
    for (const ProcessTable::Entry& e : ProcessTable::Snapshot()) {
        if (e.state == 'Z' || e.state == 'X')
            continue;
        const std::string base = "/proc/" + std::to_string(e.pid);
        struct stat info;
        if (stat(base.c_str(), &info) != 0 || info.st_uid != me)
            continue;
        Process p;
        p.pid = e.pid;
        p.pgid = e.pgid;
        char cwd[4096];
        const ssize_t n = readlink((base + "/cwd").c_str(), cwd, sizeof(cwd) - 1);
        if (n > 0)
            p.cwd.assign(cwd, static_cast<size_t>(n));
        std::ifstream environ(base + "/environ", std::ios::binary);
        std::string entry;
        const std::string tree = std::string(TreeVariable()) + "=";
        while (std::getline(environ, entry, '\0')) {
            if (entry.compare(0, 18, "VELTA_SERVER_PORT=") == 0)
                p.hasServerPort = true;
            else if (entry.compare(0, tree.size(), tree) == 0)
                p.serverTreeOf = static_cast<pid_t>(std::atol(entry.c_str() + tree.size()));
        }
        processes.push_back(p);
    }
    return processes;
}

std::set<pid_t> LeftoverServers::EndAll(const std::string& programDir, pid_t recordedGroup) {
    const std::set<pid_t> groups =
        Pick(Snapshot(), programDir, recordedGroup, static_cast<pid_t>(getpid()));
    for (pid_t pgid : groups)
        kill(-pgid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (pid_t pgid : groups) {
        while (GroupAlive(pgid) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (GroupAlive(pgid))
            kill(-pgid, SIGKILL);
    }
    return groups;
}

void LeftoverServers::SetRecordFile(const std::string& path) {
    RecordFile() = path;
}

void LeftoverServers::Record(pid_t pgid) {
    if (RecordFile().empty())
        return;
    std::ofstream(RecordFile(), std::ios::trunc) << pgid << "\n";
}

void LeftoverServers::Forget() {
    if (!RecordFile().empty())
        std::remove(RecordFile().c_str());
}

pid_t LeftoverServers::Recorded() {
    if (RecordFile().empty())
        return 0;
    long pgid = 0;
    std::ifstream(RecordFile()) >> pgid;
    return static_cast<pid_t>(pgid);
}

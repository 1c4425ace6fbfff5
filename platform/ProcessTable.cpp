#include "platform/ProcessTable.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>

bool ProcessTable::ParseStatLine(const std::string& line, Entry& entry) {
    // "pid (comm) state ppid pgrp ..."; comm may hold spaces and parentheses,
    // so the fields after it start behind the last ')'.
    const std::string::size_type close = line.rfind(')');
    if (close == std::string::npos)
        return false;
    char* end = nullptr;
    const long pid = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || pid <= 0)
        return false;
    char state = 0;
    long ppid = 0, pgrp = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %ld %ld", &state, &ppid, &pgrp) != 3)
        return false;
    entry.pid = static_cast<pid_t>(pid);
    entry.pgid = static_cast<pid_t>(pgrp);
    entry.ppid = static_cast<pid_t>(ppid);
    entry.state = state;
    return true;
}

std::vector<pid_t> ProcessTable::LiveChildren(const std::vector<Entry>& table, pid_t parent) {
    std::vector<pid_t> children;
    for (const Entry& e : table)
        if (e.ppid == parent && e.pid > 1 && e.state != 'Z' && e.state != 'X')
            children.push_back(e.pid);
    return children;
}

std::vector<pid_t> ProcessTable::LiveMembers(const std::vector<Entry>& table, pid_t pgid) {
    std::vector<pid_t> members;
    if (pgid <= 1)
        return members;
    for (const Entry& e : table) {
        if (e.pgid == pgid && e.state != 'Z' && e.state != 'X')
            members.push_back(e.pid);
    }
    return members;
}

std::vector<ProcessTable::Entry> ProcessTable::Snapshot() {
    std::vector<Entry> table;
    DIR* proc = opendir("/proc");
    if (!proc)
        return table;
    while (dirent* d = readdir(proc)) {
        if (d->d_name[0] < '0' || d->d_name[0] > '9')
            continue;
        std::ifstream in(std::string("/proc/") + d->d_name + "/stat");
        std::string line;
        Entry entry;
        if (std::getline(in, line) && ParseStatLine(line, entry))
            table.push_back(entry);
    }
    closedir(proc);
    return table;
}

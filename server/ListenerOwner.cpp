#include "server/ListenerOwner.h"

#include "platform/ProcessTable.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

std::set<unsigned long> ListenerOwner::ListeningInodes(const std::string& procNetTcp, int port) {
    std::set<unsigned long> inodes;
    std::istringstream lines(procNetTcp);
    std::string line;
    while (std::getline(lines, line)) {
        // "sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode"
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout;
        unsigned long inode = 0;
        if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
              timeout >> inode))
            continue;
        const size_t colon = local.rfind(':');
        if (state != "0A" || colon == std::string::npos) // 0A: LISTEN
            continue;
        char* end = nullptr;
        const long localPort = std::strtol(local.c_str() + colon + 1, &end, 16);
        if (end && *end == '\0' && localPort == port && inode != 0)
            inodes.insert(inode);
    }
    return inodes;
}

unsigned long ListenerOwner::SocketInode(const std::string& link) {
    static const std::string prefix = "socket:[";
    if (link.compare(0, prefix.size(), prefix) != 0 || link.back() != ']')
        return 0;
    return std::strtoul(link.c_str() + prefix.size(), nullptr, 10);
}

namespace {
std::set<unsigned long> ListeningNow(int port) {
    std::string text;
    for (const char* path : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream file(path);
        text.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return ListenerOwner::ListeningInodes(text, port);
}
} // namespace

ListenerOwner::Verdict ListenerOwner::Of(int port, pid_t serverGroup) {
    const std::set<unsigned long> inodes = ListeningNow(port);
    if (inodes.empty())
        return Verdict::NoListener;
    // The server's group, and what its leader started that left the group.
    const std::vector<ProcessTable::Entry> table = ProcessTable::Snapshot();
    std::vector<pid_t> tree = ProcessTable::LiveMembers(table, serverGroup);
    for (size_t i = 0; i < tree.size(); ++i)
        for (pid_t child : ProcessTable::LiveChildren(table, tree[i]))
            if (std::find(tree.begin(), tree.end(), child) == tree.end())
                tree.push_back(child);
    for (pid_t pid : tree) {
        const std::string fdDir = "/proc/" + std::to_string(pid) + "/fd";
        DIR* dir = opendir(fdDir.c_str());
        if (!dir)
            continue;
        while (dirent* entry = readdir(dir)) {
            char link[64];
            const ssize_t n =
                readlink((fdDir + "/" + entry->d_name).c_str(), link, sizeof(link) - 1);
            if (n <= 0)
                continue;
            link[n] = '\0';
            if (inodes.count(SocketInode(link))) {
                closedir(dir);
                return Verdict::Server;
            }
        }
        closedir(dir);
    }
    // A server that closed its socket while its files were read (it is
    // ending) left no listener behind; only a socket that is still there and
    // none of the server's is another program's.
    for (unsigned long inode : ListeningNow(port))
        if (inodes.count(inode))
            return Verdict::Foreign;
    return Verdict::NoListener;
}

#pragma once

#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

// Whose socket listens on a loopback port: the server's, or another
// program's that took the port first. The secret goes only to the server.
class ListenerOwner {
public:
    enum class Verdict { NoListener, Server, Foreign };

    // The inodes of the sockets in /proc/net/tcp{,6} text that listen on `port`.
    static std::set<unsigned long> ListeningInodes(const std::string& procNetTcp, int port);
    // The socket inode a /proc/PID/fd link names ("socket:[1234]"), or 0.
    static unsigned long SocketInode(const std::string& link);

    // Whether what listens on `port` belongs to the process group `serverGroup`
    // or a process that descends from its leader.
    static Verdict Of(int port, pid_t serverGroup);
};

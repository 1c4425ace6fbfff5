#pragma once

#include <string>

// One host per installation: a lock the system frees when its holder dies
// (flock on a file under $XDG_RUNTIME_DIR), and a local socket on which a
// second start asks the first to come forward.
class InstanceLock {
public:
    // The installation's key: a hash of its configuration file's absolute path.
    static std::string KeyFor(const std::string& configPath);
    // The folder of the locks and sockets, created private to the user.
    static std::string Directory();

    explicit InstanceLock(std::string key);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // true: this is the first host of the installation (and stays so while it lives).
    bool Acquire();
    // The socket the first host listens on; -1 when it cannot.
    int Listen();
    // Reads one request on the listening socket; true when it asks to come forward.
    bool AcceptRequest();
    // A second start: asks the first to come forward; true when it answered.
    bool AskFirstToComeForward() const;

    std::string LockPath() const;
    std::string SocketPath() const;

private:
    std::string m_key;
    int m_lock = -1;
    int m_listen = -1;
};

#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
    // Reads one request on the listening socket; true when it asks to come
    // forward. `items`: what the second start was asked to open, as it sent them.
    bool AcceptRequest(std::vector<std::string>* items = nullptr);
    // A second start: asks the first to come forward and to open `items`
    // (UTF-8); true when it answered.
    bool AskFirstToComeForward(const std::vector<std::string>& items = {}) const;

    // What one request may carry in all.
    static constexpr size_t kMostRequestBytes = 64 * 1024;

    std::string LockPath() const;
    std::string SocketPath() const;

private:
    std::string m_key;
    int m_lock = -1;
    int m_listen = -1;
};

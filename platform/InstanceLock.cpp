#include "platform/InstanceLock.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// One request line per item: its line ends and '%' escaped.
std::string Escape(const std::string& item) {
    std::string out;
    for (char c : item) {
        if (c == '%')
            out += "%25";
        else if (c == '\n')
            out += "%0A";
        else if (c == '\r')
            out += "%0D";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '%' && line.compare(i, 3, "%25") == 0) {
            out += '%';
            i += 2;
        } else if (line[i] == '%' && line.compare(i, 3, "%0A") == 0) {
            out += '\n';
            i += 2;
        } else if (line[i] == '%' && line.compare(i, 3, "%0D") == 0) {
            out += '\r';
            i += 2;
        } else {
            out += line[i];
        }
    }
    return out;
}
bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}
} // namespace

std::string InstanceLock::KeyFor(const std::string& configPath) {
    // FNV-1a: stable across runs and versions, which the key must be.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : configPath) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string InstanceLock::Directory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = runtime && *runtime == '/'
                          ? std::string(runtime) + "/velta-host"
                          : "/tmp/velta-host-" + std::to_string(static_cast<long>(getuid()));
    mkdir(dir.c_str(), 0700);
    return dir;
}

InstanceLock::InstanceLock(std::string key) : m_key(std::move(key)) {}

InstanceLock::~InstanceLock() {
    if (m_listen >= 0) {
        close(m_listen);
        unlink(SocketPath().c_str());
    }
    if (m_lock >= 0)
        close(m_lock); // frees the lock
}

std::string InstanceLock::LockPath() const {
    return Directory() + "/" + m_key + ".lock";
}

std::string InstanceLock::SocketPath() const {
    return Directory() + "/" + m_key + ".sock";
}

bool InstanceLock::Acquire() {
    if (m_lock >= 0)
        return true;
    const int fd = open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // no place for a lock: run, as before there was one
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    m_lock = fd;
    return true;
}

int InstanceLock::Listen() {
    if (m_listen >= 0 || m_lock < 0)
        return m_listen;
    sockaddr_un address;
    const std::string path = SocketPath();
    if (!FillAddress(path, address))
        return -1;
    unlink(path.c_str()); // a socket a dead holder left; we hold the lock now
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    m_listen = fd;
    return fd;
}

bool InstanceLock::AcceptRequest(std::vector<std::string>* items) {
    if (m_listen < 0)
        return false;
    const int client = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return false;
    // A second start writes its request and closes its side; one that does
    // neither holds the first no longer than this.
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (request.size() < kMostRequestBytes) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd p{client, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) != 1)
            break;
        char buffer[4096];
        const ssize_t n = read(client, buffer, sizeof(buffer));
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
    }
    const bool forward = request.compare(0, 8, "forward\n") == 0;
    if (forward && items) {
        size_t start = 8;
        for (size_t end; (end = request.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string line = request.substr(start, end - start);
            if (line.compare(0, 5, "open ") == 0)
                items->push_back(Unescape(line.substr(5)));
        }
    }
    if (forward)
        (void)!write(client, "ok\n", 3);
    close(client);
    return forward;
}

bool InstanceLock::AskFirstToComeForward(const std::vector<std::string>& items) const {
    sockaddr_un address;
    if (!FillAddress(SocketPath(), address))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    std::string request = "forward\n";
    for (const std::string& item : items)
        if (request.size() + item.size() < kMostRequestBytes - 16)
            request += "open " + Escape(item) + "\n";
    bool answered = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
        shutdown(fd, SHUT_WR);
        char reply[8] = {};
        pollfd p{fd, POLLIN, 0};
        answered = poll(&p, 1, 3000) == 1 && read(fd, reply, sizeof(reply) - 1) > 0 &&
                   std::strncmp(reply, "ok", 2) == 0;
    }
    close(fd);
    return answered;
}

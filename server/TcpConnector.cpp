#include "server/TcpConnector.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int ConnectOne(const addrinfo* ai, int timeoutMs) {
    const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0)
        return -1;
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int rc = connect(fd, ai->ai_addr, ai->ai_addrlen);
    int failure = rc == 0 ? 0 : errno;
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        rc = -1;
        failure = ETIMEDOUT;
        if (poll(&p, 1, timeoutMs) == 1) {
            int error = 0;
            socklen_t len = sizeof(error);
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0)
                failure = error;
            if (failure == 0)
                rc = 0;
        }
    }
    if (rc != 0) {
        close(fd);
        errno = failure; // why, for the caller
        return -1;
    }
    fcntl(fd, F_SETFL, flags);
    return fd;
}
} // namespace

int TcpConnector::Connect(const std::string& host, unsigned short port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        errno = EHOSTUNREACH;
        return -1;
    }
    int fd = -1, failure = 0;
    for (const addrinfo* ai = list; ai && fd < 0; ai = ai->ai_next) {
        fd = ConnectOne(ai, timeoutMs);
        if (fd < 0)
            failure = errno;
    }
    freeaddrinfo(list);
    errno = failure;
    return fd;
}

bool TcpConnector::WaitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int rc;
    do
        rc = poll(&p, 1, timeoutMs);
    while (rc < 0 && errno == EINTR);
    return rc == 1;
}

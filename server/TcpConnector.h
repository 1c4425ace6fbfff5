#pragma once

#include <string>

// A blocking TCP connect with a bounded wait, straight to the address: no proxy
// from the environment is ever consulted.
class TcpConnector {
public:
    // A connected socket, or -1. Tries every address `host` resolves to.
    static int Connect(const std::string& host, unsigned short port, int timeoutMs);

    // Waits until `fd` is readable or `timeoutMs` passed; false on time-out or error.
    static bool WaitReadable(int fd, int timeoutMs);
};

#include "server/PortProbe.h"

#include "server/TcpConnector.h"

#include <unistd.h>

bool PortProbe::IsTaken(unsigned port, int timeoutMs) {
    if (port == 0 || port > 65535)
        return false;
    const int fd = TcpConnector::Connect("localhost", static_cast<unsigned short>(port), timeoutMs);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

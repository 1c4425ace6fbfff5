#pragma once

// Whether something already listens on a local TCP port.
class PortProbe {
public:
    // A successful connect to "localhost" means taken; any failure means free.
    static bool IsTaken(unsigned port, int timeoutMs = 1000);
};

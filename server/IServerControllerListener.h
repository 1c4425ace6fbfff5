#pragma once

// Start and stop events of the application server.
class IServerControllerListener {
public:
    virtual void OnServerStarting() = 0;
    // The first answering status check after a start; always true.
    virtual void OnServerStarted(bool started) = 0;
    virtual void OnServerStopping() = 0;
    // true: the server ended by itself; false: the host gave up and killed it.
    virtual void OnServerStopped(bool byItself) = 0;

protected:
    ~IServerControllerListener() = default;
};

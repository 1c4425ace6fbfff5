#pragma once

#include <map>
#include <string>

// A small HTTP/1.0 application server that keeps the host's server contract:
// port from the command line or VELTA_SERVER_PORT, a status URL that answers
// once up, the demo's files, exit code 0 on its shutdown URL and on SIGTERM.
// Its switches let tests make it misbehave in every way the host must survive.
class DemoServer {
public:
    struct Options {
        int port = 0;
        std::string root = ".";
        double startDelaySeconds = 0; // listen only after this long
        bool neverAnswer = false;     // accept connections, never reply
        int statusCode = 200;         // status of every answer
        int exitCode = 0;             // with exitAfterSeconds: end with this code
        double exitAfterSeconds = -1;
        bool ignoreShutdown = false;
        bool ignoreTerm = false;
        long floodLines = 0; // write this many lines of output at start
        std::string authUser = "demo";
        std::string authPassword = "velta";
        // The host's secret of this run (VELTA_SERVER_TOKEN); empty: started by
        // hand, nothing checked.
        std::string token;
    };

    // Parses the command line; false (with a message in `error`) when it is wrong.
    static bool ParseArguments(int argc, char** argv, Options& options, std::string& error);

    explicit DemoServer(const Options& options) : m_options(options) {}
    int Run();

    // The response to one request (exposed for tests of the routing).
    std::string Respond(const std::string& method, const std::string& target,
                        const std::map<std::string, std::string>& headers, bool& shutdown) const;

    // Whether a request may be answered, as every server behind the host
    // should decide: 0 when it may, else the status to refuse it with (401
    // without the secret, 403 for another Host, a state change from another
    // Origin). `port` is the one the server listens on.
    static int Refusal(const std::string& method, const std::map<std::string, std::string>& headers,
                       const std::string& token, int port);
    // Compares in a time that does not depend on where the texts differ.
    static bool SameSecret(const std::string& given, const std::string& expected);

    static std::string ContentType(const std::string& path);
    static std::string Base64(const std::string& text);

private:
    std::string ServeFile(const std::string& path) const;

    Options m_options;
};

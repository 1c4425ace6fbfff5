#pragma once

#include <string>
#include <wx/string.h>

// Whether an HTTP server answers a GET with a status of class 1, 2 or 3.
class HttpStatusProbe {
public:
    struct Target {
        std::string host;
        unsigned short port = 80;
        std::string path = "/";
    };

    // Only "http://" URLs can be probed.
    static bool ParseUrl(const wxString& url, Target& target);

    // A status line counts when its code begins with 1, 2 or 3. Anything that
    // is not an HTTP status line (another protocol on the port) does not.
    static bool IsUpStatusLine(const std::string& line);

    // The Host header for `target`: the port where it is not 80, as browsers send it.
    static std::string HostHeader(const Target& target);

    // `why`, when given, says what came back: the status line, or what went wrong.
    // `cookie` ("NAME=value"), when given, goes with the request.
    static bool Check(const wxString& url, int connectTimeoutMs = 1000, int readTimeoutMs = 2000,
                      std::string* why = nullptr, const std::string& cookie = std::string());
};

#pragma once

#include <string>
#include <wx/string.h>

// One bounded HTTP/1.0 GET of a plain http URL, straight to the address (no
// proxy), for pages the host shows itself. Safe to call off the GUI thread.
class HttpGet {
public:
    struct Response {
        int status = 0;          // 0: no HTTP answer at all
        std::string contentType; // as the server sent it
        std::string body;
        std::string error; // why there is no answer
    };
    // Everything, connect to last byte, within `timeoutMs`; a body over
    // `maxBytes` is cut there.
    static Response Fetch(const wxString& url, int timeoutMs, size_t maxBytes = 1 << 20);
};

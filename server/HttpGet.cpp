#include "server/HttpGet.h"

#include "server/HttpStatusProbe.h"
#include "server/TcpConnector.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sys/socket.h>
#include <unistd.h>

HttpGet::Response HttpGet::Fetch(const wxString& url, int timeoutMs, size_t maxBytes) {
    Response response;
    HttpStatusProbe::Target target;
    if (!HttpStatusProbe::ParseUrl(url, target)) {
        response.error = "not a plain http URL";
        return response;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto left = [&] {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    };
    const int fd = TcpConnector::Connect(target.host, target.port, timeoutMs);
    if (fd < 0) {
        response.error = "no connection";
        return response;
    }
    const std::string request = "GET " + target.path +
                                " HTTP/1.0\r\nHost: " + HttpStatusProbe::HostHeader(target) +
                                "\r\nConnection: close\r\n\r\n";
    std::string received;
    bool complete = false;
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(request.size())) {
        char buffer[8192];
        while (received.size() < maxBytes + 16384) {
            const int wait = left();
            if (wait <= 0 || !TcpConnector::WaitReadable(fd, wait))
                break;
            const ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
            if (n <= 0) {
                complete = n == 0;
                break;
            }
            received.append(buffer, static_cast<size_t>(n));
        }
    }
    close(fd);
    const size_t lineEnd = received.find("\r\n");
    const size_t headEnd = received.find("\r\n\r\n");
    if (lineEnd == std::string::npos || headEnd == std::string::npos ||
        received.compare(0, 5, "HTTP/") != 0) {
        response.error = complete ? "not an HTTP answer" : "no answer in time";
        return response;
    }
    const size_t space = received.find(' ');
    if (space != std::string::npos && space < lineEnd)
        response.status = std::atoi(received.c_str() + space + 1);
    size_t at = lineEnd + 2;
    while (at < headEnd) {
        const size_t end = received.find("\r\n", at);
        const std::string line = received.substr(at, end - at);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (name == "content-type") {
                const size_t value = line.find_first_not_of(" \t", colon + 1);
                response.contentType = value == std::string::npos ? "" : line.substr(value);
            }
        }
        at = end + 2;
    }
    response.body = received.substr(headEnd + 4, maxBytes);
    if (!complete)
        response.error = "answer cut at its time or size limit";
    return response;
}

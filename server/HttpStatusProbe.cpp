#include "server/HttpStatusProbe.h"

#include "server/TcpConnector.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {
unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}
} // namespace

bool HttpStatusProbe::ParseUrl(const wxString& url, Target& target) {
    const std::string text = url.utf8_string();
    const std::string scheme = "http://";
    if (text.size() <= scheme.size())
        return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i])
            return false;
    }
    const std::string rest = text.substr(scheme.size());
    const size_t slash = rest.find_first_of("/?#");
    std::string authority = rest.substr(0, slash);
    std::string path = slash == std::string::npos ? "/" : rest.substr(slash);
    if (!path.empty() && path[0] != '/')
        path = "/" + path;
    const size_t hash = path.find('#');
    if (hash != std::string::npos)
        path.erase(hash);
    const size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority.erase(0, at + 1);

    std::string host = authority;
    unsigned long port = 80;
    if (!authority.empty() && authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string::npos)
            return false;
        host = authority.substr(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':')
                return false;
            const std::string digits = authority.substr(close + 2);
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
                return false;
            port = std::stoul(digits.substr(0, 6));
        }
    } else {
        const size_t colon = authority.rfind(':');
        if (colon != std::string::npos) {
            host = authority.substr(0, colon);
            const std::string digits = authority.substr(colon + 1);
            if (digits.empty() || digits.size() > 5 ||
                digits.find_first_not_of("0123456789") != std::string::npos)
                return false;
            port = std::stoul(digits);
        }
    }
    if (host.empty() || port == 0 || port > 65535)
        return false;
    target.host = host;
    target.port = static_cast<unsigned short>(port);
    target.path = path;
    return true;
}

bool HttpStatusProbe::IsUpStatusLine(const std::string& line) {
    // "HTTP/" digit "." digit, one space, three digits, then a space or the end.
    if (line.size() < 12 || line.compare(0, 5, "HTTP/") != 0 || !std::isdigit(Byte(line[5])) ||
        line[6] != '.' || !std::isdigit(Byte(line[7])) || line[8] != ' ')
        return false;
    for (size_t i = 9; i < 12; ++i)
        if (!std::isdigit(Byte(line[i])))
            return false;
    if (line.size() > 12 && line[12] != ' ')
        return false;
    const char first = line[9];
    return first == '1' || first == '2' || first == '3';
}

std::string HttpStatusProbe::HostHeader(const Target& target) {
    const std::string host =
        target.host.find(':') != std::string::npos ? "[" + target.host + "]" : target.host;
    return target.port == 80 ? host : host + ":" + std::to_string(target.port);
}

bool HttpStatusProbe::Check(const wxString& url, int connectTimeoutMs, int readTimeoutMs,
                            std::string* why, const std::string& cookie) {
    std::string ignored;
    std::string& reason = why ? *why : ignored;
    Target target;
    if (!ParseUrl(url, target)) {
        reason = "not an http:// URL";
        return false;
    }
    const int fd = TcpConnector::Connect(target.host, target.port, connectTimeoutMs);
    if (fd < 0) {
        reason = errno == ETIMEDOUT
                     ? "no connection within " + std::to_string(connectTimeoutMs) + " ms"
                     : std::string("cannot connect: ") + std::strerror(errno);
        return false;
    }
    reason = "connection closed without an answer";

    std::string request = "GET " + target.path + " HTTP/1.0\r\nHost: " + HostHeader(target) +
                          "\r\nConnection: close\r\n";
    if (!cookie.empty())
        request += "Cookie: " + cookie + "\r\n";
    request += "\r\n";
    bool up = false;
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(request.size())) {
        // Only the status line matters; read until its end within the time limit.
        std::string received;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(readTimeoutMs);
        while (received.find('\n') == std::string::npos && received.size() < 1024) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 || !TcpConnector::WaitReadable(fd, static_cast<int>(left)))
                break;
            char buffer[512];
            const ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<size_t>(n));
        }
        const size_t end = received.find_first_of("\r\n");
        if (end != std::string::npos) {
            const std::string line = received.substr(0, std::min<size_t>(end, 80));
            up = IsUpStatusLine(received.substr(0, end));
            if (up)
                reason = line;
            else if (line.compare(0, 5, "HTTP/") == 0 && line.size() > 12 &&
                     (line.compare(9, 3, "401") == 0 || line.compare(9, 3, "403") == 0))
                reason = line + " (the server refuses the host: does it take VELTA_SERVER_TOKEN "
                                "from the cookie as the host sends it?)";
            else if (line.compare(0, 5, "HTTP/") == 0)
                // A 404 or 405 is a wrong ServerUrl, not a slow server.
                reason = line + " (does ServerUrl name a page the server has?)";
            else
                reason = "no HTTP answer (another program on the port?)";
        } else if (!received.empty()) {
            reason = "no HTTP answer (another program on the port?)";
        } else {
            reason = "no answer within " + std::to_string(readTimeoutMs) + " ms";
        }
    } else {
        reason = std::string("cannot send the request: ") + std::strerror(errno);
    }
    close(fd);
    return up;
}

#include "examples/appserver/DemoServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
volatile sig_atomic_t g_terminate = 0;
void OnTerm(int) {
    g_terminate = 1;
}

std::string StatusText(int code) {
    switch (code) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 302:
        return "Found";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

std::string Response(int code, const std::string& type, const std::string& body,
                     const std::string& extraHeaders = "") {
    std::ostringstream out;
    out << "HTTP/1.0 " << code << ' ' << StatusText(code) << "\r\n"
        << "Content-Type: " << type << "\r\n"
        << "Content-Length: " << body.size() << "\r\n"
        << "Cache-Control: no-store\r\n"
        << extraHeaders << "Connection: close\r\n\r\n"
        << body;
    return out.str();
}

bool ParseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

void Log(const char* format, const std::string& text) {
    std::printf(format, text.c_str());
    std::printf("\n");
    std::fflush(stdout);
}
} // namespace

bool DemoServer::ParseArguments(int argc, char** argv, Options& o, std::string& error) {
    if (const char* env = std::getenv("VELTA_SERVER_PORT"))
        o.port = std::atoi(env);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&](double& value) {
            if (i + 1 >= argc || !ParseNumber(argv[i + 1], value)) {
                error = "missing or bad value after " + arg;
                return false;
            }
            ++i;
            return true;
        };
        double value = 0;
        if (arg == "--port") {
            if (!next(value))
                return false;
            o.port = static_cast<int>(value);
        } else if (arg == "--root") {
            if (i + 1 >= argc) {
                error = "missing directory after --root";
                return false;
            }
            o.root = argv[++i];
        } else if (arg == "--start-delay") {
            if (!next(o.startDelaySeconds))
                return false;
        } else if (arg == "--never-answer") {
            o.neverAnswer = true;
        } else if (arg == "--status") {
            if (!next(value))
                return false;
            o.statusCode = static_cast<int>(value);
        } else if (arg == "--exit-code") {
            if (!next(value))
                return false;
            o.exitCode = static_cast<int>(value);
        } else if (arg == "--exit-after") {
            if (!next(o.exitAfterSeconds))
                return false;
        } else if (arg == "--ignore-shutdown") {
            o.ignoreShutdown = true;
        } else if (arg == "--ignore-term") {
            o.ignoreTerm = true;
        } else if (arg == "--flood") {
            if (!next(value))
                return false;
            o.floodLines = static_cast<long>(value);
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    if (o.port <= 0 || o.port > 65535) {
        error = "no port: give --port N or set VELTA_SERVER_PORT";
        return false;
    }
    return true;
}

std::string DemoServer::ContentType(const std::string& path) {
    const size_t dot = path.rfind('.');
    const std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    if (ext == "html" || ext == "htm")
        return "text/html; charset=utf-8";
    if (ext == "css")
        return "text/css; charset=utf-8";
    if (ext == "js")
        return "text/javascript; charset=utf-8";
    if (ext == "png")
        return "image/png";
    if (ext == "svg")
        return "image/svg+xml";
    if (ext == "txt")
        return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

std::string DemoServer::Base64(const std::string& text) {
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < text.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(text[i]) << 16) |
                           (static_cast<unsigned char>(text[i + 1]) << 8) |
                           static_cast<unsigned char>(text[i + 2]);
        for (int shift : {18, 12, 6, 0})
            out += table[(n >> shift) & 63];
    }
    if (i < text.size()) {
        unsigned n = static_cast<unsigned char>(text[i]) << 16;
        if (i + 1 < text.size())
            n |= static_cast<unsigned char>(text[i + 1]) << 8;
        out += table[(n >> 18) & 63];
        out += table[(n >> 12) & 63];
        out += i + 1 < text.size() ? table[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string DemoServer::ServeFile(const std::string& path) const {
    // No way out of the root: reject any ".." segment.
    if (path.find("..") != std::string::npos)
        return Response(404, "text/plain", "not found\n");
    std::string file = m_options.root + path;
    if (!file.empty() && file.back() == '/')
        file += "index.html";
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Response(404, "text/plain", "not found\n");
    std::ostringstream body;
    body << in.rdbuf();
    return Response(m_options.statusCode, ContentType(file), body.str());
}

bool DemoServer::SameSecret(const std::string& given, const std::string& expected) {
    // As long as the expected secret, whatever was given.
    unsigned char differ = given.size() == expected.size() ? 0 : 1;
    for (size_t i = 0; i < expected.size(); ++i)
        differ |= static_cast<unsigned char>((i < given.size() ? given[i] : 0) ^ expected[i]);
    return differ == 0 && !expected.empty();
}

int DemoServer::Refusal(const std::string& method,
                        const std::map<std::string, std::string>& headers, const std::string& token,
                        int port) {
    if (token.empty())
        return 0;
    const auto header = [&](const char* name) {
        const auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    };
    // A page whose name resolves to this machine (DNS rebinding) sends its own name.
    const std::string suffix = ":" + std::to_string(port);
    const std::string host = header("host");
    if (host != "127.0.0.1" + suffix && host != "localhost" + suffix)
        return 403;
    std::string given;
    const std::string cookies = header("cookie");
    for (size_t at = 0; at < cookies.size();) {
        size_t end = cookies.find(';', at);
        if (end == std::string::npos)
            end = cookies.size();
        std::string pair = cookies.substr(at, end - at);
        pair.erase(0, pair.find_first_not_of(' '));
        if (pair.rfind("VELTA_SERVER_TOKEN=", 0) == 0)
            given = pair.substr(19);
        at = end + 1;
    }
    const std::string authorization = header("authorization");
    if (given.empty() && authorization.rfind("Bearer ", 0) == 0)
        given = authorization.substr(7);
    if (!SameSecret(given, token))
        return 401;
    // Another site's form or fetch (cross-site request forgery) says where it comes from.
    const bool changesState =
        method == "POST" || method == "PUT" || method == "DELETE" || !header("upgrade").empty();
    const std::string origin = header("origin");
    if (changesState && !origin.empty() && origin != "http://127.0.0.1" + suffix &&
        origin != "http://localhost" + suffix)
        return 403;
    return 0;
}

std::string DemoServer::Respond(const std::string& method, const std::string& target,
                                const std::map<std::string, std::string>& headers,
                                bool& shutdown) const {
    shutdown = false;
    if (const int refused = Refusal(method, headers, m_options.token, m_options.port))
        return Response(refused, "text/plain",
                        refused == 401 ? "this server answers its desktop host only\n"
                                       : "not for this host or origin\n");
    std::string path = target.substr(0, target.find('?'));
    if (method != "GET" && method != "HEAD" && method != "POST")
        return Response(405, "text/plain", "method not allowed\n");
    if (path == "/status")
        return Response(m_options.statusCode, "text/plain", "up\n");
    if (path == "/shutdown") {
        shutdown = !m_options.ignoreShutdown;
        return Response(200, "text/plain", shutdown ? "shutting down\n" : "ignored\n",
                        "Access-Control-Allow-Origin: *\r\n");
    }
    if (path == "/protected/" || path == "/protected/index.html") {
        const auto it = headers.find("authorization");
        const std::string expected =
            "Basic " + Base64(m_options.authUser + ":" + m_options.authPassword);
        if (it == headers.end() || it->second != expected)
            return Response(401, "text/html; charset=utf-8",
                            "<html><body><h1>401</h1></body></html>",
                            "WWW-Authenticate: Basic realm=\"Velta demo\"\r\n");
    }
    if (path == "/download/report.txt") {
        std::string body = "Velta demo report\n";
        for (int i = 1; i <= 100; ++i)
            body += "line " + std::to_string(i) + "\n";
        return Response(200, "application/octet-stream", body,
                        "Content-Disposition: attachment; filename=\"report.txt\"\r\n");
    }
    return ServeFile(path);
}

int DemoServer::Run() {
    struct sigaction sa {};
    sa.sa_handler = m_options.ignoreTerm ? SIG_IGN : OnTerm;
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::printf("velta demo server %d starting on port %d\n", static_cast<int>(getpid()),
                m_options.port);
    std::fflush(stdout);
    for (long i = 0; i < m_options.floodLines; ++i)
        std::printf("flood line %ld of %ld: the quick brown fox jumps over the lazy dog\n", i + 1,
                    m_options.floodLines);
    std::fflush(stdout);

    const auto begin = std::chrono::steady_clock::now();
    auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    };
    auto exitDue = [&] {
        return m_options.exitAfterSeconds >= 0 && seconds() >= m_options.exitAfterSeconds;
    };
    while (seconds() < m_options.startDelaySeconds && !g_terminate && !exitDue())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(m_options.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 16) != 0) {
        Log("cannot listen: %s", std::strerror(errno));
        return 1;
    }
    Log("listening%s", m_options.neverAnswer ? " (never answering)" : "");

    std::vector<int> silent; // connections held open without an answer
    while (!g_terminate) {
        if (exitDue()) {
            Log("ending with the requested exit code%s", "");
            return m_options.exitCode;
        }
        pollfd p{listener, POLLIN, 0};
        if (poll(&p, 1, 50) != 1)
            continue;
        const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        if (m_options.neverAnswer) {
            silent.push_back(client);
            continue;
        }
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            pollfd c{client, POLLIN, 0};
            if (poll(&c, 1, 2000) != 1)
                break;
            const ssize_t n = recv(client, buffer, sizeof(buffer), 0);
            if (n <= 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        std::istringstream lines(request);
        std::string method, target, line;
        lines >> method >> target;
        std::getline(lines, line);
        std::map<std::string, std::string> headers;
        while (std::getline(lines, line) && line != "\r" && !line.empty()) {
            const size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = line.substr(0, colon);
            for (char& ch : name)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            if (!value.empty() && value.back() == '\r')
                value.pop_back();
            headers[name] = value;
        }
        bool shutdown = false;
        std::string response = Respond(method, target, headers, shutdown);
        if (method == "HEAD")
            response = response.substr(0, response.find("\r\n\r\n") + 4);
        send(client, response.data(), response.size(), MSG_NOSIGNAL);
        close(client);
        Log("%s", method + " " + target);
        if (shutdown) {
            Log("shutdown requested%s", "");
            return 0;
        }
    }
    Log("terminate signal%s", "");
    return 0;
}

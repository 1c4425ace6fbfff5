#include "server/ExitCodeMessages.h"
#include "server/HttpStatusProbe.h"
#include "server/ServerController.h"
#include "server/ServerOutputText.h"
#include "tests/unit/TestSupport.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
// A listening socket on 127.0.0.1; port 0 picks one.
class Listener {
public:
    explicit Listener(int port = 0) {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 || listen(m_fd, 8) != 0) {
            close(m_fd);
            m_fd = -1;
            return;
        }
        socklen_t len = sizeof(a);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
    }
    ~Listener() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    int port() const { return m_port; }

    // Answers every connection with `reply` (nothing at all when empty).
    void Serve(const std::string& reply) {
        m_thread = std::thread([this, reply] {
            std::vector<int> held;
            while (!m_stop) {
                pollfd p{m_fd, POLLIN, 0};
                if (poll(&p, 1, 20) != 1)
                    continue;
                const int c = accept(m_fd, nullptr, nullptr);
                if (c < 0)
                    continue;
                if (reply.empty()) {
                    held.push_back(c);
                    continue;
                }
                char buf[2048];
                (void)!recv(c, buf, sizeof(buf), 0);
                (void)!send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
                close(c);
            }
            for (int c : held)
                close(c);
        });
    }

private:
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Three consecutive free ports, the first returned; 0 when none were found.
int FindFreeBlock(int count) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        Listener probe;
        const int base = probe.port();
        if (base + count > 65535)
            continue;
        bool free = true;
        for (int i = 1; i < count && free; ++i)
            free = Listener(base + i).ok();
        if (free)
            return base;
    }
    return 0;
}
} // namespace

TEST(FreePortSearch, SkipsPortsSomethingListensOn) {
    ServerController controller;
    const int base = FindFreeBlock(5);
    ASSERT_NE(base, 0);
    {
        LogCapture log;
        EXPECT_EQ(controller.GetFreeServerPort(base), base);
        EXPECT_TRUE(log.Contains(
            wxString::Format("ServerController::GetFreeServerPort found port=%d", base)));
    }
    Listener a(base), b(base + 1), c(base + 2);
    ASSERT_TRUE(a.ok() && b.ok() && c.ok());
    EXPECT_EQ(controller.GetFreeServerPort(base), base + 3);
}

TEST(FreePortSearch, EndsAtTheLastPortWithAnError) {
    Listener last(65535);
    if (!last.ok())
        GTEST_SKIP() << "port 65535 is in use on this machine";
    ServerController controller;
    LogCapture log;
    EXPECT_EQ(controller.GetFreeServerPort(65535), 0);
    EXPECT_TRUE(log.Contains("ServerController::GetFreeServerPort no free port in 65535-65535"));
}

TEST(StatusCheck, StatusClassesDecideWhetherTheServerIsUp) {
    ServerController controller;
    for (const auto& [line, up] :
         std::vector<std::pair<std::string, bool>>{{"HTTP/1.1 200 OK", true},
                                                   {"HTTP/1.0 204 No Content", true},
                                                   {"HTTP/1.1 302 Found", true},
                                                   {"HTTP/1.1 404 Not Found", false},
                                                   {"HTTP/1.1 500 Internal Server Error", false},
                                                   {"SSH-2.0-OpenSSH_9.2", false}}) {
        Listener server;
        ASSERT_TRUE(server.ok());
        server.Serve(line + "\r\nContent-Length: 0\r\n\r\n");
        const wxString url = wxString::Format("http://localhost:%d/status", server.port());
        EXPECT_EQ(controller.CheckServerStatus(url), up) << line;
    }
    for (const char* line :
         {"hello", "SSH-2.0-OpenSSH_9.2", "220 smtp ready", "HTTP/1.1", "HTTP/1.1 2",
          "HTTP/1.1 200x", "HTTP/x.y 200 OK", "http/1.1 200 OK", "HTTP/1.1  200 OK", ""})
        EXPECT_FALSE(HttpStatusProbe::IsUpStatusLine(line)) << "not an HTTP answer: " << line;
    EXPECT_TRUE(HttpStatusProbe::IsUpStatusLine("HTTP/1.0 200"));
    EXPECT_TRUE(HttpStatusProbe::IsUpStatusLine("HTTP/2.0 302 Found"));
}

TEST(StatusCheck, ClosedPortAndUnparsableUrlAreDownAndLogged) {
    ServerController controller;
    int closedPort = 0;
    {
        Listener probe;
        closedPort = probe.port();
    }
    LogCapture log;
    const wxString url = wxString::Format("http://127.0.0.1:%d/", closedPort);
    EXPECT_FALSE(controller.CheckServerStatus(url));
    EXPECT_TRUE(log.Contains("ServerController::CheckServerStatus with Url:" + url +
                             " result:False, duration(s): 00"));
    EXPECT_TRUE(log.Contains("ServerController::CheckServerStatus not up: cannot connect: "
                             "Connection refused"));
    EXPECT_FALSE(controller.CheckServerStatus("not a url"));
    EXPECT_FALSE(controller.CheckServerStatus("https://localhost:1/"));
    EXPECT_TRUE(log.Contains("not up: not an http:// URL"));
}

TEST(StatusCheck, TheReasonSaysWhatCameBack) {
    for (const auto& [answer, why] : std::vector<std::pair<std::string, std::string>>{
             {"HTTP/1.1 404 Not Found\r\n\r\n",
              "HTTP/1.1 404 Not Found (does ServerUrl name a page the server has?)"},
             {"HTTP/1.1 405 Method Not Allowed\r\n\r\n",
              "HTTP/1.1 405 Method Not Allowed (does ServerUrl name a page the server has?)"},
             {"SSH-2.0-OpenSSH_9.2\r\n", "no HTTP answer (another program on the port?)"},
             {"", "no answer within 300 ms"},
             {"HTTP/1.1 200 OK\r\n\r\n", "HTTP/1.1 200 OK"}}) {
        Listener server;
        ASSERT_TRUE(server.ok());
        server.Serve(answer);
        std::string reason;
        HttpStatusProbe::Check(wxString::Format("http://127.0.0.1:%d/status", server.port()), 1000,
                               300, &reason);
        EXPECT_EQ(reason, why) << answer;
    }
}

TEST(StatusCheck, ServerThatNeverAnswersIsDownWithinBoundedTime) {
    Listener silent;
    silent.Serve("");
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        HttpStatusProbe::Check(wxString::Format("http://localhost:%d/", silent.port()), 1000, 500));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
}

TEST(StatusCheck, ProxyVariablesAreNotConsulted) {
    Listener server;
    server.Serve("HTTP/1.0 200 OK\r\n\r\n");
    wxSetEnv("http_proxy", "http://127.0.0.1:9/");
    wxSetEnv("HTTP_PROXY", "http://127.0.0.1:9/");
    EXPECT_TRUE(HttpStatusProbe::Check(wxString::Format("http://localhost:%d/", server.port())));
    wxUnsetEnv("http_proxy");
    wxUnsetEnv("HTTP_PROXY");
}

TEST(StatusCheck, UrlParsing) {
    HttpStatusProbe::Target t;
    ASSERT_TRUE(HttpStatusProbe::ParseUrl("HTTP://user@localhost:8080/a/b?c=1#frag", t));
    EXPECT_EQ(t.host, "localhost");
    EXPECT_EQ(t.port, 8080);
    EXPECT_EQ(t.path, "/a/b?c=1");
    ASSERT_TRUE(HttpStatusProbe::ParseUrl("http://[::1]:81", t));
    EXPECT_EQ(t.host, "::1");
    EXPECT_EQ(t.path, "/");
    EXPECT_FALSE(HttpStatusProbe::ParseUrl("http://localhost:VELTA_SERVER_PORT/", t));
    EXPECT_FALSE(HttpStatusProbe::ParseUrl("http://localhost:70000/", t));
    EXPECT_FALSE(HttpStatusProbe::ParseUrl("ftp://localhost/", t));
}

TEST(ExitCodeMessages, BothByteFormsOfTheContractCodes) {
    EXPECT_EQ(ExitCodeMessages::Normalize(-9000), -9000);
    EXPECT_EQ(ExitCodeMessages::Normalize(-40), -9000);
    EXPECT_EQ(ExitCodeMessages::Normalize(216), -9000);
    EXPECT_EQ(ExitCodeMessages::Normalize(-41), -9001);
    EXPECT_EQ(ExitCodeMessages::Normalize(215), -9001);
    EXPECT_EQ(ExitCodeMessages::Normalize(-64), -8000);
    EXPECT_EQ(ExitCodeMessages::Normalize(192), -8000);
    EXPECT_EQ(ExitCodeMessages::Normalize(static_cast<int>(4294958296u)), -9000);
    EXPECT_EQ(ExitCodeMessages::Normalize(1), 1);
    EXPECT_EQ(ExitCodeMessages::Normalize(-15), -15);
}

TEST(ExitCodeMessages, TextsInBothLanguages) {
    EXPECT_EQ(ExitCodeMessages::ForExitCode(216, "en"),
              "The program is already running. Please restart your computer and open the program "
              "again.");
    EXPECT_EQ(ExitCodeMessages::ForExitCode(-9000, "DE"),
              wxString(L"Die Anwendung ist bereits geöffnet. Bitte führen Sie einen Neustart Ihres "
                       L"Computer aus und starten Sie anschließend die Anwendung erneut."));
    EXPECT_EQ(ExitCodeMessages::ForExitCode(-41, ""),
              "Internal server error. Please restart your computer and open the program again.");
    EXPECT_EQ(
        ExitCodeMessages::ForExitCode(-64, "de"),
        "Das Programm wurde aufgrund eines Fehlers beendet (EXIT_CODE_DEFAULT). Bitte starten "
        "Sie die Anwendung erneut.");
    EXPECT_EQ(ExitCodeMessages::ForExitCode(1, "en"),
              "The application has been shut down. Please open the program again.");
    EXPECT_EQ(ExitCodeMessages::ForExitCode(-15, "de"),
              "Das Programm wurde aufgrund eines Fehlers beendet. Bitte starten Sie die Anwendung "
              "erneut.");
    EXPECT_EQ(ExitCodeMessages::StartFailed("en"),
              "The application could not be started. Please restart your computer and open the "
              "program again.");
}

TEST(ServerOutputText, ValidUtf8StaysAndEveryBadByteIsOneReplacement) {
    const wxString bad = wxString(wxUniChar(0xFFFD));
    const struct {
        std::string bytes;
        wxString logged;
    } cases[] = {
        {"", ""},
        {"plain ascii", "plain ascii"},
        {"gr\xc3\xbc\xc3\x9f dich \xe2\x82\xac \xf0\x9f\x98\x80",
         wxString::FromUTF8("gr\xc3\xbc\xc3\x9f dich \xe2\x82\xac \xf0\x9f\x98\x80")},
        {"caf\xe9", "caf" + bad},                    // Latin-1
        {"\xe2\x82", bad + bad},                     // cut at the line's end
        {"\xc0\xaf", bad + bad},                     // overlong slash
        {"\xed\xa0\x80", bad + bad + bad},           // a surrogate
        {"\xf4\x90\x80\x80", bad + bad + bad + bad}, // past U+10FFFF
        {std::string("a\0b", 3), "a" + bad + "b"},   // NUL would end the log line
        {"\x1b[1mbold\x1b[0m\ttab", "\x1b[1mbold\x1b[0m\ttab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ServerOutputText::Decode(c.bytes.data(), c.bytes.size()), c.logged)
            << "for " << testing::PrintToString(c.bytes);
    EXPECT_EQ(ServerOutputText::Decode(nullptr, 0), "");
    EXPECT_EQ(ServerOutputText::Decode("\n", 0), "") << "an empty line's text is never read";
}

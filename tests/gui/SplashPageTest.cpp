#include "navigation/SplashHtmlWindow.h"
#include "navigation/SplashWindow.h"
#include "platform/UiServices.h"
#include "tests/unit/TestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
// A loopback port that takes connections into its backlog and never answers,
// or answers each with `reply` when one is given.
class LoopbackPeer {
public:
    explicit LoopbackPeer(std::string reply = std::string()) : m_reply(std::move(reply)) {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(m_fd, 4);
        socklen_t length = sizeof addr;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &length);
        m_port = ntohs(addr.sin_port);
        if (!m_reply.empty())
            m_thread = std::thread([this] {
                const int client = accept(m_fd, nullptr, nullptr);
                if (client < 0)
                    return;
                char buffer[2048];
                (void)!recv(client, buffer, sizeof buffer, 0);
                (void)!send(client, m_reply.data(), m_reply.size(), MSG_NOSIGNAL);
                close(client);
            });
    }
    ~LoopbackPeer() {
        shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        close(m_fd);
    }
    wxString Url() const { return wxString::Format("http://127.0.0.1:%d/splash.html", m_port); }

private:
    std::string m_reply;
    int m_fd = -1;
    int m_port = 0;
    std::thread m_thread;
};

wxString Shown(SplashWindow& splash) {
    return splash.HtmlWindow()->ToText();
}
} // namespace

TEST(SplashPage, DocumentsAreReadInTheirCharset) {
    const std::string ellipsis = "Wird gestartet\xe2\x80\xa6";
    struct Case {
        const char* what;
        std::string bytes, contentType;
        wxString expected;
    } cases[] = {
        {"undeclared UTF-8", "<p>" + ellipsis + "</p>", "", L"<p>Wird gestartet\u2026</p>"},
        {"meta charset", "<meta charset=\"utf-8\"><p>\xc3\xa4</p>", "",
         L"<meta charset=\"utf-8\"><p>\u00e4</p>"},
        {"http-equiv Latin-1",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">\xe4", "",
         L"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">\u00e4"},
        {"the header wins", "<meta charset='utf-8'>\xe4", "text/html; charset=iso-8859-1",
         L"<meta charset='utf-8'>\u00e4"},
        {"invalid UTF-8, undeclared", "caf\xe9", "", L"caf\u00e9"},
        {"unknown charset", "<meta charset=\"no-such-set\">\xc3\xa4", "",
         L"<meta charset=\"no-such-set\">\u00e4"},
        {"empty", "", "", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplashHtmlWindow::DecodeDocument(c.bytes, c.contentType), c.expected) << c.what;
    EXPECT_EQ(SplashHtmlWindow::CharsetOf("text/html; charset = \"Windows-1252\""), "windows-1252");
    EXPECT_EQ(SplashHtmlWindow::CharsetOf("text/html"), "");
}

TEST(SplashPage, FileSplashShowsItsTextAndImagesBesideIt) {
    TempDir dir;
    dir.Write("splash.html", "<html><body><p>Wird gestartet\xe2\x80\xa6</p>"
                             "<img src=\"logo.png\" width=\"10\" height=\"10\"></body></html>");
    SplashWindow* splash = new SplashWindow("file://" + dir.File("splash.html"), "Start");
    ASSERT_TRUE(splash->ShowSplash(wxSize(300, 200)));
    EXPECT_TRUE(Shown(*splash).Contains(L"Wird gestartet\u2026")) << Shown(*splash);
    EXPECT_EQ(splash->HtmlWindow()->GetOpenedPage(), "file://" + dir.File("splash.html"));
    splash->Destroy();
}

TEST(SplashPage, WebSplashThatNeverAnswersNeitherBlocksNorHangs) {
    LoopbackPeer silent;
    LogCapture log;
    SplashWindow* splash = new SplashWindow(silent.Url(), "Start");
    const long long before = UiServices::Get().NowMillis();
    ASSERT_TRUE(splash->ShowSplash(wxSize(300, 200)));
    EXPECT_LT(UiServices::Get().NowMillis() - before, 1000) << "the event loop goes on at once";
    ASSERT_TRUE(RunLoopUntil([&] { return splash->HtmlWindow()->FetchDone(); },
                             SplashHtmlWindow::kFetchTimeoutMs + 3000));
    RunLoopUntil([] { return false; }, 200);
    EXPECT_TRUE(log.Contains("was not shown (no answer in time)"));
    splash->Destroy();
}

TEST(SplashPage, WebSplashArrivesInItsDeclaredCharset) {
    LoopbackPeer server("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\n\r\n"
                        "<html><body><p>Gr\xfc\xdf"
                        "e</p><img src=\"http://127.0.0.1:1/never.png\"></body></html>");
    SplashWindow* splash = new SplashWindow(server.Url(), "Start");
    ASSERT_TRUE(splash->ShowSplash(wxSize(300, 200)));
    ASSERT_TRUE(RunLoopUntil([&] { return Shown(*splash).Contains(L"Gr\u00fc\u00dfe"); }, 5000))
        << Shown(*splash);
    splash->Destroy();
}

#include "config/VELTAAppConfig.h"
#include "examples/appserver/DemoServer.h"
#include "host/HostLog.h"
#include "server/ListenerOwner.h"
#include "server/ServerToken.h"
#include "server/VELTAServerController.h"

#include <arpa/inet.h>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ServerToken, UrlSafeTextOfThirtyTwoRandomBytes) {
    const struct {
        std::string bytes, text;
    } cases[] = {{"", ""},
                 {"f", "Zg"},
                 {"fo", "Zm8"},
                 {"foo", "Zm9v"},
                 {"foob", "Zm9vYg"},
                 {"fooba", "Zm9vYmE"},
                 {"foobar", "Zm9vYmFy"},
                 {"\xfb\xff", "-_8"},
                 {std::string(3, '\0'), "AAAA"}};
    for (const auto& c : cases)
        EXPECT_EQ(ServerToken::Encode(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                      c.bytes.size()),
                  c.text);
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        const std::string token = ServerToken::Generate();
        ASSERT_EQ(token.size(), 43u);
        EXPECT_EQ(token.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                          "0123456789-_"),
                  std::string::npos);
        seen.insert(token);
    }
    EXPECT_EQ(seen.size(), 20u) << "a new secret every run";
}

TEST(ServerEnvironment, AssignmentsWithThePlaceholdersPutIn) {
    std::vector<wxString> refused;
    const auto entries = VELTAServerController::EnvironmentEntries(
        wxString::FromUTF8(
            "PORT=VELTA_SERVER_PORT\n  JUPYTER_TOKEN=VELTA_SERVER_TOKEN\r\n\nEMPTY=\n"
            "URL=http://127.0.0.1:VELTA_SERVER_PORT/?a=b\n1BAD=x\nno assignment\nSPACE NAME=x\n"
            "=value\n\xc3\x84RGER=x\n"),
        8470, "s3cret", &refused);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "PORT");
    EXPECT_EQ(entries[0].value, "8470");
    EXPECT_EQ(entries[1].name, "JUPYTER_TOKEN");
    EXPECT_EQ(entries[1].value, "s3cret");
    EXPECT_EQ(entries[2].name, "EMPTY");
    EXPECT_EQ(entries[2].value, "");
    EXPECT_EQ(entries[3].value, "http://127.0.0.1:8470/?a=b") << "only the first '=' splits";
    EXPECT_EQ(refused.size(), 5u);
    for (const wxString& line : refused)
        EXPECT_FALSE(line.Contains("s3cret"));
}

TEST(HostLog, NoLineShowsTheSecret) {
    HostLog::HideSecret("Tok3n-_x");
    const wxString line = HostLog::FormatLine(
        wxLOG_Message, "FilterUrl http://127.0.0.1:1/?token=Tok3n-_x&b=Tok3n-_x", 0);
    EXPECT_FALSE(line.Contains("Tok3n")) << line;
    EXPECT_TRUE(line.EndsWith(L"?token=\u2026&b=\u2026")) << line;
    HostLog::HideSecret("");
    EXPECT_TRUE(HostLog::FormatLine(wxLOG_Message, "Tok3n-_x", 0).EndsWith("Tok3n-_x"));
}

TEST(ServerChecks, TheDemoServerAnswersItsHostAlone) {
    using Headers = std::map<std::string, std::string>;
    const std::string token = "right-secret";
    const Headers mine = {{"host", "127.0.0.1:8470"},
                          {"cookie", "a=b; VELTA_SERVER_TOKEN=right-secret"}};
    const struct {
        std::string method;
        Headers headers;
        int refusal;
        const char* what;
    } cases[] = {
        {"GET", mine, 0, "the host's own request"},
        {"GET",
         {{"host", "localhost:8470"}, {"authorization", "Bearer right-secret"}},
         0,
         "a bearer token, localhost"},
        {"GET", {{"host", "127.0.0.1:8470"}}, 401, "no secret (another user, another browser)"},
        {"GET",
         {{"host", "127.0.0.1:8470"}, {"cookie", "VELTA_SERVER_TOKEN=right-secreT"}},
         401,
         "a wrong secret"},
        {"GET",
         {{"host", "127.0.0.1:8470"}, {"cookie", "VELTA_SERVER_TOKEN=right-secret-longer"}},
         401,
         "a longer one"},
        {"GET",
         {{"host", "127.0.0.1:8470"}, {"cookie", "VELTA_SERVER_TOKEN="}},
         401,
         "an empty one"},
        {"GET",
         {{"host", "rebind.example:8470"}, {"cookie", "VELTA_SERVER_TOKEN=right-secret"}},
         403,
         "DNS rebinding: another name"},
        {"GET",
         {{"host", "127.0.0.1:8471"}, {"cookie", "VELTA_SERVER_TOKEN=right-secret"}},
         403,
         "another port"},
        {"GET", {{"cookie", "VELTA_SERVER_TOKEN=right-secret"}}, 403, "no Host at all"},
        {"POST",
         {{"host", "127.0.0.1:8470"},
          {"cookie", "VELTA_SERVER_TOKEN=right-secret"},
          {"origin", "http://evil.example"}},
         403,
         "a foreign page's form"},
        {"POST",
         {{"host", "127.0.0.1:8470"},
          {"cookie", "VELTA_SERVER_TOKEN=right-secret"},
          {"origin", "http://127.0.0.1:8470"}},
         0,
         "the application's own fetch"},
        {"POST", mine, 0, "a POST without an Origin (the host's own)"},
        {"GET",
         {{"host", "127.0.0.1:8470"},
          {"cookie", "VELTA_SERVER_TOKEN=right-secret"},
          {"upgrade", "websocket"},
          {"origin", "http://127.0.0.2:8470"}},
         403,
         "a WebSocket from another origin"},
        {"POST",
         {{"host", "127.0.0.1:8470"}, {"origin", "http://evil.example"}},
         401,
         "without the secret, 401 first"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DemoServer::Refusal(c.method, c.headers, token, 8470), c.refusal) << c.what;
    EXPECT_EQ(DemoServer::Refusal("GET", {}, "", 8470), 0) << "started by hand: nothing checked";
    EXPECT_TRUE(DemoServer::SameSecret("abc", "abc"));
    EXPECT_FALSE(DemoServer::SameSecret("", ""));
    EXPECT_FALSE(DemoServer::SameSecret("abc", "abd"));
    EXPECT_FALSE(DemoServer::SameSecret("ab", "abc"));
}

TEST(ListenerOwner, TheListeningSocketsOfAPortFromTheKernelsTable) {
    const std::string table =
        "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
        "timeout inode\n"
        "   0: 0100007F:2116 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        "
        "0 51234 1 0000000000000000 100 0 0 10 0\n"
        "   1: 0200007F:2116 00000000:0000 0A 00000000:00000000 00:00000000 00000000    65        "
        "0 51300 1 0000000000000000 100 0 0 10 0\n"
        "   2: 0100007F:2116 0100007F:D31C 01 00000000:00000000 00:00000000 00000000  1000        "
        "0 51400 1 0000000000000000 20 4 30 10 -1\n"
        "   3: 0100007F:2117 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        "
        "0 51500 1 0000000000000000 100 0 0 10 0\n"
        "garbage\n";
    EXPECT_EQ(ListenerOwner::ListeningInodes(table, 8470), (std::set<unsigned long>{51234, 51300}))
        << "listening (0A) on 8470 at any address; not a connection, not another port";
    EXPECT_TRUE(ListenerOwner::ListeningInodes(table, 80).empty());
    EXPECT_EQ(ListenerOwner::SocketInode("socket:[51234]"), 51234u);
    EXPECT_EQ(ListenerOwner::SocketInode("pipe:[51234]"), 0u);
    EXPECT_EQ(ListenerOwner::SocketInode("/dev/null"), 0u);
}

TEST(ListenerOwner, ASocketOfAnotherProgramIsForeign) {
    // A "server" of its own group that listens on nothing, started before the
    // socket exists, so that it holds none of it.
    const pid_t server = fork();
    if (server == 0) {
        setpgid(0, 0);
        pause();
        _exit(0);
    }
    setpgid(server, server);
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(fd, 1), 0);
    socklen_t length = sizeof(address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
    EXPECT_EQ(ListenerOwner::Of(port, server), ListenerOwner::Verdict::Foreign);
    EXPECT_EQ(ListenerOwner::Of(port, getpgrp()), ListenerOwner::Verdict::Server)
        << "the group that holds the socket";
    close(fd);
    EXPECT_EQ(ListenerOwner::Of(port, server), ListenerOwner::Verdict::NoListener);
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
}

#include "navigation/NavigationPolicy.h"
#include "navigation/OpenRequest.h"
#include "navigation/UrlClassifier.h"
#include "navigation/WebUrl.h"

#include <gtest/gtest.h>

namespace {
struct HostCase {
    const char* url;
    const char* host;
    int port;
};

struct ExternalCase {
    const char* url;
    const char* start;
    bool external;
    const char* why;
};
} // namespace

TEST(WebUrlParts, HostAndPortAsABrowserReadsThem) {
    const HostCase cases[] = {
        {"http://localhost:8080/app/", "localhost", 8080},
        {"http://LOCALHOST/", "localhost", 80},
        {"https://Example.ORG./x", "example.org", 443},
        {"http://user:pw@other-host/page", "other-host", 80},
        {"http://localhost:8080:x@other-host:81/", "other-host", 81},
        {"http://[::1]:8080/", "[::1]", 8080},
        {"http://[::1]/", "[::1]", 80},
        {"http://%6Cocalhost/", "localhost", 80},
        {"http:\\\\other\\path", "other", 80},
        {"http://host:/", "host", 80},
        {"http://host:99999/", "host", -1},
        {"http://host:+80/", "host", -1},
        {"http://host/a:b@c?d=http://x:1/", "host", 80},
    };
    for (const HostCase& c : cases) {
        const WebUrl url(c.url);
        EXPECT_TRUE(url.IsWeb()) << c.url;
        EXPECT_EQ(url.Host(), c.host) << c.url;
        EXPECT_EQ(url.Port(), c.port) << c.url;
    }
    for (const char* notWeb :
         {"mailto:a@b", "http://", "http://[::1/", "velta:quit", "", "file:///x"})
        EXPECT_FALSE(WebUrl(notWeb).IsWeb()) << notWeb;
    EXPECT_EQ(WebUrl::SchemeOf(" MailTo:x"), "mailto");
    EXPECT_EQ(WebUrl::SchemeOf("/relative:path"), "");
    EXPECT_EQ(WebUrl::SchemeOf("1http://x"), "");
}

TEST(UrlRules, ExternalMeansAnotherHost) {
    const ExternalCase cases[] = {
        {"http://other-host/", "http://localhost/app/", true, "both without a port"},
        {"http://localhost:8080:x@other-host/page", "http://localhost:8080/", true,
         "user information is no host"},
        {"http://localhost:8080/page?time=12:30", "http://localhost:8080/", false,
         "a colon in the query"},
        {"http://localhost:8080/a/http://other:1/", "http://localhost:8080/", false,
         "another host's name in the path"},
        {"http://localhost:9999/x", "http://localhost:8080/", false, "same host, any port"},
        {"https://localhost/x", "http://localhost:8080/", false, "same host, other scheme"},
        {"http://LOCALHOST./x", "http://localhost:8080/", false, "case and trailing dot"},
        {"http://%6c%6fcalhost/x", "http://localhost/", false, "percent-encoded host"},
        {"http://[::1]:8080/x", "http://[::1]:8080/", false, "IPv6 literal"},
        {"http://[::2]:8080/x", "http://[::1]:8080/", true, "another IPv6 literal"},
        {"http://127.0.0.1:8080/", "http://localhost:8080/", true, "hosts compare as written"},
        {"http://example.org/x", "http://localhost:8080/", true, "plainly elsewhere"},
        {"http:///nohost", "http://localhost:8080/", true, "no readable host"},
        {"http://example.org/", "file:///opt/app/index.html", true, "a file start page"},
    };
    for (const ExternalCase& c : cases)
        EXPECT_EQ(UrlClassifier::DiffersFromStart(c.url, c.start), c.external)
            << c.why << ": " << c.url;
}

TEST(UrlRules, WhatIsHandedToTheDesktopIsOneHarmlessArgument) {
    EXPECT_EQ(UrlClassifier::ForDesktop("mailto:a@b.c?subject=Hi there"),
              "mailto:a@b.c?subject=Hi%20there");
    EXPECT_EQ(UrlClassifier::ForDesktop("https://x/?q=\"a\"'b'`c`"),
              "https://x/?q=%22a%22%27b%27%60c%60");
    EXPECT_EQ(UrlClassifier::ForDesktop("tel:1;$(rm -rf ~)\n--help"),
              "tel:1;$(rm%20-rf%20~)%0A--help")
        << "no shell ever sees it; white space cannot split it";
    EXPECT_EQ(UrlClassifier::ForDesktop(wxString::FromUTF8("mailto:m\xc3\xbcller@x.de")),
              "mailto:m%C3%BCller@x.de");
    EXPECT_EQ(UrlClassifier::ForDesktop("--version"), "") << "never read as an option";
    EXPECT_EQ(UrlClassifier::ForDesktop("-mailto:x"), "");
    EXPECT_EQ(UrlClassifier::ForDesktop("no scheme at all"), "");
}

namespace {
using Frame = NavigationRequest::Frame;
using Action = NavigationPolicy::Action;

struct PolicyCase {
    const char* url;
    Frame frame;
    bool later;
    bool gesture;
    const char* page;
    Action expected;
    const char* why;
};
} // namespace

TEST(NavigationPolicyRules, WhoMayCommandAndWhatGoesOutside) {
    NavigationPolicy::Settings settings;
    settings.startUrl = "http://localhost:8470/";
    settings.commandPrefix = "velta:";
    settings.relativeExternalUrls = "docs/";
    const char* app = "http://localhost:8470/index.html";
    const PolicyCase cases[] = {
        {"velta:quit", Frame::Main, false, false, app, Action::Command, "the application's page"},
        {"velta:quit", Frame::Unknown, true, true, app, Action::DecideWithFrame,
         "a click, but the frame is still unknown"},
        {"velta:quit", Frame::Sub, false, false, app, Action::Refuse, "a frame inside the page"},
        {"velta:quit", Frame::Main, false, false, "http://evil.example/", Action::Refuse,
         "another host's page"},
        {"velta:quit", Frame::Main, false, false, "", Action::Refuse, "no page at all"},
        {"http://localhost:8470/page?time=12:30", Frame::Unknown, true, false, app, Action::Allow,
         "inside, colon and all"},
        {"http://localhost:8470/docs/x", Frame::Main, false, false, app, Action::OpenOutside,
         "a path named external"},
        {"http://other/", Frame::Unknown, true, true, app, Action::OpenOutside,
         "the user's click goes out at once"},
        {"http://other/", Frame::Unknown, true, false, app, Action::DecideWithFrame,
         "a load nobody clicked waits for its frame"},
        {"http://other/", Frame::Sub, false, false, app, Action::Refuse,
         "an external frame launches nothing"},
        {"http://other/", Frame::Main, false, false, app, Action::OpenOutside, "the page itself"},
        {"mailto:a@b.c", Frame::Main, false, false, app, Action::OpenOutside, "to the desktop"},
        {"mailto:a@b.c", Frame::Sub, false, false, app, Action::Refuse, "not from a frame"},
        {"mailto:a@b.c", Frame::Unknown, true, false, app, Action::DecideWithFrame, "routed"},
        {"foo:bar", Frame::Unknown, false, true, app, Action::OpenOutside, "unrouted, clicked"},
        {"foo:bar", Frame::Unknown, false, false, app, Action::Refuse, "unrouted, not clicked"},
        {"about:blank", Frame::Sub, false, false, app, Action::Allow, "the engine shows it"},
        {"data:text/html,x", Frame::Sub, false, false, app, Action::Allow, "the engine shows it"},
        {"javascript:void(0)", Frame::Main, false, false, app, Action::Allow, "a script"},
    };
    for (const PolicyCase& c : cases) {
        NavigationRequest request;
        request.url = c.url;
        request.frame = c.frame;
        request.frameLater = c.later;
        request.userGesture = c.gesture;
        request.pageUrl = c.page;
        EXPECT_EQ(NavigationPolicy::Decide(request, settings).action, c.expected)
            << c.why << ": " << c.url;
    }

    NavigationRequest command;
    command.url = "velta:quit";
    command.frame = Frame::Sub;
    command.pageUrl = app;
    EXPECT_TRUE(NavigationPolicy::Decide(command, settings).warning) << "refused commands warn";

    settings.useExternalBrowser = false;
    NavigationRequest mail;
    mail.url = "mailto:a@b.c";
    mail.frame = Frame::Main;
    EXPECT_EQ(NavigationPolicy::Decide(mail, settings).action, Action::Refuse)
        << "nothing to show inside, and not handed out either";
    NavigationRequest other;
    other.url = "http://other/";
    other.frame = Frame::Main;
    EXPECT_EQ(NavigationPolicy::Decide(other, settings).action, Action::Allow);

    settings.useExternalBrowser = true;
    settings.startUrl = "file:///opt/app/index.html";
    command.frame = Frame::Main;
    command.pageUrl = "file:///opt/app/other.html";
    EXPECT_EQ(NavigationPolicy::Decide(command, settings).action, Action::Command)
        << "a file start page commands from its own files";
}

TEST(NavigationPolicyRules, RoutedSchemesIncludeTheCommandScheme) {
    const wxArrayString routed = NavigationPolicy::RoutedSchemes("velta:");
    EXPECT_NE(routed.Index("mailto"), wxNOT_FOUND);
    EXPECT_NE(routed.Index("velta"), wxNOT_FOUND);
    EXPECT_EQ(NavigationPolicy::RoutedSchemes("http://cmd/").Index("http"), wxNOT_FOUND);
    EXPECT_EQ(NavigationPolicy::RoutedSchemes("").size(), routed.size() - 1);
}

TEST(OpenRequestRules, WhatTheDesktopMayHandTheApplication) {
    const wxArrayString schemes = OpenRequest::SchemeList("Demo-Scheme:, mailto ;x-app");
    ASSERT_EQ(schemes.size(), 3u);
    EXPECT_EQ(schemes[0], "demo-scheme");
    const auto isFile = [](const wxString& path) {
        return path == "/home/u/a b.veltademo" || path == wxString(L"/home/u/ä.txt");
    };
    using Kind = OpenRequest::Kind;
    struct Case {
        const wchar_t* candidate;
        Kind kind;
        const wchar_t* value; // or the start of why
    };
    const Case cases[] = {
        {L"demo-scheme:item/42", Kind::Url, L"demo-scheme:item/42"},
        {L"DEMO-SCHEME://x?y=1", Kind::Url, L"DEMO-SCHEME://x?y=1"},
        {L"mailto:a@b.example", Kind::Url, L"mailto:a@b.example"},
        {L"https://evil.example/", Kind::Ignored, L"scheme 'https' is not one of UrlSchemes"},
        {L"velta:quit", Kind::Ignored, L"scheme 'velta' is not one of UrlSchemes"},
        {L"javascript:alert(1)", Kind::Ignored, L"scheme 'javascript'"},
        {L"/home/u/a b.veltademo", Kind::File, L"/home/u/a b.veltademo"},
        {L"file:///home/u/a%20b.veltademo", Kind::File, L"/home/u/a b.veltademo"},
        {L"file://localhost/home/u/%C3%A4.txt", Kind::File, L"/home/u/ä.txt"},
        {L"file://other/home/u/a%20b.veltademo", Kind::Ignored, L"a file on another machine"},
        {L"/home/u/missing", Kind::Ignored, L"no such file"},
        {L"file:///home/u/missing", Kind::Ignored, L"no such file"},
        {L"--remote-debugging-port=9222", Kind::Ignored, L"not a switch of the host"},
        {L"1demo:x", Kind::Ignored, L"no such file"}, // no scheme: a (missing) path
    };
    for (const Case& c : cases) {
        const OpenRequest::Verdict verdict = OpenRequest::Classify(c.candidate, schemes, isFile);
        EXPECT_EQ(static_cast<int>(verdict.kind), static_cast<int>(c.kind)) << c.candidate;
        if (c.kind == Kind::Ignored)
            EXPECT_TRUE(verdict.why.StartsWith(c.value)) << c.candidate << ": " << verdict.why;
        else
            EXPECT_EQ(verdict.value, wxString(c.value)) << c.candidate;
    }
}

TEST(OpenRequestRules, CandidatesAndTheExpandedAddress) {
    wxArrayString args;
    for (const char* word : {"velta-host", "-d", "demo-scheme:x", "notes/a.txt", "/abs/b",
                             "-no_server", "", "--other"})
        args.push_back(word);
    const std::vector<wxString> candidates = OpenRequest::Candidates(args, "/home/u");
    ASSERT_EQ(candidates.size(), 4u);
    EXPECT_EQ(candidates[0], "demo-scheme:x");
    EXPECT_EQ(candidates[1], "/home/u/notes/a.txt") << "relative to the start's own folder";
    EXPECT_EQ(candidates[2], "/abs/b");
    EXPECT_EQ(candidates[3], "--other") << "kept, so that the log says it was ignored";

    // Everything but the unreserved characters is encoded: the argument can
    // never leave its query value or make the address another one.
    EXPECT_EQ(OpenRequest::Expand("http://localhost:80/open?what=VELTA_OPEN_ARG",
                                  L"demo-scheme:a b&c=d#e/ä"),
              "http://localhost:80/open?what=demo-scheme%3Aa%20b%26c%3Dd%23e%2F%C3%A4");
    EXPECT_EQ(OpenRequest::Expand("/open/VELTA_OPEN_ARG", "../../velta:quit"),
              "/open/..%2F..%2Fvelta%3Aquit");
    EXPECT_EQ(WebUrl::PercentDecoded("a%20b%zz%4"), "a b%zz%4");
}

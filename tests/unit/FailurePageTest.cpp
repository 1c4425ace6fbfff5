#include "browserlib/runtime/engine/FailurePage.h"
#include "browserlib/runtime/engine/PermissionPolicy.h"
#include "browserlib/runtime/engine/PreferredLanguages.h"

#include <gtest/gtest.h>

using Kind = FailurePage::Kind;

TEST(FailurePageWords, EachEngineErrorInAUsersWords) {
    const struct {
        const char* domain;
        int code;
        const char* message;
        Kind expected;
    } cases[] = {
        {"g-io-error-quark", 39, "Could not connect to 127.0.0.1: Connection refused",
         Kind::NoAnswer},
        {"g-io-error-quark", 39, "Could not connect to proxy server 127.0.0.1: Connection refused",
         Kind::Proxy},
        {"g-io-error-quark", 43, "Proxy authentication required", Kind::Proxy},
        {"g-resolver-error-quark", 0, "Error resolving “velta.invalid”: Name or service not known",
         Kind::NoSuchHost},
        {"g-io-error-quark", 24, "Socket I/O timed out", Kind::TimedOut},
        {"WebKitNetworkError", 1, "Connection terminated unexpectedly", Kind::NoAnswer},
        {"g-tls-error-quark", 2, "Unacceptable TLS certificate", Kind::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FailurePage::KindOf(c.domain, c.code, c.message), c.expected) << c.message;
}

TEST(FailurePageWords, InTheInterfaceLanguageAndSafeWithAnyAddress) {
    EXPECT_EQ(FailurePage::Title(Kind::NoAnswer, "de"), "Die Anwendung antwortet nicht");
    EXPECT_EQ(FailurePage::Title(Kind::NoAnswer, "DE-at"), "Die Anwendung antwortet nicht");
    EXPECT_EQ(FailurePage::Title(Kind::NoAnswer, ""), "The application does not answer");
    EXPECT_EQ(FailurePage::Title(Kind::Proxy, "en"), "A proxy is in the way");

    const std::string hostile = "http://h/\"</script><script>alert(1)</script>'";
    const std::string html = FailurePage::Html(Kind::Other, hostile, "<b>reason</b>", "en");
    EXPECT_EQ(html.find("<script>alert"), std::string::npos) << "the address stays text";
    EXPECT_EQ(html.find("<b>reason"), std::string::npos) << "the reason stays text";
    EXPECT_NE(html.find("\\u003c/script\\u003e"), std::string::npos) << "and the script's string";
    EXPECT_NE(html.find("Try again"), std::string::npos);
    EXPECT_NE(FailurePage::Html(Kind::Other, "http://h/", "", "de").find("Erneut versuchen"),
              std::string::npos);
}

TEST(PreferredLanguagesRules, TheInterfaceLanguageFirstThenTheDesktops) {
    using List = std::vector<std::string>;
    const List german = {"de_DE.UTF-8", "de_DE", "de.UTF-8", "de", "C"};
    EXPECT_EQ(PreferredLanguages::For("de", {"C"}), List({"de"}));
    EXPECT_EQ(PreferredLanguages::For("DE", german), List({"de", "de-DE"}));
    EXPECT_EQ(PreferredLanguages::For("en", german), List({"en", "de-DE", "de"}));
    EXPECT_EQ(PreferredLanguages::For("en_us", {"en_US.UTF-8", "en_US", "en"}),
              List({"en-US", "en"}));
    EXPECT_EQ(PreferredLanguages::For("", {"fr_CA.UTF-8@euro", "POSIX"}), List({"fr-CA"}));
    // Nothing known: the engine keeps its own choice.
    EXPECT_TRUE(PreferredLanguages::For("", {"C", "POSIX"}).empty());
    // What is no language tag never reaches a request header.
    EXPECT_EQ(PreferredLanguages::For("de\r\nX-Evil: 1", {"de"}), List({"de"}));
}

TEST(PermissionPolicyRules, OnlyTheApplicationAndAsTheConfigurationSays) {
    using PermissionPolicy::Verdict;
    PermissionSettings settings;
    settings.applicationOrigin = "http://localhost:8470";
    settings.kinds["geolocation"] = PermissionSettings::Answer::Allow;
    settings.kinds["camera"] = PermissionSettings::Answer::Ask;
    PermissionPolicy::Answers answers =
        PermissionPolicy::Parse("allow http://localhost:8470 camera\n"
                                "deny HTTP://LOCALHOST:8470 notifications\n"
                                "maybe http://localhost:8470 microphone\n"
                                "allow http://evil.example notifications\n");
    struct Case {
        const char* kind;
        const char* origin;
        Verdict verdict;
        const char* why;
    };
    const Case cases[] = {
        {"notifications", "http://localhost:8470", Verdict::Deny, "the user refused it before"},
        {"notifications", "http://localhost:9999", Verdict::Deny, "not the application's origin"},
        {"notifications", "http://evil.example", Verdict::Deny, "not the application's origin"},
        {"notifications", "", Verdict::Deny, "not the application's origin"},
        {"geolocation", "http://LocalHost:8470", Verdict::Allow, "allowed by the configuration"},
        {"camera", "http://localhost:8470", Verdict::Allow, "the user allowed it before"},
        {"microphone", "http://localhost:8470", Verdict::Deny, "denied by the configuration"},
        {"clipboard", "http://localhost:8470", Verdict::Deny, "denied by the configuration"},
    };
    for (const Case& c : cases) {
        const PermissionPolicy::Decision d =
            PermissionPolicy::Decide(c.kind, c.origin, settings, answers);
        EXPECT_EQ(static_cast<int>(d.verdict), static_cast<int>(c.verdict)) << c.kind << c.origin;
        EXPECT_EQ(d.why, c.why) << c.kind << " " << c.origin;
    }
    // Nothing kept yet: notifications are asked about by default.
    EXPECT_EQ(
        PermissionPolicy::Decide("notifications", "http://localhost:8470", settings, {}).verdict,
        Verdict::Ask);
    // Only well-formed lines are kept, and they come back as they went.
    EXPECT_EQ(answers.size(), 3u);
    EXPECT_EQ(PermissionPolicy::Parse(PermissionPolicy::Format(answers)), answers);
}

TEST(PermissionPolicyRules, QuestionsNameTheApplicationAndOriginsAreComparable) {
    EXPECT_EQ(PermissionPolicy::Question("notifications", "Velta Demo", "en"),
              "Velta Demo wants to show you notifications. Allow?");
    EXPECT_EQ(PermissionPolicy::Question("geolocation", "Velta Demo", "DE"),
              "Velta Demo möchte Ihren Standort erfahren. Erlauben?");
    EXPECT_EQ(PermissionPolicy::Question("x-new", "", "en"),
              "The application asks for a permission (x-new). Allow?");
    EXPECT_EQ(PermissionPolicy::AllowLabel("de"), "&Erlauben");
    EXPECT_EQ(PermissionPolicy::DenyLabel("en"), "&Block");
    EXPECT_EQ(PermissionPolicy::OriginOf("HTTP://user@LocalHost:8470/a/b?c#d"),
              "http://localhost:8470");
    EXPECT_EQ(PermissionPolicy::OriginOf("http://[::1]:80"), "http://[::1]:80");
    EXPECT_EQ(PermissionPolicy::OriginOf("about:blank"), "");
    EXPECT_EQ(PermissionPolicy::OriginOf("file:///x"), "");
}

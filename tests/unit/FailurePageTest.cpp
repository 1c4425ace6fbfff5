#include "browserlib/runtime/engine/FailurePage.h"
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

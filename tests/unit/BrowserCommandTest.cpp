#include "platform/BrowserCommand.h"
#include "platform/ProgramPath.h"
#include "tests/unit/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
std::vector<std::vector<std::string>> Plain(const std::vector<wxArrayString>& commands) {
    std::vector<std::vector<std::string>> out;
    for (const wxArrayString& c : commands) {
        out.emplace_back();
        for (const wxString& w : c)
            out.back().push_back(w.utf8_string());
    }
    return out;
}
using Commands = std::vector<std::vector<std::string>>;
} // namespace

TEST(BrowserCommand, FollowsTheBrowserVariableConvention) {
    const wxString url = "http://x/a?b=1&c=%20";
    const std::string u = url.utf8_string();
    struct Case {
        const char* variable;
        Commands expected;
    };
    for (const Case& c : std::vector<Case>{
             {"", {{"xdg-open", u}}},
             {":::", {{"xdg-open", u}}},
             {"firefox", {{"firefox", u}}},
             {"firefox --new-window", {{"firefox", "--new-window", u}}},
             {"prog %s", {{"prog", u}}},
             {"prog --url=%s --x", {{"prog", "--url=" + u, "--x"}}},
             {"prog 100%% %s", {{"prog", "100%", u}}},
             {"missing:/usr/bin/other %s", {{"missing", u}, {"/usr/bin/other", u}}},
             {"'/opt/My Browser/run' -n", {{"/opt/My Browser/run", "-n", u}}},
             {"prog $(rm -rf ~);", {{"prog", "$(rm", "-rf", "~);", u}}},
         })
        EXPECT_EQ(Plain(BrowserCommand::Candidates(c.variable, url)), c.expected) << c.variable;

    // Whatever the URL holds stays one argument.
    const wxString odd = "http://x/'; rm -rf ~ ; echo \"$(id)\"\n -";
    EXPECT_EQ(Plain(BrowserCommand::Candidates("a %s", odd)), (Commands{{"a", odd.utf8_string()}}));
}

TEST(ProgramPath, FindsProgramsAsExecWould) {
    TempDir dir;
    dir.Write("tool", "#!/bin/sh\n");
    dir.Write("plain", "not executable");
    chmod(dir.File("tool").c_str(), 0755);
    const wxString path = "/nonexistent:" + wxString(dir.path());
    EXPECT_EQ(ProgramPath::Find("tool", path), wxString(dir.File("tool")));
    EXPECT_EQ(ProgramPath::Find("plain", path), "");
    EXPECT_EQ(ProgramPath::Find("tool", "/nonexistent"), "");
    EXPECT_EQ(ProgramPath::Find(dir.File("tool"), ""), wxString(dir.File("tool")));
    EXPECT_EQ(ProgramPath::Find(dir.path(), path), "") << "a folder is no program";
    EXPECT_EQ(ProgramPath::Find("", path), "");
}

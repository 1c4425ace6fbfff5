#include "server/Watchdog.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(WatchdogRules, WhatTheHostSaysIsWhatItUndoes) {
    Watchdog::State state;
    for (const char* line :
         {"group 4711", "group 4712", "group 4711", "ended 4712", "group 1", "group 0", "group -5",
          "group x", "ended", "display 1280 1024", "display 0 768", "nonsense 7", ""})
        Watchdog::Apply(line, state);
    EXPECT_EQ(state.groups, std::vector<pid_t>{4711}) << "each group once, pid 1 never";
    EXPECT_EQ(state.displayWidth, 1280);
    EXPECT_EQ(state.displayHeight, 1024);
    EXPECT_FALSE(state.done);
    Watchdog::Apply("display-restored", state);
    EXPECT_EQ(state.displayWidth, 0) << "nothing to put back";
    Watchdog::Apply("done", state);
    EXPECT_TRUE(state.done);
}

TEST(WatchdogProgram, BesideTheHostThenLibexecThenTheHostItself) {
    char base[] = "/tmp/velta-watchdog-test-XXXXXX";
    ASSERT_NE(mkdtemp(base), nullptr);
    const std::string dir = base;
    const std::string bin = dir + "/bin", libexec = dir + "/libexec/velta-host";
    ASSERT_EQ(system(("mkdir -p " + bin + " " + libexec).c_str()), 0);
    const std::string host = bin + "/velta-host";
    EXPECT_EQ(Watchdog::ProgramFor(host), host);
    const std::string installed = libexec + "/velta-watchdog";
    ASSERT_EQ(system(("touch " + installed + " && chmod +x " + installed).c_str()), 0);
    EXPECT_EQ(Watchdog::ProgramFor(host), bin + "/../libexec/velta-host/velta-watchdog");
    const std::string beside = bin + "/velta-watchdog";
    ASSERT_EQ(system(("touch " + beside).c_str()), 0);
    EXPECT_EQ(Watchdog::ProgramFor(host), bin + "/../libexec/velta-host/velta-watchdog")
        << "a file that cannot run is passed over";
    ASSERT_EQ(system(("chmod +x " + beside).c_str()), 0);
    EXPECT_EQ(Watchdog::ProgramFor(host), beside);
    ASSERT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

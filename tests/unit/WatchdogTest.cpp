#include "Watchdog.h"

#include <gtest/gtest.h>

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

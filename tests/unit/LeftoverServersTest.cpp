#include "server/LeftoverServers.h"

#include <gtest/gtest.h>

TEST(LeftoverServerRules, WhichGroupsAnEarlierRunLeft) {
    using P = LeftoverServers::Process;
    const std::string app = "/opt/acme/app";
    const std::vector<P> table = {
        {100, 100, app, false},         // this host
        {101, 100, app, true},          // something in its own group
        {200, 200, app, true},          // an earlier run's server: the folder and the port
        {201, 200, "/tmp", false},      // its helper, in its group
        {300, 300, app, false},         // in the folder, but no server of ours
        {400, 400, "/opt/other", true}, // another installation's server
        {500, 500, "/srv/x", false},    // the group the earlier run recorded
        {600, 1, app, true},            // init's group: never
    };
    EXPECT_EQ(LeftoverServers::Pick(table, app, 500, 100), (std::set<pid_t>{200, 500}));
    EXPECT_EQ(LeftoverServers::Pick(table, app, 0, 100), (std::set<pid_t>{200}));
    EXPECT_EQ(LeftoverServers::Pick(table, app, 100, 100), (std::set<pid_t>{200}))
        << "its own group, even when recorded, never";
    EXPECT_TRUE(LeftoverServers::Pick(table, "", 0, 100).empty());
}

TEST(LeftoverServerRules, TheServerTreeIsFoundByItsMarkWhateverItsGroup) {
    using P = LeftoverServers::Process;
    const std::vector<P> table = {
        {100, 100, "/", false, 0},  // the host
        {200, 200, "/", true, 100}, // its server
        {300, 300, "/", true, 100}, // a grandchild that called setsid
        {400, 400, "/", true, 999}, // another host's server
        {1, 1, "/", true, 100},     // never init
    };
    EXPECT_EQ(LeftoverServers::TreeOf(table, 100), (std::vector<pid_t>{200, 300}));
    EXPECT_TRUE(LeftoverServers::TreeOf(table, 1).empty());
}

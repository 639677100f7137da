// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/ConnectedMachines.h"

#include "fakes/FakeNetworkConnections.h"

#include <gtest/gtest.h>

namespace lantrivex::discovery {
namespace {

using Strings = std::vector<std::string>;

struct EnumTest : ::testing::Test {
    ConnectedMachines run() {
        ConnectedMachines m{{"stale"}, {"stale"}, {"stale"}, false};
        EnumConnectedDrives(net, m);
        return m;
    }
    fakes::FakeNetworkConnections net;
};

TEST_F(EnumTest, NoOrFailedEnumerationLeavesThisComputerAloneAfterOneRequest) {
    for (std::int32_t failure : {platform::kNetOk, std::int32_t{1222}}) { // 1222: no network
        net.failWith = failure;
        const auto m = run();
        EXPECT_EQ(m.lstServeurs, Strings{"WORKSTATION"});
        EXPECT_EQ(m.lstConnections, Strings{""});
        EXPECT_TRUE(m.lstDrives.empty());
        EXPECT_TRUE(m.isThisComputer(0));
        net.add("F:", R"(\\NTSRV\public)");
    }
    EXPECT_EQ(net.requests, (std::vector<std::size_t>{1024, 1024}));
}

TEST_F(EnumTest, ConnectionsOfOneMachineAreJoinedAndNamesCompareExactly) {
    net.add("f:", R"(\\NTSRV\public)");
    net.add("", R"(\\NTSRV\apps)");
    net.add("", R"(\\ntsrv\other)");
    net.add("G:", R"(\\NTSRV\mac\sub)");
    net.add("", R"(\\WORKSTATION\share)");
    net.add("lpt1:", R"(\\ntsrv\laser)");
    for (const char* remote : {R"(\\NTSRV)", "", R"(C:\local)", R"(\NTSRV\x)"}) {
        net.add("H:", remote); // no share: ignored
    }
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, (Strings{"WORKSTATION", "NTSRV", "ntsrv"}));
    EXPECT_EQ(m.lstConnections, (Strings{R"(; \share)", R"(\public (F:); \apps; \mac\sub (G:))",
                                         R"(\other; \laser (LPT1:))"}));
    EXPECT_EQ(m.lstDrives,
              (Strings{"F:\tNTSRV\\public", "G:\tNTSRV\\mac\\sub", "LPT1:\tntsrv\\laser"}));
}

TEST_F(EnumTest, ComputerNameIsTrimmedAndMayBeMissingAndMountPointsKeepTheirCase) {
    net.name = std::string("  HOST\0", 7);
    EXPECT_EQ(run().lstServeurs, Strings{"HOST"});
    // Only a name longer than one character, after trimming, is this computer's.
    const std::pair<std::string, Strings> names[] = {
        {"A", {}}, {" A ", {}}, {std::string("A\0", 2), {"A"}}, {"AB", {"AB"}}};
    for (const auto& [name, listed] : names) {
        net.name = name;
        EXPECT_EQ(run().lstServeurs, listed) << name;
    }
    net.name.reset();
    net.mountPoints = true; // mount points keep their case
    net.add("/mnt/ntsrv-d", R"(\\NTSRV\D$)");
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, Strings{"NTSRV"});
    EXPECT_FALSE(m.isThisComputer(0)); // the first machine is then a remote one
    EXPECT_EQ(m.lstDrives, Strings{"/mnt/ntsrv-d\tNTSRV\\D$"});
    EXPECT_EQ(m.lstConnections[0], R"(\D$ (/mnt/ntsrv-d))");
}

} // namespace
} // namespace lantrivex::discovery

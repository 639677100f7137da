#include "discovery/ConnectedMachines.h"

#include "fakes/FakeNetworkConnections.h"

#include <gtest/gtest.h>

namespace lantrivex::discovery {
namespace {

using Strings = std::vector<std::string>;
using namespace std::string_literals;

class EnumTest : public ::testing::Test {
protected:
    ConnectedMachines run() {
        ConnectedMachines m;
        m.lstServeurs = {"stale"};
        m.lstConnections = {"stale"};
        m.lstDrives = {"stale"};
        EnumConnectedDrives(net, m);
        return m;
    }
    fakes::FakeNetworkConnections net;
};

TEST_F(EnumTest, NoConnectionLeavesThisComputerAlone) {
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, Strings{"WORKSTATION"});
    EXPECT_EQ(m.lstConnections, Strings{""});
    EXPECT_TRUE(m.lstDrives.empty());
    EXPECT_TRUE(m.isThisComputer(0));
    EXPECT_EQ(net.requests, std::vector<std::size_t>{1024});
}

TEST_F(EnumTest, ConnectionsOfOneMachineAreJoined) {
    net.add("f:", R"(\\NTSRV\public)");
    net.add("", R"(\\NTSRV\apps)");
    net.add("G:", R"(\\NTSRV\mac\sub)");
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, (Strings{"WORKSTATION", "NTSRV"}));
    EXPECT_EQ(m.lstConnections, (Strings{"", R"(\public (F:); \apps; \mac\sub (G:))"}));
    EXPECT_EQ(m.lstDrives, (Strings{"F:\tNTSRV\\public", "G:\tNTSRV\\mac\\sub"}));
}

TEST_F(EnumTest, MachineNamesCompareExactly) {
    net.add("", R"(\\ntsrv\public)");
    net.add("", R"(\\NTSRV\apps)");
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, (Strings{"WORKSTATION", "ntsrv", "NTSRV"}));
    EXPECT_EQ(m.lstConnections, (Strings{"", R"(\public)", R"(\apps)"}));
}

TEST_F(EnumTest, RemoteNamesWithoutShareAreIgnored) {
    net.add("H:", R"(\\NTSRV)");
    net.add("I:", "");
    net.add("J:", R"(C:\local)");
    net.add("K:", R"(\NTSRV\x)");
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, Strings{"WORKSTATION"});
    EXPECT_TRUE(m.lstDrives.empty());
}

TEST_F(EnumTest, ConnectionToThisComputerAndPrinters) {
    net.add("", R"(\\WORKSTATION\share)");
    net.add("lpt1:", R"(\\ntsrv\laser)");
    const auto m = run();
    EXPECT_EQ(m.lstConnections[0], R"(; \share)");
    EXPECT_EQ(m.lstServeurs, (Strings{"WORKSTATION", "ntsrv"}));
    EXPECT_EQ(m.lstConnections[1], R"(\laser (LPT1:))");
    EXPECT_EQ(m.lstDrives, Strings{"LPT1:\tntsrv\\laser"});
}

TEST_F(EnumTest, ComputerNameIsTrimmedAndMayBeMissing) {
    net.name = "  HOST\0"s;
    EXPECT_EQ(run().lstServeurs, Strings{"HOST"});
    // A one-character name is still this computer.
    net.name = "A";
    EXPECT_EQ(run().lstServeurs, Strings{"A"});

    net.name.reset();
    net.add("", R"(\\NTSRV\apps)");
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, Strings{"NTSRV"});
    // The first machine is then a remote one, not this computer.
    EXPECT_FALSE(m.isThisComputer(0));
}

TEST_F(EnumTest, FailedEnumerationKeepsThisComputer) {
    net.add("F:", R"(\\NTSRV\public)");
    net.failWith = 1222; // ERROR_NO_NETWORK
    const auto m = run();
    EXPECT_EQ(m.lstServeurs, Strings{"WORKSTATION"});
    EXPECT_EQ(m.lstConnections, Strings{""});
    EXPECT_TRUE(m.lstDrives.empty());
}

TEST_F(EnumTest, OneRequestOnly) {
    for (int i = 0; i < 1100; ++i) {
        net.add("", R"(\\S)" + std::to_string(i) + R"(\x)");
    }
    const auto m = run();
    EXPECT_EQ(m.lstServeurs.size(), 1025u);
    EXPECT_EQ(net.requests.size(), 1u);
}

TEST_F(EnumTest, MountPointsKeepTheirCase) {
    net.mountPoints = true;
    net.add("/mnt/ntsrv-d", R"(\\NTSRV\D$)");
    const auto m = run();
    EXPECT_EQ(m.lstDrives, Strings{"/mnt/ntsrv-d\tNTSRV\\D$"});
    EXPECT_EQ(m.lstConnections[1], R"(\D$ (/mnt/ntsrv-d))");
}

} // namespace
} // namespace lantrivex::discovery

#include "shell/CatalogueSession.h"

#include "fakes/FakeFolderProbe.h"
#include "fakes/FakeNetworkConnections.h"
#include "fakes/FakeProfileFile.h"
#include "fakes/FakeRegistry.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kCyan = R"(SOFTWARE\cyan\MacServerIP)";

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        net.add("F:", R"(\\NTSRV\public)");
        reg.setString("NTSRV", kMacFile, "ServerName", "SFM");
        reg.setString("NTSRV", kCyan, "ServerName", "Cyan");
    }
    std::string serverText() const {
        const auto& nodes = session.catalogue().nodes;
        return nodes.size() > 2 ? nodes[2].text : "";
    }

    fakes::FakeRegistry reg{"WORKSTATION"};
    fakes::FakeNetworkConnections net;
    fakes::FakeFolderProbe folders;
    fakes::FakeProfileFile profiles;
    CatalogueSession session{reg, net, folders, 5};
};

TEST_F(SessionTest, StatusTexts) {
    EXPECT_EQ(StatusLoadingSignatures(kEnglish), "Loading signatures...");
    EXPECT_EQ(StatusLoadingSignatures(kFrench), "Chargement des signatures...");
    EXPECT_EQ(StatusLookingServers(kEnglish), "Looking NT servers...");
    EXPECT_EQ(StatusLookingServers(kFrench), "Recherche des serveurs NT...");
    EXPECT_EQ(StatusLookingVolumes(kEnglish), "Looking Macintosh volumes...");
    EXPECT_EQ(StatusLookingVolumes(kFrench), "Recherche des volumes Macintosh...");
}

TEST_F(SessionTest, ProductChangeRebuildsFromTheLastEnumeration) {
    session.EnumConnectedDrives();
    session.MajTreeCatalogue();
    EXPECT_EQ(serverText(), "SFM"); // code 5 reads the MacFile locations

    // A connection made since is not seen: no new enumeration.
    net.add("G:", R"(\\OTHER\x)");
    ASSERT_TRUE(session.ChooseProduct(1, profiles, "/p/Lantrivex.ini"));
    session.MajTreeCatalogue();
    EXPECT_EQ(serverText(), "Cyan");
    EXPECT_EQ(session.machines().lstServeurs.size(), 2u);
    ASSERT_EQ(profiles.writes.size(), 1u);
    EXPECT_EQ(profiles.writes[0].value, "1");
    EXPECT_EQ(profiles.writes[0].key, "ServeurMac");
    EXPECT_EQ(profiles.writes[0].section, "Configuration");

    // The product already chosen: nothing written, nothing to rebuild.
    EXPECT_FALSE(session.ChooseProduct(1, profiles, "/p/Lantrivex.ini"));
    EXPECT_EQ(profiles.writes.size(), 1u);
}

TEST_F(SessionTest, CodeReadAsFiveCountsAsAChangeToZero) {
    // The settings said 5 (acting as 0): choosing MacFile writes "0" and rebuilds.
    EXPECT_TRUE(session.ChooseProduct(0, profiles, "/p/Lantrivex.ini"));
    ASSERT_EQ(profiles.writes.size(), 1u);
    EXPECT_EQ(profiles.writes[0].value, "0");
}

TEST_F(SessionTest, EveryRebuildAsksTheMachinesAgain) {
    session.EnumConnectedDrives();
    session.MajTreeCatalogue();
    const auto asked = reg.connections.size();
    reg.setString("NTSRV", kMacFile, "ServerName", "Renamed");
    session.MajTreeCatalogue();
    EXPECT_EQ(serverText(), "Renamed");
    EXPECT_GT(reg.connections.size(), asked);
}

} // namespace
} // namespace lantrivex::shell

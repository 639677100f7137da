#include "analysis/CatalogueModel.h"

#include "fakes/FakeFolderProbe.h"
#include "fakes/FakeRegistry.h"

#include <gtest/gtest.h>
#include <set>

namespace lantrivex::analysis {
namespace {

using Strings = std::vector<std::string>;
constexpr const char* kServer = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kVolumes = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

class CatalogueTest : public ::testing::Test {
protected:
    void addMachine(const std::string& name, const std::string& connections) {
        machines.lstServeurs.push_back(name);
        machines.lstConnections.push_back(connections);
    }
    void addVolume(const std::string& machine, const std::string& name, const std::string& path,
                   bool exists = true) {
        reg.setMultiString(machine, kVolumes, name, {"Properties=1", "Path=" + path});
        if (exists) {
            folders.addFolder(discovery::NetworkVolumeRoot(machine, path));
        }
    }
    Catalogue build() { return BuildCatalogue(machines, lookup, folders); }

    fakes::FakeRegistry reg{"WS"};
    discovery::MacServerLookup lookup{reg, discovery::kProductMacFile};
    fakes::FakeFolderProbe folders;
    discovery::ConnectedMachines machines{{"WS"}, {""}, {}, true};
};

TEST_F(CatalogueTest, ThisComputerAloneWithoutProduct) {
    const Catalogue c = build();
    ASSERT_EQ(c.nodes.size(), 1u);
    const CatalogueNode& n = c.nodes[0];
    EXPECT_EQ(n.kind, CatalogueNodeKind::Machine);
    EXPECT_EQ(n.parent, -1);
    EXPECT_EQ(n.key, "WS");
    EXPECT_EQ(n.text, "WS");
    EXPECT_EQ(n.image, kImageMachine);
    EXPECT_EQ(n.tag, "");
    EXPECT_TRUE(n.expanded);
    EXPECT_TRUE(c.panels.empty());
}

TEST_F(CatalogueTest, ServerWithThreeVolumesOneMissing) {
    addMachine("NTSRV", R"(\D$ (F:); \apps)");
    reg.setString("NTSRV", kServer, "ServerName", "Serveur Mac");
    addVolume("NTSRV", "Zeta", R"(D:\Zeta)");
    addVolume("NTSRV", "Alpha", R"(D:\Alpha)", false);
    addVolume("NTSRV", "Mid", R"(D:\Mid)");
    const Catalogue c = build();

    ASSERT_EQ(c.nodes.size(), 6u);
    const CatalogueNode& machine = c.nodes[1];
    EXPECT_EQ(machine.key, R"(NTSRV\D$ (F:); \apps)");
    EXPECT_EQ(machine.tag, R"(\D$ (F:); \apps)");
    const CatalogueNode& server = c.nodes[2];
    EXPECT_EQ(server.kind, CatalogueNodeKind::MacServer);
    EXPECT_EQ(server.parent, 1);
    EXPECT_EQ(server.key, "Serveur Mac (NTSRV)");
    EXPECT_EQ(server.text, "Serveur Mac");
    EXPECT_EQ(server.image, kImageMacServer);
    EXPECT_TRUE(server.expanded);

    // Panels in registry order; the tree shows the volumes sorted by name.
    EXPECT_EQ(c.nodes[3].text, "Zeta");
    EXPECT_EQ(c.nodes[3].image, kImageVolume);
    EXPECT_EQ(c.nodes[3].tag, "1");
    EXPECT_EQ(c.nodes[4].text, "Alpha");
    EXPECT_EQ(c.nodes[4].image, kImageVolumeMissing);
    EXPECT_EQ(c.nodes[4].panel, 2);
    EXPECT_EQ(c.nodes[4].key, R"(\\NTSRV\D$\Alpha)");
    EXPECT_FALSE(c.nodes[4].expanded);
    EXPECT_EQ(c.childrenInTreeOrder(2), (std::vector<std::size_t>{4, 5, 3}));

    ASSERT_EQ(c.panels.size(), 3u);
    EXPECT_EQ(c.panels[0].index, 1);
    EXPECT_EQ(c.panels[0].title, "Serveur Mac - Zeta");
    EXPECT_EQ(c.panels[1].title, "Serveur Mac - Alpha");
    EXPECT_EQ(c.panels[2].volumeRoot, R"(\\NTSRV\D$\Mid)");
    EXPECT_EQ(folders.asked,
              (Strings{R"(\\NTSRV\D$\Zeta)", R"(\\NTSRV\D$\Alpha)", R"(\\NTSRV\D$\Mid)"}));
}

TEST_F(CatalogueTest, PanelsNumberAcrossMachinesAndSkipEmptyEntries) {
    addMachine("A", R"(\x)");
    addMachine("B", R"(\y)");
    addMachine("C", R"(\z)");
    reg.key("A", kServer);
    addVolume("A", "A1", R"(E:\1)");
    reg.setMultiString("A", kVolumes, "NoPath", {"Properties=1"});
    addVolume("A", "A2", R"(E:\2)");
    reg.setUnreachable("B");
    reg.key("C", kServer);
    addVolume("C", "C1", R"(F:\1)");
    const Catalogue c = build();

    Strings texts;
    std::vector<std::int32_t> panels;
    for (const auto& n : c.nodes) {
        texts.push_back(n.text);
        panels.push_back(n.panel);
    }
    // Without "ServerName" the server is named after its machine; B cannot be reached: a leaf.
    EXPECT_EQ(texts, (Strings{"WS", "A", "A", "A1", "A2", "B", "C", "C", "C1"}));
    EXPECT_EQ(panels, (std::vector<std::int32_t>{0, 0, 0, 1, 2, 0, 0, 0, 3}));
    EXPECT_EQ(c.nodes[2].key, "A (A)");
    EXPECT_EQ(c.childrenInTreeOrder(5), std::vector<std::size_t>{});
    EXPECT_EQ(reg.connections, (Strings{"A", "A", "B", "C", "C"}));
}

TEST_F(CatalogueTest, ServerWhoseVolumeListCannotBeReadHasNoChildren) {
    addMachine("NTSRV", "");
    reg.setString("NTSRV", kServer, "ServerName", "Mac");
    const Catalogue c = build();
    ASSERT_EQ(c.nodes.size(), 3u);
    EXPECT_TRUE(c.childrenInTreeOrder(2).empty());
}

TEST_F(CatalogueTest, SameRootTwiceGivesTwoVolumesWithTheirOwnPanels) {
    addMachine("NTSRV", "");
    reg.key("NTSRV", kServer);
    addVolume("NTSRV", "Pub", R"(E:\Pub)");
    addVolume("NTSRV", "Pub bis", R"(E:\Pub)");
    const Catalogue c = build();
    ASSERT_EQ(c.panels.size(), 2u);
    EXPECT_EQ(c.nodes[3].key, c.nodes[4].key);
    EXPECT_EQ(c.nodes[3].panel, 1);
    EXPECT_EQ(c.nodes[4].panel, 2);
}

TEST_F(CatalogueTest, ThisComputerIsAskedLocallyOnlyWhenItIsListed) {
    reg.setString("WS", kServer, "ServerName", "Local");
    machines.lstServeurs = {"NTSRV"};
    machines.firstIsThisComputer = false;
    reg.setString("NTSRV", kServer, "ServerName", "Remote");
    const Catalogue c = build();
    EXPECT_EQ(c.nodes[1].text, "Remote");
    EXPECT_EQ(reg.connections, (Strings{"NTSRV", "NTSRV"}));
}

TEST_F(CatalogueTest, RootLevelOrderIsByText) {
    addMachine("beta", "");
    addMachine("Alpha", "");
    const Catalogue c = build();
    EXPECT_EQ(c.childrenInTreeOrder(-1), (std::vector<std::size_t>{2, 1, 0}));
}

} // namespace
} // namespace lantrivex::analysis

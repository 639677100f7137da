// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CatalogueModel.h"

#include "fakes/FakeFolderProbe.h"
#include "fakes/FakeRegistry.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace lantrivex::analysis {
namespace {

using Strings = std::vector<std::string>;
using Indexes = std::vector<std::size_t>;
constexpr const char* kServer = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kVolumes = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

// One line per node: kind parent key | text | image tag panel expanded.
Strings describe(const Catalogue& c) {
    Strings out;
    for (const CatalogueNode& n : c.nodes) {
        out.push_back(std::to_string(static_cast<int>(n.kind)) + " " + std::to_string(n.parent) +
                      " " + n.key + " | " + n.text + " | " + std::to_string(n.image) + " " + n.tag +
                      " " + std::to_string(n.panel) + (n.expanded ? " +" : " -"));
    }
    return out;
}

struct CatalogueTest : ::testing::Test {
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

TEST_F(CatalogueTest, ServerWithVolumesFoundMissingAndTwiceTheSameRoot) {
    addMachine("NTSRV", R"(\D$ (F:); \apps)");
    reg.setString("NTSRV", kServer, "ServerName", "Serveur Mac");
    addVolume("NTSRV", "Zeta", R"(D:\Zeta)");
    addVolume("NTSRV", "Alpha", R"(D:\Alpha)", false);
    addVolume("NTSRV", "Mid", R"(D:\Mid)");
    addVolume("NTSRV", "Zeta bis", R"(D:\Zeta)"); // the same root twice: two volumes, two panels
    const Catalogue c = build();
    EXPECT_EQ(reg.rebuilds, 1) << "the registry learns that a rebuild starts";
    EXPECT_EQ(describe(c), (Strings{"0 -1 WS | WS | 1  0 +",
                                    R"(0 -1 NTSRV\D$ (F:); \apps | NTSRV | 1 \D$ (F:); \apps 0 +)",
                                    "1 1 Serveur Mac (NTSRV) | Serveur Mac | 2  0 +",
                                    R"(2 2 \\NTSRV\D$\Zeta | Zeta | 3 1 1 -)",
                                    R"(2 2 \\NTSRV\D$\Alpha | Alpha | 8 2 2 -)",
                                    R"(2 2 \\NTSRV\D$\Mid | Mid | 3 3 3 -)",
                                    R"(2 2 \\NTSRV\D$\Zeta | Zeta bis | 3 4 4 -)"}));
    EXPECT_EQ(c.childrenInTreeOrder(2), (Indexes{4, 5, 3, 6}));
    ASSERT_EQ(c.panels.size(), 4u);
    EXPECT_EQ(c.panels[1].index, 2);
    EXPECT_EQ(c.panels[1].title, "Serveur Mac - Alpha");
    EXPECT_EQ(c.panels[2].volumeRoot, R"(\\NTSRV\D$\Mid)");
}

TEST_F(CatalogueTest, PanelsNumberAcrossMachinesAndSkipEmptyEntries) {
    for (const char* name : {"A", "B", "C", "d"}) {
        addMachine(name, R"(\x)");
    }
    reg.key("A", kServer); // without "ServerName" the server is named after its machine
    addVolume("A", "A1", R"(E:\1)");
    reg.setMultiString("A", kVolumes, "NoPath", {"Properties=1"});
    addVolume("A", "A2", R"(E:\2)");
    reg.setUnreachable("B");
    reg.key("C", kServer);
    addVolume("C", "C1", R"(F:\1)");
    reg.setString("d", kServer, "ServerName", "Mac"); // its volume list cannot be read
    const Catalogue c = build();
    Strings texts;
    for (const auto& n : c.nodes) {
        texts.push_back(n.text + ":" + std::to_string(n.panel));
    }
    EXPECT_EQ(texts, (Strings{"WS:0", "A:0", "A:0", "A1:1", "A2:2", "B:0", "C:0", "C:0", "C1:3",
                              "d:0", "Mac:0"}));
    EXPECT_EQ(c.nodes[2].key, "A (A)");
    EXPECT_TRUE(c.childrenInTreeOrder(5).empty()); // B cannot be reached: a leaf
    // One connection per machine serves both its server name and its volumes (machines are
    // asked side by side: in any order).
    std::sort(reg.connections.begin(), reg.connections.end());
    EXPECT_EQ(reg.connections, (Strings{"A", "B", "C", "d"}));
    EXPECT_EQ(c.childrenInTreeOrder(-1), (Indexes{1, 5, 6, 9, 0})); // by text, case aside
}

TEST_F(CatalogueTest, ThisComputerIsAskedLocallyOnlyWhenItIsListed) {
    EXPECT_EQ(describe(build()), Strings{"0 -1 WS | WS | 1  0 +"});
    reg.setString("WS", kServer, "ServerName", "Local");
    machines.lstServeurs = {"NTSRV"};
    machines.firstIsThisComputer = false;
    reg.setString("NTSRV", kServer, "ServerName", "Remote");
    EXPECT_EQ(build().nodes[1].text, "Remote");
    EXPECT_EQ(reg.connections, (Strings{"NTSRV"}));
}

// The fake registry behind answers that come after a delay of their own, and machines whose
// connection fails for a given reason.
struct DelayedRegistry : platform::Registry {
    explicit DelayedRegistry(fakes::FakeRegistry& registry) : inner(registry) {}
    platform::RegistryError localMachine(std::unique_ptr<platform::RegistryHive>& hive) override {
        return inner.localMachine(hive);
    }
    platform::RegistryError connect(std::string_view name,
                                    std::unique_ptr<platform::RegistryHive>& hive) override {
        std::this_thread::sleep_for(std::chrono::microseconds(delays.at(std::string(name))));
        return failures.contains(std::string(name)) ? platform::kRegBadNetPath
                                                    : inner.connect(name, hive);
    }
    platform::AccessFailure connectFailure(std::string_view name) override {
        const auto found = failures.find(std::string(name));
        return found == failures.end() ? platform::AccessFailure::None : found->second;
    }
    fakes::FakeRegistry& inner;
    std::map<std::string, int> delays; // microseconds
    std::map<std::string, platform::AccessFailure> failures;
};

TEST_F(CatalogueTest, TheTreeIsTheSameWhateverTheOrderOfTheAnswers) {
    using platform::AccessFailure;
    // More machines than are asked at once: each with two volumes, one found; some fail.
    const AccessFailure reasons[] = {AccessFailure::TimedOut, AccessFailure::Smb1Only,
                                     AccessFailure::LogonRefused, AccessFailure::DamagedExport};
    DelayedRegistry delayed(reg);
    std::vector<AccessFailure> expectedFailure{AccessFailure::NoProductKey}; // this computer
    for (int m = 0; m < 40; ++m) {
        std::string name = "M";
        name += std::to_string(m);
        addMachine(name, "");
        expectedFailure.push_back(AccessFailure::None);
        if (m % 7 == 3) {
            expectedFailure.back() = delayed.failures[name] = reasons[m % 4];
            continue;
        }
        if (m % 5 == 4) {
            expectedFailure.back() = AccessFailure::NoProductKey; // reached, no product
            reg.machine(name);
            continue;
        }
        reg.setString(name, kServer, "ServerName", "Mac" + std::to_string(m));
        addVolume(name, "V1", R"(D:\One)");
        addVolume(name, "V2", R"(D:\Two)", false);
    }
    discovery::MacServerLookup delayedLookup{delayed, discovery::kProductMacFile};
    const auto buildWithDelays = [&](unsigned seed) {
        std::mt19937 random(seed);
        for (const std::string& name : machines.lstServeurs) {
            delayed.delays[name] = static_cast<int>(random() % 3000);
        }
        std::vector<std::size_t> asked;
        const Catalogue c =
            BuildCatalogue(machines, delayedLookup, folders, [&](std::size_t n, std::size_t total) {
                EXPECT_EQ(total, machines.lstServeurs.size());
                asked.push_back(n);
            });
        EXPECT_EQ(asked.size(), machines.lstServeurs.size());
        EXPECT_TRUE(std::is_sorted(asked.begin(), asked.end()) && asked.front() == 1);
        return c;
    };
    const Catalogue first = buildWithDelays(1);
    // Machines in list order, each with its reason; panels numbered in that order.
    std::size_t machine = 0;
    std::int32_t panel = 0;
    for (const CatalogueNode& n : first.nodes) {
        if (n.kind == CatalogueNodeKind::Machine) {
            EXPECT_EQ(n.text, machines.lstServeurs[machine]);
            EXPECT_EQ(n.failure, expectedFailure[machine]) << n.text;
            ++machine;
        } else if (n.kind == CatalogueNodeKind::Volume) {
            EXPECT_EQ(n.panel, ++panel);
            EXPECT_EQ(n.image, n.text == "V1" ? kImageVolume : kImageVolumeMissing);
        }
    }
    EXPECT_EQ(machine, machines.lstServeurs.size());
    for (unsigned seed : {2u, 3u, 4u}) {
        EXPECT_EQ(describe(buildWithDelays(seed)), describe(first)) << seed;
    }
}

} // namespace
} // namespace lantrivex::analysis

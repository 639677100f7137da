// SPDX-License-Identifier: GPL-3.0-or-later
// A catalogue of 20 machines whose registries are read live from one smbd (the winreg pipe, the
// program's own SmbRegistry) next to the same catalogue from the same registries' exports, in the
// same run. Every machine is the loopback server under its one name: each is connected to, asked
// for its server name and its volumes, and released, as the catalogue does for each machine.
// Folder tests are left out (a probe that finds every folder), so that only the registry counts.
// Prints both times per catalogue and their ratio.
//
//   build/release/bin/lantrivex-registry-bench [--benchmark_min_time=2]

#include "analysis/CatalogueModel.h"
#include "regfile/RegFileRegistry.h"
#include "smb/SambaServer.h"
#include "smb/SmbRegistry.h"
#include "smb/TestRegistry.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace lantrivex;
using Clock = std::chrono::steady_clock;

constexpr int kMachines = 20;

struct AnyFolder : platform::FolderProbe {
    bool folderExists(std::string_view) override { return true; }
};

struct Timing {
    double seconds = 0;
    long catalogues = 0;
    double perCatalogueMs() const { return catalogues > 0 ? seconds * 1000 / catalogues : 0; }
};

smbtest::SambaServer* server = nullptr;
std::string exportsFolder;
std::string credentialsFile;
Timing exportTiming;
Timing liveTiming;

discovery::ConnectedMachines machines() {
    discovery::ConnectedMachines m;
    m.lstServeurs.assign(kMachines, "127.0.0.1");
    m.lstConnections.assign(kMachines, R"(\D$)");
    return m;
}

void run(benchmark::State& state, platform::Registry& registry, Timing& timing) {
    const discovery::ConnectedMachines network = machines();
    AnyFolder folders;
    { // not timed: the first connection, and the server starting its registry service
        discovery::MacServerLookup lookup(registry, 0);
        analysis::BuildCatalogue(network, lookup, folders);
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        discovery::MacServerLookup lookup(registry, 0);
        const analysis::Catalogue catalogue = analysis::BuildCatalogue(network, lookup, folders);
        timing.seconds += std::chrono::duration<double>(Clock::now() - start).count();
        ++timing.catalogues;
        if (catalogue.panels.size() != 4u * kMachines) {
            state.SkipWithError("not every volume was found");
            return;
        }
        benchmark::DoNotOptimize(catalogue.nodes.data());
    }
}

void BM_CatalogueFromExports(benchmark::State& state) {
    regfile::RegFileRegistry registry(exportsFolder, "HOST");
    run(state, registry, exportTiming);
}

void BM_CatalogueReadLive(benchmark::State& state) {
    smb::SmbSettings settings;
    settings.port = server->port();
    settings.credentialsFile = credentialsFile;
    settings.kerberos = false;
    smb::SmbRegistry registry(settings); // one for the run, as the program
    run(state, registry, liveTiming);
}

BENCHMARK(BM_CatalogueFromExports)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatalogueReadLive)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (const std::string why = smbtest::SambaServer::whyUnavailable(); !why.empty()) {
        std::fprintf(stderr, "Live registry benchmark not run: %s\n", why.c_str());
        return 0;
    }
    std::string error;
    auto owned = smbtest::SambaServer::start(error, {}, {}, true);
    const std::string registry = smbtest::regExport(smbtest::test_registry::machineRegistry());
    if (!owned || !owned->importRegistry(registry, error)) {
        std::fprintf(stderr, "smbd would not start:\n%s\n", error.c_str());
        return 1;
    }
    server = owned.get();
    exportsFolder = (server->scratch() / "Registry").string();
    std::filesystem::create_directories(exportsFolder);
    std::ofstream(exportsFolder + "/127.0.0.1.reg", std::ios::binary) << registry;
    credentialsFile = (server->scratch() / "credentials").string();
    std::ofstream(credentialsFile) << "username=" << smbtest::SambaServer::kReader
                                   << "\npassword=" << smbtest::SambaServer::kPassword << "\n";
    std::filesystem::permissions(credentialsFile, std::filesystem::perms::owner_read);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (exportTiming.catalogues > 0 && liveTiming.catalogues > 0) {
        std::printf("\nCatalogue of %d machines: from exports %.2f ms, read live over SMB %.2f ms, "
                    "live / exports = %.1f\n",
                    kMachines, exportTiming.perCatalogueMs(), liveTiming.perCatalogueMs(),
                    liveTiming.perCatalogueMs() / exportTiming.perCatalogueMs());
    }
    owned.reset();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue rebuilt through the POSIX platform on networks of 50 to 400 machines with 50
// volumes each, laid out in files (mount table, registry exports, volume folders). A rebuild that
// is linear in the number of volumes costs the same per volume at every size: the ratios of the
// largest network's cost per volume to the smallest's are printed at the end.

#include "analysis/CatalogueModel.h"
#include "cli/MachineNetwork.h"
#include "discovery/ConnectedMachines.h"
#include "discovery/MacServerLookup.h"
#include "platform/HostPlatform.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
constexpr int kVolumes = 50;

void CatalogueRebuild(benchmark::State& state) {
    const int machines = static_cast<int>(state.range(0));
    const fs::path root =
        fs::temp_directory_path() /
        ("lantrivex-catalogue-" + std::to_string(::getpid()) + "-" + std::to_string(machines));
    lantrivex::writeMachineNetwork(root, machines, kVolumes);
    ::setenv("LANTRIVEX_MOUNTS", (root / "mounts").c_str(), 1);
    ::setenv("LANTRIVEX_REGISTRY_DIR", (root / "Registry").c_str(), 1);
    {
        const auto system = lantrivex::platform::makeHostPlatform();
        lantrivex::platform::Platform platform = system->platform();
        std::size_t panels = 0;
        for (auto _ : state) {
            // What a refresh does: the connections, then the catalogue.
            lantrivex::discovery::ConnectedMachines list;
            lantrivex::discovery::EnumConnectedDrives(platform.connections, list);
            lantrivex::discovery::MacServerLookup lookup(platform.registry,
                                                         lantrivex::discovery::kProductMacFile);
            const auto catalogue =
                lantrivex::analysis::BuildCatalogue(list, lookup, platform.folders);
            panels = catalogue.panels.size();
            benchmark::DoNotOptimize(panels);
        }
        state.counters["volumes"] = static_cast<double>(panels);
        state.counters["us_per_volume"] = benchmark::Counter(
            static_cast<double>(panels) * 1e-6,
            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }
    fs::remove_all(root);
}

BENCHMARK(CatalogueRebuild)
    ->ArgName("machines")
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

class PerVolumeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto it = run.counters.find("us_per_volume");
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration) {
                perVolume[run.run_name.args] = it->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> perVolume;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    PerVolumeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto smallest = reporter.perVolume.find("machines:50");
    if (smallest == reporter.perVolume.end() || smallest->second <= 0) {
        return 0;
    }
    for (const auto& [args, cost] : reporter.perVolume) {
        std::printf("%-14s %8.2f us per volume   %.2fx the cost per volume at 50 machines "
                    "(linear: about 1)\n",
                    args.c_str(), cost, cost / smallest->second);
    }
    return 0;
}

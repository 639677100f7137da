// SPDX-License-Identifier: GPL-3.0-or-later
// The window on catalogues of 25, 50 and 100 machines with 50 volumes each (1,250 to 5,000
// volumes), laid out in files as the catalogue benchmark lays them out: the time from showing the
// window until it answers (its first activation done: signatures, machines, catalogue tree and
// volume panels, then a posted event handled). A window whose cost is linear in the catalogue
// takes about twice the time for twice the volumes; the ratios to the smallest are printed at the
// end, with the largest's time against its target (3 s, and 3 times the time of half as many).

#include "cli/MachineNetwork.h"
#include "fakes/FakePlatform.h"
#include "platform/HostPlatform.h"
#include "shell/AppState.h"
#include "ui/FrmLantrivex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
constexpr int kVolumes = 50;

class SilentNotifier : public lantrivex::platform::Notifier {
public:
    void message(std::string_view, lantrivex::platform::MessageIcon) override {}
    bool askYesNo(std::string_view) override { return false; }
    void beep() override {}
};

// Shows a new window and returns the seconds until it answers.
double showAndAnswer(lantrivex::platform::Platform& platform, int expectedPanels) {
    SilentNotifier notifier;
    lantrivex::shell::AppState state;
    lantrivex::ui::FrmLantrivex window(platform, notifier, state);
    if (!window.Form_Load()) {
        return -1;
    }
    QElapsedTimer clock;
    clock.start();
    window.show();
    while (state.FlagFirstActivation || window.volumePanelCount() < expectedPanels) {
        if (clock.elapsed() > 600'000) {
            return -1;
        }
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    bool answered = false;
    QTimer::singleShot(0, &window, [&answered] { answered = true; });
    while (!answered) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return static_cast<double>(clock.nsecsElapsed()) * 1e-9;
}

void WindowAnswers(benchmark::State& state) {
    const int machines = static_cast<int>(state.range(0));
    const fs::path root =
        fs::temp_directory_path() /
        ("lantrivex-window-" + std::to_string(::getpid()) + "-" + std::to_string(machines));
    lantrivex::writeMachineNetwork(root, machines, kVolumes);
    ::setenv("LANTRIVEX_MOUNTS", (root / "mounts").c_str(), 1);
    ::setenv("LANTRIVEX_REGISTRY_DIR", (root / "Registry").c_str(), 1);
    {
        // The system's streams, folders, registry exports and connections; settings, the
        // instance guard and the signatures file in memory, so that nothing is written.
        const auto system = lantrivex::platform::makeHostPlatform();
        lantrivex::platform::Platform host = system->platform();
        lantrivex::fakes::FakePlatform fake;
        lantrivex::platform::Platform platform{
            host.streams,  host.folders,  fake.profiles,    host.version, fake.files, fake.location,
            fake.instance, host.registry, host.connections, host.drives,  fake.shell};
        const int panels = machines * kVolumes;
        for (auto _ : state) {
            const double seconds = showAndAnswer(platform, panels);
            if (seconds < 0) {
                state.SkipWithError("the window did not answer");
                break;
            }
            state.SetIterationTime(seconds);
        }
        state.counters["volumes"] = panels;
    }
    fs::remove_all(root);
}

BENCHMARK(WindowAnswers)
    ->ArgName("machines")
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                seconds[std::stoi(run.run_name.args.substr(run.run_name.args.find(':') + 1))] =
                    run.GetAdjustedRealTime() / 1000.0;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<int, double> seconds; // by machines
};

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.seconds.empty()) {
        return 0;
    }
    const auto& [smallestMachines, smallest] = *reporter.seconds.begin();
    for (const auto& [machines, seconds] : reporter.seconds) {
        std::printf("%6d volumes  %7.3f s to answer after showing   %.2fx the time of %d volumes "
                    "(linear: %.0fx)\n",
                    machines * kVolumes, seconds, seconds / smallest, smallestMachines * kVolumes,
                    static_cast<double>(machines) / smallestMachines);
    }
    const auto largest = reporter.seconds.find(100);
    const auto half = reporter.seconds.find(50);
    if (largest != reporter.seconds.end() && half != reporter.seconds.end()) {
        std::printf("5000 volumes: %.3f s (target: within 3 s), %.2fx the time of 2500 (target: "
                    "within 3x)\n",
                    largest->second, largest->second / half->second);
    }
    return 0;
}

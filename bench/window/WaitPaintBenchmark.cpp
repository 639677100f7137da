// SPDX-License-Identifier: GPL-3.0-or-later
// The main window while it waits for the network: the largest gap between two paints of its
// status bar while a slow stream is read (3 s) and while a slow network is asked (3 s), next to
// the same measure for the idle window, and to the same read made on the window's own thread.
// Something asks the status bar to repaint every 10 ms, as a desktop does when it uncovers the
// window; the progress bar's own repaints are timed too. Ratios against the idle window are
// printed at the end.

#include "analysis/VolumeIndexReader.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakePlatform.h"
#include "shell/AppState.h"
#include "ui/FrmLantrivex.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

using namespace lantrivex;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kVolume = R"(\\NTSRV1\D$\Mac\Publishing)";
constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr int kPieces = 60; // of the stream, each read in 50 ms
constexpr auto kPieceTime = 50ms;
constexpr int kMachines = 10; // each one's volume tested in 300 ms, one at a time
constexpr auto kProbeTime = 300ms;

// The times a widget was painted.
struct PaintClock : QObject {
    std::vector<Clock::time_point> paints;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            paints.push_back(Clock::now());
        }
        return false;
    }
    // The largest gap between two paints within [from, to], its ends included; milliseconds.
    double largestGap(Clock::time_point from, Clock::time_point to) const {
        Clock::time_point last = from;
        Clock::duration gap{};
        for (const auto t : paints) {
            if (t >= from && t <= to) {
                gap = std::max(gap, t - last);
                last = t;
            }
        }
        gap = std::max(gap, to - last);
        return std::chrono::duration<double, std::milli>(gap).count();
    }
};

struct Measure {
    double seconds = 0, statusGap = 0, progressGap = 0;
};

class Bench : fakes::FakePlatform {
public:
    Bench() {
        files.files["/opt/lantrivex/Signatures.txt"] = "\"XDOCXPR3\",\"qxd\",\"QuarkXPress\"\r\n";
        version.info = platform::OsVersionInfo{
            platform::OsVersionInfo::kPlatformOther, 6, 1, 0, "18-amd64", "Linux"};
        for (int m = 1; m <= kMachines; ++m) {
            const std::string name = "NTSRV" + std::to_string(m);
            connections.add("", R"(\\)" + name + R"(\D$)");
            registry.setString(name, kMacFile, "ServerName", "MAC" + name);
            registry.setMultiString(name, std::string(kMacFile) + R"(\Volumes)", "Publishing",
                                    {R"(Path=D:\Mac\Publishing)"});
            folders.addFolder(R"(\\)" + name + R"(\D$\Mac\Publishing)");
        }
        std::string bytes = "HDR";
        while (bytes.size() < std::size_t{kPieces} * 4096) {
            bytes += std::string("\x01XDOCXPR3\x00\x02\x00", 12);
        }
        bytes.resize(std::size_t{kPieces} * 4096);
        streams.addStream(kVolume, "AFP_IdIndex", bytes).maxRead = 4096;
    }

    void run() {
        window_.Form_Load();
        window_.show();
        window_.Form_Activate();
        QWidget* panel = window_.findChild<QWidget*>("StatusBar1.Panels(1)");
        QWidget* progress = window_.findChild<QWidget*>("prgProgress");
        panel->installEventFilter(&status_);
        progress->installEventFilter(&progress_);
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, panel, [panel] { panel->update(); });
        ticker.start(10);

        const Measure idle = measure([] {
            QEventLoop loop;
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
        });
        streams.onRead = [] { std::this_thread::sleep_for(kPieceTime); };
        const Measure reading = measure([this] { window_.SelectCatalogueNode(volumeNode()); });
        const Measure readingOnWindowThread = measure([this] {
            fakes::FakeNotifier notifier;
            analysis::ReadVolumeIndex(kVolume, streams, notifier, kEnglish);
        });
        streams.onRead = {};
        std::mutex oneAtATime;
        folders.onProbe = [&oneAtATime] {
            const std::lock_guard lock(oneAtATime);
            std::this_thread::sleep_for(kProbeTime);
        };
        const Measure discovery = measure([this] { window_.Toolbar1_ButtonClick(1); });

        std::printf("%-44s %8s %14s %16s\n", "", "seconds", "largest gap", "progress gap");
        const auto line = [](const char* what, const Measure& m, bool withProgress) {
            std::printf("%-44s %8.2f %11.1f ms", what, m.seconds, m.statusGap);
            if (withProgress) {
                std::printf(" %13.1f ms", m.progressGap);
            }
            std::printf("\n");
        };
        line("idle window (baseline)", idle, false);
        line("reading a slow stream, window waiting", reading, true);
        line("reading a slow stream on the window's thread", readingOnWindowThread, false);
        line("asking a slow network, window waiting", discovery, false);
        std::printf("\nratios of the largest gap to the idle window's:\n");
        std::printf("  reading, window waiting:       %6.2f\n", reading.statusGap / idle.statusGap);
        std::printf("  asking, window waiting:        %6.2f\n",
                    discovery.statusGap / idle.statusGap);
        std::printf("  reading on the window's thread: %6.2f\n",
                    readingOnWindowThread.statusGap / idle.statusGap);
        const bool ok =
            reading.statusGap < 200 && discovery.statusGap < 200 && reading.progressGap < 200;
        std::printf("\nlargest gaps while waiting under 200 ms: %s\n", ok ? "yes" : "NO");
    }

private:
    template <typename F> Measure measure(F action) {
        const auto from = Clock::now();
        action();
        const auto to = Clock::now();
        return {std::chrono::duration<double>(to - from).count(), status_.largestGap(from, to),
                progress_.largestGap(from, to)};
    }
    QTreeWidgetItem* volumeNode() {
        for (QTreeWidgetItemIterator it(window_.treeCatalogue()); *it; ++it) {
            if ((*it)->data(0, ui::FrmLantrivex::KeyRole).toString() == kVolume) {
                return *it;
            }
        }
        return nullptr;
    }

    platform::Platform bundle_ = platform();
    fakes::FakeNotifier notifier_;
    shell::AppState state_;
    ui::FrmLantrivex window_{bundle_, notifier_, state_};
    PaintClock status_, progress_;
};

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Bench().run();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// A result grid of 100,000 distinct signatures, as a hostile index gives one: the rows made and
// shown (the fill, with the first sort by "#"), then each column sorted both ways, as header clicks
// sort it. Every step is timed with the grid on screen (offscreen platform) and repainted.

#include "shell/VolumeResult.h"
#include "ui/ResultGridModel.h"
#include "ui/ResultGridView.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using lantrivex::ui::ResultGridModel;
using lantrivex::ui::ResultGridView;

constexpr int kSignatures = 100000;

// A scan of distinct signatures with counts from 1 to 1000 and a description for one in three.
const lantrivex::analysis::ScanResult& scan() {
    static const lantrivex::analysis::ScanResult result = [] {
        lantrivex::analysis::ScanResult r;
        std::uint64_t state = 7;
        for (int i = 0; i < kSignatures; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            std::string signature(8, 'A');
            for (int k = 0; k < 8; ++k) {
                signature[static_cast<std::size_t>(k)] =
                    static_cast<char>('A' + (state >> (8 + 5 * k)) % 26);
            }
            const auto count = static_cast<std::int64_t>(1 + (state >> 40) % 1000);
            r.signatures.push_back({signature, count});
            r.total += count;
        }
        return r;
    }();
    return result;
}

const lantrivex::signatures::SignatureTable& table() {
    static const lantrivex::signatures::SignatureTable t = [] {
        lantrivex::signatures::SignatureTable s;
        for (int i = 0; i < kSignatures; i += 3) {
            const auto& entry = scan().signatures[static_cast<std::size_t>(i)];
            const std::string text(std::string_view(entry.signature));
            s.colExtensions.add(text, "ext");
            s.colDescriptions.add(text, "Document " + std::to_string(i % 977) + " \xC3\xA9");
        }
        return s;
    }();
    return t;
}

struct Grid {
    ResultGridModel model;
    ResultGridView view{&model, [] { return lantrivex::kEnglish; }};
    Grid() {
        view.resize(800, 600);
        view.show();
        QApplication::processEvents();
    }
};

void GridFill(benchmark::State& state) {
    for (auto _ : state) {
        Grid grid;
        auto rows = lantrivex::shell::buildResultRows(scan(), table(), '.');
        grid.model.setRows(std::move(rows));
        grid.model.sortRows(0, ResultGridModel::SortKind::Numeric, Qt::DescendingOrder);
        grid.view.repaint();
        QApplication::processEvents();
    }
}

void GridSort(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    const auto order = state.range(1) ? Qt::AscendingOrder : Qt::DescendingOrder;
    Grid grid;
    grid.model.setRows(lantrivex::shell::buildResultRows(scan(), table(), '.'));
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        // Each click starts from the grid as the analysis left it.
        grid.model.sortRows(0, ResultGridModel::SortKind::Numeric, Qt::DescendingOrder);
        QApplication::processEvents();
        state.ResumeTiming();
        grid.model.sortRows(
            column, ResultGridModel::sortKindOf(ResultGridModel::headerText(column)), order);
        grid.view.repaint();
        QApplication::processEvents();
    }
}

BENCHMARK(GridFill)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(GridSort)
    ->ArgNames({"column", "ascending"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    scan();
    table();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

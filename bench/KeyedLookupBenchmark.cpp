// SPDX-License-Identifier: GPL-3.0-or-later
// Signature lookups in the keyed collection (what the analysis asks of the signature table for
// each distinct signature, ASCII keys only), beside the same lookups in a table whose keys fold
// ASCII letters only (the baseline): folding the whole Windows-1252 repertoire must not make
// ASCII keys dearer.

#include "common/Ascii.h"
#include "common/KeyedCollection.h"

#include <benchmark/benchmark.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// 200 table keys (as many as the bundled table holds) and the lookups of 40 signatures each in
// two spellings, half of them absent from the table.
struct Keys {
    std::vector<std::string> table;
    std::vector<std::string> lookups;
};

const Keys& keys() {
    static const Keys k = [] {
        Keys out;
        for (int i = 0; i < 200; ++i) {
            out.table.push_back("TY" + std::to_string(1000 + i) + "Cr");
        }
        for (int i = 0; i < 40; ++i) {
            const std::string key = "TY" + std::to_string(1000 + i * 10) + "Cr";
            out.lookups.push_back(key);
            out.lookups.push_back(lantrivex::asciiToLower(key));
            out.lookups.push_back("ty" + std::to_string(5000 + i) + "CR");
        }
        return out;
    }();
    return k;
}

void KeyedLookup(benchmark::State& state) {
    lantrivex::KeyedCollection table;
    for (const std::string& key : keys().table) {
        table.add(key, "description");
    }
    for (auto _ : state) {
        std::size_t found = 0;
        for (const std::string& key : keys().lookups) {
            found += table.value(key).size();
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * keys().lookups.size()));
}

void KeyedLookupAsciiFold(benchmark::State& state) {
    // The keyed collection's layout: folded key to position, items in insertion order.
    std::unordered_map<std::string, std::size_t> index;
    std::vector<std::string> items;
    for (const std::string& key : keys().table) {
        index.try_emplace(lantrivex::asciiToLower(key), items.size());
        items.emplace_back("description");
    }
    for (auto _ : state) {
        std::size_t found = 0;
        for (const std::string& key : keys().lookups) {
            const auto it = index.find(lantrivex::asciiToLower(key));
            found += it == index.end() ? 0 : items[it->second].size();
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * keys().lookups.size()));
}

} // namespace

BENCHMARK(KeyedLookup)->MinTime(1.0);
BENCHMARK(KeyedLookupAsciiFold)->MinTime(1.0);

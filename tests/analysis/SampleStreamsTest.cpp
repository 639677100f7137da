// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/IndexScanner.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace lantrivex::analysis {
namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Each bundled sample stream scans to the result recorded beside it.
TEST(SampleStreams, ScanToTheirRecordedResults) {
    for (const char* name : {"Archives", "Bureautique", "Graphisme"}) {
        SCOPED_TRACE(name);
        const std::string base = std::string(LANTRIVEX_SOURCE_DIR) + "/samples/streams/" + name;
        const std::string bytes = slurp(base + ".AFP_IdIndex");
        ASSERT_FALSE(bytes.empty());
        const ScanResult result = ScanIndexStream(std::as_bytes(std::span(bytes)));
        std::string scanned;
        for (const auto& entry : result.signatures) {
            scanned +=
                std::string(entry.signature.text()) + "," + std::to_string(entry.count) + "\n";
        }
        scanned += "total," + std::to_string(result.total) + "\n";
        EXPECT_EQ(scanned, slurp(base + ".expected.csv"));
    }
}

} // namespace
} // namespace lantrivex::analysis

#include "analysis/IndexScanner.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace lantrivex::analysis {
namespace {

std::string readWhole(const std::filesystem::path& file) {
    std::ostringstream content;
    content << std::ifstream(file, std::ios::binary).rdbuf();
    return content.str();
}

// Every sample stream scans to the result recorded beside it (NAME.expected.csv).
TEST(SampleStreams, ScanToTheirRecordedResults) {
    int samples = 0;
    for (const auto& item : std::filesystem::directory_iterator(
             std::filesystem::path(LANTRIVEX_SOURCE_DIR) / "samples/streams")) {
        if (item.path().extension() != ".AFP_IdIndex") {
            continue;
        }
        ++samples;
        const std::string bytes = readWhole(item.path());
        const ScanResult result = ScanIndexStream(
            std::span(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()));
        std::ostringstream actual;
        for (const auto& s : result.signatures) {
            actual << s.signature << ',' << s.count << '\n';
        }
        actual << "total," << result.total << '\n';
        EXPECT_EQ(actual.str(),
                  readWhole(std::filesystem::path(item.path()).replace_extension(".expected.csv")))
            << item.path();
        EXPECT_GT(result.total, 1000) << item.path();
    }
    EXPECT_GE(samples, 3);
}

} // namespace
} // namespace lantrivex::analysis

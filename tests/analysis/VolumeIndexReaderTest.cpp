#include "analysis/VolumeIndexReader.h"

#include "ReferenceScan.h"
#include "common/IndexStreamGenerator.h"
#include "fakes/FakeNamedStreamReader.h"
#include "fakes/FakeNotifier.h"

#include <gtest/gtest.h>

namespace lantrivex::analysis {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

constexpr std::string_view kRoot = R"(\\NTSRV1\D$\Mac Volumes\Graphisme)";
constexpr const char* kUnknownEn = "Unknown Macintosh volume index";
constexpr const char* kUnknownFr = "Index de volume Macintosh inconnu";

struct VolumeIndexReaderTest : ::testing::Test {
    std::optional<ScanResult> read(LanguageFlag language = kEnglish,
                                   std::string_view root = kRoot) {
        return ReadVolumeIndex(root, streams, notifier, language);
    }
    fakes::FakeNamedStreamReader::Stream& add(std::string bytes,
                                              std::string root = std::string(kRoot)) {
        return streams.addStream(std::move(root), "AFP_IdIndex", std::move(bytes));
    }
    fakes::FakeNamedStreamReader streams;
    fakes::FakeNotifier notifier;
};

TEST_F(VolumeIndexReaderTest, ReadsTheIndexStreamOfTheVolumeRootHoweverLongItsPath) {
    std::string root = R"(\\NTSRV1\D$)";
    while (root.size() < 600) {
        root += R"(\Un dossier au nom assez long)";
    }
    add("\x01TEXTttxt\x00\x01textTTXT"s, root);
    const auto result = read(kEnglish, root);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(::testing::PrintToString(*result), "total 2: TEXTttxt=2");
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(streams.openedPaths, Strings{root});
}

TEST_F(VolumeIndexReaderTest, MissingEmptyOrUnsizedStreamIsAnUnknownIndexAndIsNotRead) {
    EXPECT_FALSE(read(kEnglish));
    EXPECT_FALSE(read(kFrench));
    EXPECT_FALSE(read(7)); // any flag other than 1 is English
    add("");
    EXPECT_FALSE(read(kFrench));
    add("\x01W6BNMSWD").reportedSize = -1; // a size the system cannot tell
    EXPECT_FALSE(read(kEnglish));
    EXPECT_EQ(notifier.texts(),
              (Strings{kUnknownEn, kUnknownFr, kUnknownEn, kUnknownFr, kUnknownEn}));
    for (const auto& m : notifier.messages) {
        EXPECT_EQ(m.icon, platform::MessageIcon::None);
    }
    EXPECT_EQ(streams.reads, 0);
}

TEST_F(VolumeIndexReaderTest, AShortReadIsToldInBothLanguagesAndWhatWasReadIsCounted) {
    for (LanguageFlag language : {kEnglish, kFrench}) {
        fakes::FakeNotifier told;
        add("\x01W6BNMSWD\x00\x01XLS5"s).reportedSize = 4096;
        const auto result = ReadVolumeIndex(kRoot, streams, told, language);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->total, 1);
        ASSERT_EQ(told.messages.size(), 1u);
        EXPECT_EQ(told.messages[0].text, "Error reading file ...");
        EXPECT_EQ(told.messages[0].icon, platform::MessageIcon::None);
    }
    // Nothing read at all: an empty result and the same message.
    add("").reportedSize = 100;
    const auto result = read();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(::testing::PrintToString(*result), "total 0:");
    EXPECT_EQ(notifier.texts(), Strings{"Error reading file ..."});
    // Bytes beyond the size are not read: the second signature is not counted.
    add("\x01W6BNMSWD\x00\x01XLS5XCEL"s).reportedSize = 10;
    EXPECT_EQ(read()->total, 1);
    EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(VolumeIndexReaderTest, ReadsLargeStreamsInBoundedPiecesWithTheOnePassResult) {
    IndexStreamOptions options;
    options.seed = 7;
    options.size = 5 * (1 << 20) + 12345; // several read buffers and a partial last one
    options.caseVariantRate = 0.2;
    const std::vector<std::byte> bytes = generateIndexStream(options);
    add(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())).maxRead =
        100003; // the system hands out less than asked each time
    const auto result = read();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, ScanIndexStream(bytes));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_LE(streams.largestRead, std::size_t{1} << 20);
    EXPECT_GT(streams.reads, 50);
}

} // namespace
} // namespace lantrivex::analysis

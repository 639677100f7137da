#include "analysis/VolumeIndexReader.h"

#include "ReferenceScan.h"
#include "common/IndexStreamGenerator.h"
#include "fakes/FakeNamedStreamReader.h"
#include "fakes/FakeNotifier.h"

#include <gtest/gtest.h>

namespace lantrivex::analysis {
namespace {

using namespace std::string_literals;
using platform::MessageIcon;

constexpr std::string_view kRoot = R"(\\NTSRV1\D$\Mac Volumes\Graphisme)";

struct VolumeIndexReaderTest : ::testing::Test {
    fakes::FakeNamedStreamReader streams;
    fakes::FakeNotifier notifier;
};

TEST_F(VolumeIndexReaderTest, ReadsTheIndexStreamOfTheVolumeRoot) {
    streams.addStream(std::string(kRoot), "AFP_IdIndex", "\x01TEXTttxt\x00\x01textTTXT"s);
    const auto result = ReadVolumeIndex(kRoot, streams, notifier, kEnglish);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->total, 2);
    ASSERT_EQ(result->signatures.size(), 1u);
    EXPECT_EQ(result->signatures[0].signature, "TEXTttxt");
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(streams.opens, 1);
}

TEST_F(VolumeIndexReaderTest, AMissingStreamIsAnUnknownIndexInTheCurrentLanguage) {
    EXPECT_FALSE(ReadVolumeIndex(kRoot, streams, notifier, kEnglish).has_value());
    EXPECT_FALSE(ReadVolumeIndex(kRoot, streams, notifier, kFrench).has_value());
    // Any flag other than 1 is English.
    EXPECT_FALSE(ReadVolumeIndex(kRoot, streams, notifier, 7).has_value());
    ASSERT_EQ(notifier.messages.size(), 3u);
    EXPECT_EQ(notifier.messages[0].text, "Unknown Macintosh volume index");
    EXPECT_EQ(notifier.messages[1].text, "Index de volume Macintosh inconnu");
    EXPECT_EQ(notifier.messages[2].text, "Unknown Macintosh volume index");
    for (const auto& m : notifier.messages) {
        EXPECT_EQ(m.icon, MessageIcon::None);
    }
}

TEST_F(VolumeIndexReaderTest, AnEmptyOrUnsizedStreamIsAnUnknownIndexAndIsNotRead) {
    streams.addStream(std::string(kRoot), "AFP_IdIndex", "");
    EXPECT_FALSE(ReadVolumeIndex(kRoot, streams, notifier, kFrench).has_value());
    // A size the system cannot tell (-1) even though bytes are there.
    streams.addStream(std::string(kRoot), "AFP_IdIndex", "\x01W6BNMSWD").reportedSize = -1;
    EXPECT_FALSE(ReadVolumeIndex(kRoot, streams, notifier, kEnglish).has_value());
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Index de volume Macintosh inconnu",
                                                          "Unknown Macintosh volume index"}));
    EXPECT_EQ(streams.reads, 0);
}

TEST_F(VolumeIndexReaderTest, AShortReadIsToldInBothLanguagesAndWhatWasReadIsCounted) {
    for (LanguageFlag language : {kEnglish, kFrench}) {
        fakes::FakeNotifier told;
        streams.addStream(std::string(kRoot), "AFP_IdIndex", "\x01W6BNMSWD\x00\x01XLS5"s)
            .reportedSize = 4096;
        const auto result = ReadVolumeIndex(kRoot, streams, told, language);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->total, 1);
        ASSERT_EQ(told.messages.size(), 1u);
        EXPECT_EQ(told.messages[0].text, "Error reading file ...");
        EXPECT_EQ(told.messages[0].icon, MessageIcon::None);
    }
}

TEST_F(VolumeIndexReaderTest, NothingReadAtAllGivesAnEmptyResultAndTheReadMessage) {
    streams.addStream(std::string(kRoot), "AFP_IdIndex", "").reportedSize = 100;
    const auto result = ReadVolumeIndex(kRoot, streams, notifier, kEnglish);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->total, 0);
    EXPECT_TRUE(result->signatures.empty());
    EXPECT_EQ(notifier.texts(), std::vector<std::string>{"Error reading file ..."});
}

TEST_F(VolumeIndexReaderTest, BytesBeyondTheSizeAreNotRead) {
    // The stream holds a second signature after the ten bytes its size covers.
    streams.addStream(std::string(kRoot), "AFP_IdIndex", "\x01W6BNMSWD\x00\x01XLS5XCEL"s)
        .reportedSize = 10;
    const auto result = ReadVolumeIndex(kRoot, streams, notifier, kEnglish);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->total, 1);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(VolumeIndexReaderTest, ReadsLargeStreamsInBoundedPiecesWithTheOnePassResult) {
    IndexStreamOptions options;
    options.seed = 7;
    options.size = 5 * (1 << 20) + 12345; // several read buffers and a partial last one
    options.caseVariantRate = 0.2;
    const std::vector<std::byte> bytes = generateIndexStream(options);
    auto& stream =
        streams.addStream(std::string(kRoot), "AFP_IdIndex",
                          std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    stream.maxRead = 100003; // the system hands out less than asked each time
    const auto result = ReadVolumeIndex(kRoot, streams, notifier, kEnglish);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, ScanIndexStream(bytes));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_LE(streams.largestRead, std::size_t{1} << 20);
    EXPECT_GT(streams.reads, 50);
}

TEST_F(VolumeIndexReaderTest, LongPathsAreNoLimit) {
    std::string root = R"(\\NTSRV1\D$)";
    while (root.size() < 600) {
        root += R"(\Un dossier au nom assez long)";
    }
    streams.addStream(root, "AFP_IdIndex", "\x01W6BNMSWD");
    const auto result = ReadVolumeIndex(root, streams, notifier, kEnglish);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->total, 1);
    EXPECT_EQ(streams.openedPaths, std::vector<std::string>{root});
}

} // namespace
} // namespace lantrivex::analysis

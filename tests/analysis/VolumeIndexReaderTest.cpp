// SPDX-License-Identifier: GPL-3.0-or-later
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

// A message as told: its first line, the volume, and the reason when one is known.
std::string told(std::string first, LanguageFlag language, std::string_view reason = "") {
    first += language == kFrench ? "\r\nVolume : " : "\r\nVolume: ";
    first += kRoot;
    return reason.empty() ? first : first + "\r\n" + std::string(reason);
}

struct VolumeIndexReaderTest : ::testing::Test {
    std::string read(LanguageFlag language = kEnglish, std::string_view root = kRoot) {
        const auto result = ReadVolumeIndex(root, streams, notifier, language);
        return result ? ::testing::PrintToString(*result) : "none";
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
    EXPECT_EQ(read(kEnglish, root), "total 2: TEXTttxt=2");
    EXPECT_EQ(streams.openedPaths, Strings{root});
}

TEST_F(VolumeIndexReaderTest, MissingEmptyOrUnsizedStreamIsAnUnknownIndexAndIsNotRead) {
    for (LanguageFlag language :
         {kEnglish, kFrench, LanguageFlag{7}}) { // any flag other than 1 is English
        EXPECT_EQ(read(language), "none");
    }
    add("");
    EXPECT_EQ(read(kFrench), "none");
    add("\x01W6BNMSWD").reportedSize = -1; // a size the system cannot tell
    EXPECT_EQ(read(kEnglish), "none");
    EXPECT_EQ(notifier.texts(), (Strings{told(kUnknownEn, kEnglish), told(kUnknownFr, kFrench),
                                         told(kUnknownEn, kEnglish), told(kUnknownFr, kFrench),
                                         told(kUnknownEn, kEnglish)}));
    EXPECT_EQ(notifier.messages.back().icon, platform::MessageIcon::None);
    EXPECT_EQ(streams.reads, 0);
}

TEST_F(VolumeIndexReaderTest, AShortReadIsToldAndWhatWasReadIsCounted) {
    add("\x01W6BNMSWD\x00\x01XLS5"s).reportedSize = 4096;
    EXPECT_EQ(read(kFrench), "total 1: W6BNMSWD=1");
    add("").reportedSize = 100; // nothing read at all
    EXPECT_EQ(read(kEnglish), "total 0:");
    // One first line in both languages.
    EXPECT_EQ(notifier.texts(), (Strings{told("Error reading file ...", kFrench),
                                         told("Error reading file ...", kEnglish)}));
    EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::None);
    // Bytes beyond the size are not read: the second signature is not counted, and nothing is told.
    add("\x01W6BNMSWD\x00\x01XLS5XCEL"s).reportedSize = 10;
    EXPECT_EQ(read(), "total 1: W6BNMSWD=1");
    EXPECT_EQ(notifier.messages.size(), 2u);
}

TEST_F(VolumeIndexReaderTest, AReadCutShortTellsTheVolumeAndTheReasonTheStreamGives) {
    const struct {
        platform::AccessFailure failure;
        LanguageFlag language;
        std::string reasonLine;
    } cases[] = {
        {platform::AccessFailure::TimedOut, kEnglish, "The machine did not answer in time"},
        {platform::AccessFailure::AccessDenied, kFrench, "Accès refusé"},
        {platform::AccessFailure::None, kEnglish, ""},
    };
    for (const auto& c : cases) {
        notifier.messages.clear();
        auto& stream = add("\x01W6BNMSWD\x00"s);
        stream.reportedSize = 300000;
        stream.failure = c.failure;
        const VolumeIndexReading reading =
            ReadWholeVolumeIndex(kRoot, streams, notifier, c.language);
        EXPECT_FALSE(reading.whole);
        EXPECT_EQ(reading.failure, c.failure);
        ASSERT_TRUE(reading.result);
        EXPECT_EQ(reading.result->total, 1);
        EXPECT_EQ(notifier.texts(),
                  Strings{told("Error reading file ...", c.language, c.reasonLine)});
    }
    add("\x01W6BNMSWD"s);
    EXPECT_TRUE(ReadWholeVolumeIndex(kRoot, streams, notifier, kEnglish).whole);
}

TEST_F(VolumeIndexReaderTest, ReadsLargeStreamsInBoundedPiecesWithTheOnePassResult) {
    // Several read buffers and a partial last one; the system hands out less than asked each time.
    IndexStreamOptions options;
    options.size = 5 * (1 << 20) + 12345;
    const std::vector<std::byte> bytes = generateIndexStream(options);
    add(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())).maxRead = 100003;
    EXPECT_EQ(read(), ::testing::PrintToString(ScanIndexStream(bytes)));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_LE(streams.largestRead, std::size_t{1} << 20);
    EXPECT_GT(streams.reads, 50);
}

} // namespace
} // namespace lantrivex::analysis

#include "signatures/SignatureLoader.h"

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"
#include "signatures/SignatureFile.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace lantrivex::signatures {
namespace {

using platform::MessageIcon;

constexpr const char* kPath = "/opt/lantrivex/Signatures.txt";

class LoadSignaturesTest : public ::testing::Test {
protected:
    void SetUp() override { table.sSignaturesFile = kPath; }

    void load(LanguageFlag nLangue = kEnglish) { LoadSignatures(table, files, notifier, nLangue); }

    std::vector<std::string> keys() const {
        std::vector<std::string> out;
        for (const auto& entry : table.colDescriptions.entries()) {
            out.push_back(entry.key);
        }
        return out;
    }

    // The two collections hold the same keys in the same order.
    void expectCollectionsAgree() const {
        ASSERT_EQ(table.colExtensions.size(), table.colDescriptions.size());
        for (std::size_t i = 0; i < table.colExtensions.size(); ++i) {
            EXPECT_EQ(table.colExtensions.entries()[i].key, table.colDescriptions.entries()[i].key);
        }
    }

    void expectDefaults() const {
        EXPECT_EQ(keys(), (std::vector<std::string>{"W6BNMSWD", "WDBNMSWD", "XDOCXPR3"}));
        EXPECT_EQ(table.colExtensions.value("W6BNMSWD"), "doc");
        EXPECT_EQ(table.colExtensions.value("WDBNMSWD"), "doc");
        EXPECT_EQ(table.colExtensions.value("XDOCXPR3"), "qxd");
        EXPECT_EQ(table.description("W6BNMSWD"), "Word 6 Document");
        EXPECT_EQ(table.description("WDBNMSWD"), "Word 3/4/5 Macintosh Document");
        EXPECT_EQ(table.description("XDOCXPR3"), "Quark XPress Document");
        expectCollectionsAgree();
    }

    SignatureTable table;
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
};

// --- Defaults ----------------------------------------------------------------------------------

TEST_F(LoadSignaturesTest, DefaultsReplaceTheTableAndLeaveTheCountAlone) {
    table.colExtensions.add("TEXTttxt", "txt");
    table.colDescriptions.add("TEXTttxt", "Text");
    table.nSignatures = 17;
    SetDefaultSignatures(table);
    expectDefaults();
    EXPECT_EQ(table.description("TEXTttxt"), "");
    EXPECT_EQ(table.nSignatures, 17);
    EXPECT_TRUE(files.replaced.empty()); // held in memory only
}

TEST_F(LoadSignaturesTest, AMissingFileGivesTheDefaultsSilently) {
    table.nSignatures = 5;
    load();
    expectDefaults();
    EXPECT_EQ(table.nSignatures, 0);
    EXPECT_EQ(table.size(), 3u);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(LoadSignaturesTest, AnEmptyFileGivesAnEmptyTable) {
    files.putFile(kPath, "");
    load();
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.colExtensions.size(), 0u);
    EXPECT_EQ(table.nSignatures, 0);
    EXPECT_TRUE(notifier.messages.empty());
}

// --- Reading -----------------------------------------------------------------------------------

TEST_F(LoadSignaturesTest, LoadsEveryRowInFileOrder) {
    files.putFile(kPath, "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                         "\"8BPS8BIM\",\"\",\"Photoshop Document\"\r\n"
                         "\"TEXTttxt\",\"txt\",\"Text, plain\"\r\n");
    load();
    EXPECT_EQ(keys(), (std::vector<std::string>{"XDOCXPR3", "8BPS8BIM", "TEXTttxt"}));
    EXPECT_EQ(table.nSignatures, 3);
    EXPECT_EQ(table.colExtensions.value("8BPS8BIM"), ""); // an empty extension is a row like any
    EXPECT_EQ(table.description("8bps8bim"), "Photoshop Document");
    EXPECT_EQ(table.description("TEXTTTXT"), "Text, plain");
    EXPECT_EQ(table.description("W6BNMSWD"), ""); // no defaults mixed in
    expectCollectionsAgree();
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(LoadSignaturesTest, EachLoadStartsFromAnEmptyTable) {
    files.putFile(kPath, "A,a,first\r\n");
    load();
    files.putFile(kPath, "B,b,second\r\n");
    load();
    EXPECT_EQ(keys(), (std::vector<std::string>{"B"}));
    EXPECT_EQ(table.nSignatures, 1);
}

TEST_F(LoadSignaturesTest, SkipsRowsWithoutSignatureOrDescriptionSilently) {
    files.putFile(kPath, "\"AAAAAAAA\",\"a\",\"\"\r\n"
                         "\"\",\"b\",\"No signature\"\r\n"
                         "\"CCCCCCCC\",\"\",\"Kept\"\r\n");
    load();
    EXPECT_EQ(keys(), (std::vector<std::string>{"CCCCCCCC"}));
    EXPECT_EQ(table.nSignatures, 1);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(LoadSignaturesTest, KeepsSignaturesAsWrittenWhateverTheirLength) {
    files.putFile(kPath, "\"TEXT\",\"txt\",\"Short\"\r\n\" PDF CARO \",\"pdf\",\"Spaced\"\r\n");
    load();
    EXPECT_EQ(keys(), (std::vector<std::string>{"TEXT", " PDF CARO "}));
    EXPECT_EQ(table.nSignatures, 2);
    EXPECT_EQ(table.description("PDF CARO"), ""); // not trimmed
}

TEST_F(LoadSignaturesTest, ConvertsTheFileCodePage) {
    files.putFile(kPath, "\"TEXT\x80\xE9\x9Cx\",\"txt\",\"Caf\xE9 \x96 \x80 \x93ok\x94\"\r\n");
    load();
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys()[0], "TEXT\xE2\x82\xAC\xC3\xA9\xC5\x93x");
    EXPECT_EQ(table.description("text\xE2\x82\xAC\xC3\xA9\xC5\x93X"),
              "Caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC \xE2\x80\x9Cok\xE2\x80\x9D");
}

TEST_F(LoadSignaturesTest, HasNoLimitOf32767Rows) {
    std::string text;
    for (int i = 0; i < 40000; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "\"S%07d\",\"x\",\"Row %d\"\r\n", i, i);
        text += line;
    }
    files.putFile(kPath, text);
    load();
    EXPECT_EQ(table.nSignatures, 40000);
    EXPECT_EQ(table.size(), 40000u);
    EXPECT_EQ(table.description("s0039999"), "Row 39999");
    EXPECT_TRUE(notifier.messages.empty());
}

// --- Duplicates --------------------------------------------------------------------------------

TEST_F(LoadSignaturesTest, ADuplicateInAnotherCaseKeepsTheFirstRowAndWarns) {
    files.putFile(kPath, "\"TEXTttxt\",\"txt\",\"First\"\r\n"
                         "\"textTTXT\",\"asc\",\"Second\"\r\n"
                         "\"8BPS8BIM\",\"psd\",\"Photoshop\"\r\n");
    load();
    EXPECT_EQ(keys(), (std::vector<std::string>{"TEXTttxt", "8BPS8BIM"}));
    EXPECT_EQ(table.description("TEXTTTXT"), "First");
    EXPECT_EQ(table.colExtensions.value("TEXTTTXT"), "txt");
    EXPECT_EQ(table.nSignatures, 2);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Duplicate key in Signatures file: textTTXT");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
    expectCollectionsAgree();
}

TEST_F(LoadSignaturesTest, OneWarningPerDuplicateInFrench) {
    files.putFile(kPath, "A,a,1\r\nA,a,2\r\nB,b,3\r\na,a,4\r\n");
    load(kFrench);
    EXPECT_EQ(table.nSignatures, 2);
    ASSERT_EQ(notifier.messages.size(), 2u);
    for (const auto& message : notifier.messages) {
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(notifier.messages[0].text, "Doublon dans le fichier des Signatures: A");
    EXPECT_EQ(notifier.messages[1].text, "Doublon dans le fichier des Signatures: a");
}

// --- Corrupted file ----------------------------------------------------------------------------

TEST_F(LoadSignaturesTest, ABlankLineAfterTheLastRecordCorruptsTheFile) {
    const std::string text =
        "\"TEXTttxt\",\"txt\",\"Text\"\r\n\"8BPS8BIM\",\"psd\",\"Photoshop\"\r\n"
        "\r\n";
    files.putFile(kPath, text);
    load();
    expectDefaults(); // the rows read before are dropped
    EXPECT_EQ(table.nSignatures, 2);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text,
              "Corrupted Signatures file:\r\n/opt/lantrivex/Signatures.txt\r\nLine:2");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(files.contents(kPath), text);
    EXPECT_TRUE(files.replaced.empty());
}

TEST_F(LoadSignaturesTest, AFailureInTheFirstRecordShowsLineZeroInFrench) {
    files.putFile(kPath, "\"W6BNMSWD\",\"doc\"");
    load(kFrench);
    expectDefaults();
    EXPECT_EQ(table.nSignatures, 0);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text,
              "Fichier Signatures endommag\xC3\xA9:\r\n/opt/lantrivex/Signatures.txt\r\nLigne:0");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
}

TEST_F(LoadSignaturesTest, TheLineNumberCountsRowsNotLines) {
    // Skipped and duplicate rows are not counted.
    files.putFile(kPath, "A,a,1\r\nB,b,\r\nA,a,dup\r\nC,c,3\r\n\"D\",\"d\",\"never closed\r\n");
    load();
    ASSERT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(notifier.messages[0].text, "Duplicate key in Signatures file: A");
    EXPECT_EQ(notifier.messages[1].text,
              "Corrupted Signatures file:\r\n/opt/lantrivex/Signatures.txt\r\nLine:2");
    EXPECT_EQ(table.nSignatures, 2);
    expectDefaults();
}

TEST_F(LoadSignaturesTest, RecordsAfterTheFailingOneAreNeverRead) {
    files.putFile(kPath, "A,a,1\r\n\"B\"junk,b,2\r\nA,a,duplicate\r\n");
    load();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(table.nSignatures, 1);
}

TEST_F(LoadSignaturesTest, AnyOtherLanguageValueIsEnglish) {
    files.putFile(kPath, "A,a,1\r\nA,a,1\r\n");
    load(2);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "Duplicate key in Signatures file: A");
}

// --- Unreadable file ---------------------------------------------------------------------------

TEST_F(LoadSignaturesTest, AnUnreadableFileIsReportedAndLeftAlone) {
    files.putUnreadable(kPath, "\"TEXTttxt\",\"txt\",\"Text\"\r\n");
    table.nSignatures = 9;
    load();
    expectDefaults();
    EXPECT_EQ(table.nSignatures, 0);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text,
              "Unreadable Signatures file:\r\n/opt/lantrivex/Signatures.txt");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(files.contents(kPath), "\"TEXTttxt\",\"txt\",\"Text\"\r\n");
    EXPECT_TRUE(files.replaced.empty());
}

TEST_F(LoadSignaturesTest, AnUnreadableFileIsReportedInFrench) {
    files.putUnreadable(kPath);
    load(kFrench);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text,
              "Fichier Signatures illisible:\r\n/opt/lantrivex/Signatures.txt");
    EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Critical);
}

// --- Round trip with the writer ----------------------------------------------------------------

TEST_F(LoadSignaturesTest, ReadsBackWhatTheWriterWrote) {
    const std::vector<SignatureRecord> records = {
        {"8BPS8BIM", "psd", "Photoshop Document"},
        {"TEXTttxt", "", "Texte, brut \xE2\x80\x94 \xC3\xA9t\xC3\xA9"},
        {"XLS5XCEL", "xls", "Excel 5 Worksheet"},
    };
    std::string error;
    ASSERT_TRUE(writeSignatureFile(files, kPath, records, error)) << error;
    load();
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(table.nSignatures, 3);
    for (const auto& record : records) {
        EXPECT_EQ(table.colExtensions.value(record.signature), record.extension);
        EXPECT_EQ(table.description(record.signature), record.description);
    }
}

} // namespace
} // namespace lantrivex::signatures

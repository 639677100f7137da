// SPDX-License-Identifier: GPL-3.0-or-later
#include "signatures/SignatureLoader.h"

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"

#include <gtest/gtest.h>
#include <tuple>

namespace lantrivex::signatures {
namespace {

using Rows = std::vector<std::string>;

const std::string kPath = "/opt/lantrivex/Signatures.txt";
const Rows kDefaults = {"W6BNMSWD=doc|Word 6 Document",
                        "WDBNMSWD=doc|Word 3/4/5 Macintosh Document",
                        "XDOCXPR3=qxd|Quark XPress Document"};

class LoadSignaturesTest : public ::testing::Test {
protected:
    void SetUp() override { table.sSignaturesFile = kPath; }

    void load(const std::string& text, LanguageFlag nLangue = kEnglish) {
        files.putFile(kPath, text);
        LoadSignatures(table, files, notifier, nLangue);
    }

    // The table as "key=extension|description", both collections read side by side.
    Rows rows() const {
        Rows out;
        EXPECT_EQ(table.colExtensions.size(), table.colDescriptions.size());
        for (std::size_t i = 0; i < table.colDescriptions.size(); ++i) {
            const auto& e = table.colExtensions.entries()[i];
            const auto& d = table.colDescriptions.entries()[i];
            EXPECT_EQ(e.key, d.key);
            out.push_back(d.key + "=" + e.item + "|" + d.item);
        }
        return out;
    }

    SignatureTable table;
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
};

TEST_F(LoadSignaturesTest, DefaultsForAMissingFileNoneForAnEmptyOne) {
    table.colDescriptions.add("TEXTttxt", "Text");
    table.colExtensions.add("TEXTttxt", "txt");
    table.nSignatures = 17;
    SetDefaultSignatures(table);
    EXPECT_EQ(rows(), kDefaults);
    EXPECT_EQ(table.nSignatures, 17) << "the defaults leave the count alone";
    LoadSignatures(table, files, notifier, kEnglish);
    EXPECT_EQ(rows(), kDefaults);
    EXPECT_EQ(table.nSignatures, 0);
    load("");
    EXPECT_EQ(rows(), Rows{});
    EXPECT_TRUE(notifier.messages.empty() && files.replaced.empty());
}

TEST_F(LoadSignaturesTest, LoadsRowsAsWrittenInFileOrder) {
    load("A,a,first\r\n");
    load("\"XDOCXPR3\",\"qxd\",\"Quark\"\r\n\"AAAAAAAA\",\"a\",\"\"\r\n\"\",\"b\",\"No "
         "signature\"\r\n"
         "\"8BPS8BIM\",\"\",\"Photoshop\"\r\n\" PDF CARO \",\"pdf\",\"Spaced\"\r\n"
         "\"TEXT\x80\xE9\x9Cx\",\"txt\",\"Caf\xE9 \x96 \x93ok\x94\"\r\n");
    EXPECT_EQ(rows(), (Rows{"XDOCXPR3=qxd|Quark", "8BPS8BIM=|Photoshop", " PDF CARO =pdf|Spaced",
                            "TEXT€éœx=txt|Café – “ok”"}));
    EXPECT_EQ(table.nSignatures, 4);
    EXPECT_EQ(table.description("PDF CARO"), "") << "not trimmed";
    EXPECT_EQ(table.description("text€éœX"), "Café – “ok”");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(LoadSignaturesTest, HasNoLimitOf32767Rows) {
    std::string text;
    for (int i = 0; i < 40000; ++i) {
        text.append("S").append(std::to_string(1000000 + i)).append(",x,Row ");
        text.append(std::to_string(i)).append("\r\n");
    }
    load(text);
    EXPECT_TRUE(table.nSignatures == 40000 && table.size() == 40000u);
    EXPECT_EQ(table.description("s1039999"), "Row 39999");
}

TEST_F(LoadSignaturesTest, EachDuplicateKeepsTheFirstRowAndWarns) {
    load("\"TEXTttxt\",\"txt\",\"First\"\r\n\"textTTXT\",\"asc\",\"Second\"\r\nB,b,3\r\n"
         "\xC9TEXabcd,e,3\r\n\xE9TEXabcd,e,4\r\n\x8C\x8A\x8E\x9F,o,5\r\n\x9C\x9A\x9E\xFF,o,6\r\n");
    EXPECT_EQ(rows(), (Rows{"TEXTttxt=txt|First", "B=b|3", "ÉTEXabcd=e|3", "ŒŠŽŸ=o|5"}));
    EXPECT_EQ(table.nSignatures, 4);
    load("A,a,1\r\nA,a,2\r\nB,b,3\r\na,a,4\r\n", kFrench);
    load("B,b,1\r\nB,b,1\r\n", 2); // any value but 1 is English
    EXPECT_EQ(
        notifier.texts(),
        (Rows{"Duplicate key in Signatures file: textTTXT",
              "Duplicate key in Signatures file: éTEXabcd",
              "Duplicate key in Signatures file: œšžÿ", "Doublon dans le fichier des Signatures: A",
              "Doublon dans le fichier des Signatures: a", "Duplicate key in Signatures file: B"}));
    for (const auto& message : notifier.messages) {
        EXPECT_EQ(message.icon, platform::MessageIcon::Exclamation);
    }
}

TEST_F(LoadSignaturesTest, PastTenDuplicatesOneClosingMessageTellsHowManyMoreThereWere) {
    const auto duplicates = [](int n) {
        std::string text = "A,a,first\r\n";
        for (int i = 0; i < n; ++i) {
            text.append(i % 2 ? "A" : "a").append(",x,").append(std::to_string(i)).append("\r\n");
        }
        return text + "B,b,last\r\n";
    };
    for (const auto& [n, lang, closing] :
         {std::tuple{10, kEnglish, std::string()},
          std::tuple{11, kEnglish, std::string("More duplicate keys in Signatures file: 1")},
          std::tuple{100000, kFrench,
                     std::string("Autres doublons dans le fichier des Signatures: 99990")}}) {
        notifier.messages.clear();
        load(duplicates(n), lang);
        EXPECT_EQ(rows(), (Rows{"A=a|first", "B=b|last"})) << n;
        std::vector<std::string> expected;
        for (int i = 0; i < 10; ++i) {
            expected.push_back(std::string(lang == kFrench
                                               ? "Doublon dans le fichier des Signatures: "
                                               : "Duplicate key in Signatures file: ") +
                               (i % 2 ? "A" : "a"));
        }
        if (!closing.empty()) {
            expected.push_back(closing);
        }
        EXPECT_EQ(notifier.texts(), expected) << n;
        for (const auto& message : notifier.messages) {
            EXPECT_EQ(message.icon, platform::MessageIcon::Exclamation);
        }
    }
}

TEST_F(LoadSignaturesTest, ADamagedOrUnreadableFileGivesTheDefaultsAndIsLeftAlone) {
    const struct {
        std::string text;
        LanguageFlag lang;
        std::int32_t rows;
        std::string message;
        bool unreadable = false;
    } cases[] = {
        // A blank line after the last record starts a record that cannot be completed.
        {"\"TEXTttxt\",\"txt\",\"Text\"\r\n\"8BPS8BIM\",\"psd\",\"Photoshop\"\r\n\r\n", kEnglish, 2,
         "Corrupted Signatures file:\r\n" + kPath + "\r\nLine:2"},
        {"\"W6BNMSWD\",\"doc\"", kFrench, 0,
         "Fichier Signatures endommagé:\r\n" + kPath + "\r\nLigne:0"},
        // Skipped and duplicate rows are not counted; nothing after the failure is read.
        {"A,a,1\r\nB,b,\r\nC,c,3\r\n\"D\"junk,d,4\r\nA,a,dup\r\n", kEnglish, 2,
         "Corrupted Signatures file:\r\n" + kPath + "\r\nLine:2"},
        {"A,a,1\r\n", kEnglish, 0, "Unreadable Signatures file:\r\n" + kPath, true},
        {"A,a,1\r\n", kFrench, 0, "Fichier Signatures illisible:\r\n" + kPath, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        notifier = {};
        table.nSignatures = 9;
        c.unreadable ? files.putUnreadable(kPath, c.text) : files.putFile(kPath, c.text);
        LoadSignatures(table, files, notifier, c.lang);
        EXPECT_EQ(rows(), kDefaults);
        EXPECT_EQ(table.nSignatures, c.rows);
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0].text, c.message);
        EXPECT_EQ(notifier.messages[0].icon, platform::MessageIcon::Critical);
        EXPECT_EQ(files.contents(kPath), c.text);
    }
    EXPECT_TRUE(files.replaced.empty());
}

} // namespace
} // namespace lantrivex::signatures

#include "signatures/SignatureFile.h"

#include "fakes/FakeFileSystem.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lantrivex::signatures {
namespace {

using Records = std::vector<SignatureRecord>;

// Every record of `text` up to the first failed read; `failed` tells whether there was one.
Records readAll(std::string_view text, bool& failed) {
    SignatureRecordReader reader(text);
    Records records;
    SignatureRecord record;
    failed = false;
    while (!reader.atEnd() && !failed) {
        failed = !reader.next(record);
        if (!failed) {
            records.push_back(record);
        }
    }
    return records;
}

struct ReadCase {
    const char* text;
    Records records;
    bool failed = false;
};

TEST(SignatureRecordReader, ReadingRules) {
    const ReadCase cases[] = {
        {"\"W6BNMSWD\",\"doc\",\"Word 6\"\r\n\"XDOCXPR3\",\"qxd\",\"Quark\"\r\n",
         {{"W6BNMSWD", "doc", "Word 6"}, {"XDOCXPR3", "qxd", "Quark"}}},
        {"XDOCXPR3,qxd,Quark XPress\r\n", {{"XDOCXPR3", "qxd", "Quark XPress"}}},
        // Three fields wherever they stand: short lines borrow, long lines lend.
        {"\"A\",\"B\"\r\n\"C\"\r\n", {{"A", "B", "C"}}},
        {"a,b,c,d\r\ne,f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
        // Spaces before a field are skipped, after it dropped, inside quotes kept.
        {"   \"A\",  \"B\", C\r\n", {{"A", "B", "C"}}},
        {"\" A \",\"  \",\"x y\"\r\n", {{" A ", "  ", "x y"}}},
        {"A  , B ,C D  \r\n", {{"A", "B", "C D"}}},
        {"\"A\"  ,\"B\" ,\"C\"   ", {{"A", "B", "C"}}},
        // A quoted field runs to the next quote, commas and line ends included.
        {"\"T\",\"txt\",\"Text, plain\"\r\n", {{"T", "txt", "Text, plain"}}},
        {"\"A\",\"B\",\"two\r\nlines\"\r\n", {{"A", "B", "two\r\nlines"}}},
        // A quote that does not open the field is an ordinary character.
        {"ab\"c,d,e\r\n", {{"ab\"c", "d", "e"}}},
        // Empty fields: two quotes, two commas, a comma at the line end, a blank line.
        {"\"A\",\"\",\"C\"\r\nA,,C\r\nA,B,\r\n", {{"A", "", "C"}, {"A", "", "C"}, {"A", "B", ""}}},
        {"A,B\r\n\r\nC,D,E\r\n", {{"A", "B", ""}, {"C", "D", "E"}}},
        {",,\r\n", {{"", "", ""}}},
        // The last record needs no line end; LF and CR end lines too.
        {"\"A\",\"B\",\"C\"\r\nD,E,\"\"", {{"A", "B", "C"}, {"D", "E", ""}}},
        {"A,B,C\nD,E,F\rG,H,I\r", {{"A", "B", "C"}, {"D", "E", "F"}, {"G", "H", "I"}}},
        {"A,B\n\nC,D,E\r\n", {{"A", "B", ""}, {"C", "D", "E"}}},
        {"", {}},
        // The text ending inside a record fails the read: a missing field, a comma announcing a
        // field that never comes, a blank line or spaces after the last record.
        {"\"A\",\"B\"\r\n", {}, true},
        {"\"A\",\"B\",", {}, true},
        {"A,B,C\r\n\r\n", {{"A", "B", "C"}}, true},
        {"A,B,C\r\n   ", {{"A", "B", "C"}}, true},
        // A double quote never closed, or closed with text after it, fails the read.
        {"\"A\",\"B\",\"C\r\n", {}, true},
        {"\"A", {}, true},
        {"\"A\",\"B\",\"C\"\r\n\"D\",\"E\",\"F\r\n\"G\",\"H\",\"I\"\r\n", {{"A", "B", "C"}}, true},
        {"\"W\",\"wpd\",\"Word \"Pro\" Document\"\r\n", {}, true},
        {"\"A\"x,\"B\",\"C\"\r\nD,E,F\r\n", {}, true},
    };
    for (const ReadCase& c : cases) {
        bool failed = false;
        EXPECT_EQ(readAll(c.text, failed), c.records) << c.text;
        EXPECT_EQ(failed, c.failed) << c.text;
    }
}

class SignatureFileWriter : public ::testing::Test {
protected:
    fakes::FakeFileSystem files;
    std::string error;
    static constexpr const char* kPath = "/p/Signatures.txt";
    static constexpr const char* kOld = "\"OLD_OLD_\",\"o\",\"Old\"\r\n";
    void SetUp() override { files.putFile(kPath, kOld); }
};

TEST_F(SignatureFileWriter, ChecksWhatTheFormatCanStore) {
    EXPECT_EQ(checkStorable({"W6BNMSWD", "doc", "Word, 6 \xE2\x82\xAC caf\xC3\xA9"}),
              RecordProblem::None);
    EXPECT_EQ(checkStorable({"W6BNMSWD", "d\"c", "W"}), RecordProblem::DoubleQuote);
    EXPECT_EQ(checkStorable({"W6BN\xCE\xA9SWD", "doc", "W"}), RecordProblem::NotRepresentable);
    EXPECT_EQ(checkStorable({"W6BNMSWD", "\xC3", "W"}), RecordProblem::NotRepresentable)
        << "a broken UTF-8 sequence";
}

TEST_F(SignatureFileWriter, WritesTheCodePageAndReadsBackTheSameRecords) {
    const Records records = {
        {"8BPS8BIM", "psd", "Photoshop Document"},
        {"W6BNMSWD", "", " spaced, out "},
        {"XLS5XCEL", "xls", "Feuille 5 \xE2\x80\x93 caf\xC3\xA9 \xE2\x82\xAC"},
        {"ZZZZzzzz", "z", "two\r\nlines"},
    };
    ASSERT_TRUE(writeSignatureFile(files, kPath, records, error)) << error;
    const std::string bytes = files.contents(kPath).value_or("");
    EXPECT_EQ(bytes.substr(0, 57), "\"8BPS8BIM\",\"psd\",\"Photoshop Document\"\r\n"
                                   "\"W6BNMSWD\",\"\",\" sp");
    EXPECT_NE(bytes.find("Feuille 5 \x96 caf\xE9 \x80\"\r\n"), std::string::npos);
    bool failed = false;
    EXPECT_EQ(readAll(platform::ansiToUtf8(bytes), failed), records);
    ASSERT_TRUE(writeSignatureFile(files, kPath, {}, error));
    EXPECT_EQ(files.contents(kPath), "") << "an empty list writes an empty file";
}

TEST_F(SignatureFileWriter, AFailedOrRefusedSaveLeavesTheOldFile) {
    files.replaceFailure = "disk full";
    EXPECT_FALSE(writeSignatureFile(files, kPath, {{"NEW_NEW_", "n", "New"}}, error));
    EXPECT_EQ(error, "disk full");
    files.replaceFailure.reset();
    files.replaced.clear();
    EXPECT_FALSE(writeSignatureFile(
        files, kPath, {{"AAAAAAAA", "a", "fine"}, {"BBBBBBBB", "b", "say \"hi\""}}, error));
    EXPECT_NE(error.find("BBBBBBBB"), std::string::npos);
    EXPECT_FALSE(writeSignatureFile(files, kPath, {{"CCCCCCCC", "c", "\xE6\x97\xA5"}}, error));
    EXPECT_NE(error.find("CCCCCCCC"), std::string::npos);
    EXPECT_TRUE(files.replaced.empty()) << "refused before touching the file";
    EXPECT_EQ(files.contents(kPath), kOld);
}

} // namespace
} // namespace lantrivex::signatures

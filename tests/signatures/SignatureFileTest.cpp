// SPDX-License-Identifier: GPL-3.0-or-later
#include "signatures/SignatureFile.h"

#include "fakes/FakeFileSystem.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lantrivex::signatures {
namespace {

using Records = std::vector<SignatureRecord>;
const SignatureRecord kFailed{"(the read failed)", "", ""};

// Every record of `text`, ended by kFailed at the first read that fails.
Records readAll(std::string_view text) {
    SignatureRecordReader reader(text);
    Records records;
    SignatureRecord record;
    while (!reader.atEnd() && (records.empty() || records.back() != kFailed)) {
        records.push_back(reader.next(record) ? record : kFailed);
    }
    return records;
}

TEST(SignatureRecordReader, ReadingRules) {
    const std::pair<const char*, Records> cases[] = {
        {"\"W6BNMSWD\",\"doc\",\"Word 6\"\r\nXDOCXPR3,qxd,Quark XPress\r\n",
         {{"W6BNMSWD", "doc", "Word 6"}, {"XDOCXPR3", "qxd", "Quark XPress"}}},
        // Three fields wherever they stand: short lines borrow, long lines lend.
        {"\"A\",\"B\"\r\n\"C\"\r\n", {{"A", "B", "C"}}},
        {"a,b,c,d\r\ne,f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
        // Spaces before a field are skipped, after it dropped, inside quotes kept.
        {"   \"A\",  \"B\", C\r\nA  , B ,C D  \r\n", {{"A", "B", "C"}, {"A", "B", "C D"}}},
        {"\" A \",\"  \",\"x y\"\r\n", {{" A ", "  ", "x y"}}},
        {"\"A\"  ,\"B\" ,\"C\"   ", {{"A", "B", "C"}}},
        // A quoted field runs to the next quote; a quote inside an unquoted field is a character.
        {"\"T\",\"txt\",\"Text, plain\"\r\n", {{"T", "txt", "Text, plain"}}},
        {"\"A\",\"B\",\"two\r\nlines\"\r\nab\"c,d,e\r\n",
         {{"A", "B", "two\r\nlines"}, {"ab\"c", "d", "e"}}},
        // Empty fields: two quotes, two commas, a comma at the line end, a blank line.
        {"\"A\",\"\",\"C\"\r\nA,,C\r\nA,B,\r\n", {{"A", "", "C"}, {"A", "", "C"}, {"A", "B", ""}}},
        {"A,B\r\n\r\nC,D,E\r\n", {{"A", "B", ""}, {"C", "D", "E"}}},
        {",,\r\n", {{"", "", ""}}},
        // The last record needs no line end; LF and CR end lines too.
        {"\"A\",\"B\",\"C\"\r\nD,E,\"\"", {{"A", "B", "C"}, {"D", "E", ""}}},
        {"A,B,C\nD,E,F\rG,H,I\r", {{"A", "B", "C"}, {"D", "E", "F"}, {"G", "H", "I"}}},
        {"", {}},
        // A read fails at a missing field, a comma announcing no field, a blank line or spaces
        // after the last record, a quote never closed, text after a closing quote.
        {"\"A\",\"B\"\r\n", {kFailed}},
        {"\"A\",\"B\",", {kFailed}},
        {"A,B,C\r\n\r\n", {{"A", "B", "C"}, kFailed}},
        {"A,B,C\r\n   ", {{"A", "B", "C"}, kFailed}},
        {"\"A\",\"B\",\"C\r\n", {kFailed}},
        {"\"A\",\"B\",\"C\"\r\n\"D\",\"E\",\"F\r\n\"G\",\"H\",\"I\"\r\n",
         {{"A", "B", "C"}, kFailed}},
        {"\"W\",\"wpd\",\"Word \"Pro\" Document\"\r\n", {kFailed}},
        {"\"A\"x,\"B\",\"C\"\r\nD,E,F\r\n", {kFailed}},
    };
    for (const auto& [text, records] : cases) {
        EXPECT_EQ(readAll(text), records) << text;
    }
}

TEST(SignatureFileWriter, WritesTheCodePageReadsBackAndRefusesWhatItCannotStore) {
    const std::string path = "/p/Signatures.txt";
    fakes::FakeFileSystem files;
    std::string error;
    const Records records = {
        {"8BPS8BIM", "psd", "Photoshop Document"},
        {"W6BNMSWD", "", " spaced, out "},
        {"XLS5XCEL", "xls", "Feuille 5 \xE2\x80\x93 caf\xC3\xA9 \xE2\x82\xAC"},
        {"ZZZZzzzz", "z", "two\r\nlines"},
    };
    ASSERT_TRUE(writeSignatureFile(files, path, records, error)) << error;
    const std::string bytes = files.contents(path).value_or("");
    EXPECT_EQ(bytes.substr(0, 57), "\"8BPS8BIM\",\"psd\",\"Photoshop Document\"\r\n"
                                   "\"W6BNMSWD\",\"\",\" sp");
    EXPECT_NE(bytes.find("Feuille 5 \x96 caf\xE9 \x80\"\r\n"), std::string::npos);
    EXPECT_EQ(readAll(platform::ansiToUtf8(bytes)), records);
    // A double quote, a character outside the code page, broken UTF-8: named, nothing written.
    for (const Records& bad :
         {Records{{"AAAAAAAA", "a", "fine"}, {"BBBBBBBB", "b", "say \"hi\""}},
          Records{{"BBBBBBBB", "\"", "x"}}, Records{{"BBBBBBBB", "c", "\xE6\x97\xA5"}},
          Records{{"BBBBBBBB", "\xC3", "x"}}}) {
        EXPECT_FALSE(writeSignatureFile(files, path, bad, error));
        EXPECT_NE(error.find("BBBBBBBB"), std::string::npos) << error;
    }
    EXPECT_EQ(files.replaced.size(), 1u);
    files.replaceFailure = "disk full";
    EXPECT_FALSE(writeSignatureFile(files, path, {}, error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(files.contents(path), bytes);
    files.replaceFailure.reset();
    ASSERT_TRUE(writeSignatureFile(files, path, {}, error));
    EXPECT_EQ(files.contents(path), "") << "an empty list writes an empty file";
}

} // namespace
} // namespace lantrivex::signatures

#include "signatures/SignatureFile.h"

#include "fakes/FakeFileSystem.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lantrivex::signatures {
namespace {

using Records = std::vector<SignatureRecord>;

// Reads every record of `text`; `failed` tells whether the last read failed.
Records readAll(std::string_view text, bool* failed = nullptr) {
    SignatureRecordReader reader(text);
    Records records;
    bool failure = false;
    while (!reader.atEnd()) {
        SignatureRecord record;
        if (!reader.next(record)) {
            failure = true;
            break;
        }
        records.push_back(record);
    }
    if (failed) {
        *failed = failure;
    } else {
        EXPECT_FALSE(failure) << "reading failed in: " << text;
    }
    return records;
}

// --- Reading rules ---------------------------------------------------------------------------

TEST(SignatureRecordReader, ReadsTheWrittenForm) {
    const Records records = readAll("\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                                    "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n");
    EXPECT_EQ(records, (Records{{"W6BNMSWD", "doc", "Word 6 Document"},
                                {"XDOCXPR3", "qxd", "Quark XPress Document"}}));
}

TEST(SignatureRecordReader, TakesThreeFieldsWhereverTheyStand) {
    // A short line takes its missing field from the next line; a long line's fourth field starts
    // the next record.
    EXPECT_EQ(readAll("\"A\",\"B\"\r\n\"C\"\r\n"), (Records{{"A", "B", "C"}}));
    EXPECT_EQ(readAll("a,b,c,d\r\ne,f\r\n"), (Records{{"a", "b", "c"}, {"d", "e", "f"}}));
    EXPECT_EQ(readAll("a\r\nb\r\nc\r\n"), (Records{{"a", "b", "c"}}));
}

TEST(SignatureRecordReader, SkipsSpacesBeforeAField) {
    EXPECT_EQ(readAll("   \"A\",  \"B\", C\r\n"), (Records{{"A", "B", "C"}}));
    // Spaces inside quotes are the field's own.
    EXPECT_EQ(readAll("\" A \",\"  \",\"x y\"\r\n"), (Records{{" A ", "  ", "x y"}}));
}

TEST(SignatureRecordReader, AQuotedFieldRunsToTheNextQuote) {
    EXPECT_EQ(readAll("\"TEXTttxt\",\"txt\",\"Text, plain, simple\"\r\n"),
              (Records{{"TEXTttxt", "txt", "Text, plain, simple"}}));
    // Line ends inside quotes belong to the field too.
    EXPECT_EQ(readAll("\"A\",\"B\",\"two\r\nlines\"\r\n"), (Records{{"A", "B", "two\r\nlines"}}));
}

TEST(SignatureRecordReader, AnUnquotedFieldRunsToTheNextCommaOrLineEnd) {
    EXPECT_EQ(readAll("W6BNMSWD,doc,Word 6 Document\r\n"),
              (Records{{"W6BNMSWD", "doc", "Word 6 Document"}}));
    // A quote that does not open the field is an ordinary character.
    EXPECT_EQ(readAll("ab\"c,d,e\r\n"), (Records{{"ab\"c", "d", "e"}}));
}

TEST(SignatureRecordReader, UnquotedAndQuotedFormsReadAlike) {
    EXPECT_EQ(readAll("XDOCXPR3,qxd,Quark XPress Document\r\n"),
              readAll("\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"));
}

TEST(SignatureRecordReader, EmptyFields) {
    // Two double quotes, two commas in a row, a comma at the end of a line, a blank line.
    EXPECT_EQ(readAll("\"A\",\"\",\"C\"\r\n"), (Records{{"A", "", "C"}}));
    EXPECT_EQ(readAll("A,,C\r\n"), (Records{{"A", "", "C"}}));
    EXPECT_EQ(readAll("A,B,\r\n"), (Records{{"A", "B", ""}}));
    EXPECT_EQ(readAll("A,B\r\n\r\nC,D,E\r\n"), (Records{{"A", "B", ""}, {"C", "D", "E"}}));
    EXPECT_EQ(readAll(",,\r\n"), (Records{{"", "", ""}}));
}

TEST(SignatureRecordReader, TheLineEndAfterTheThirdFieldBelongsToTheRecord) {
    SignatureRecordReader reader("\"A\",\"B\",\"C\"\r\n");
    SignatureRecord record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_TRUE(reader.atEnd());
}

TEST(SignatureRecordReader, TheEndOfTheTextInsideARecordFailsTheRead) {
    bool failed = false;
    EXPECT_EQ(readAll("\"A\",\"B\"\r\n", &failed), Records{});
    EXPECT_TRUE(failed);
    // A comma at the very end announces a third field that never comes.
    readAll("\"A\",\"B\",", &failed);
    EXPECT_TRUE(failed);
    // A blank line after the last record starts a record that cannot be completed.
    EXPECT_EQ(readAll("A,B,C\r\n\r\n", &failed), (Records{{"A", "B", "C"}}));
    EXPECT_TRUE(failed);
    // So do spaces alone.
    readAll("A,B,C\r\n   ", &failed);
    EXPECT_TRUE(failed);
}

TEST(SignatureRecordReader, AnEmptyTextHoldsNoRecord) {
    SignatureRecordReader reader("");
    EXPECT_TRUE(reader.atEnd());
    SignatureRecord record;
    EXPECT_FALSE(reader.next(record));
}

// --- What the rules leave open -----------------------------------------------------------------

TEST(SignatureRecordReader, ADoubleQuoteNeverClosedFailsTheRead) {
    bool failed = false;
    readAll("\"A\",\"B\",\"C\r\n", &failed);
    EXPECT_TRUE(failed);
    readAll("\"A", &failed);
    EXPECT_TRUE(failed);
    // A quote left open in one record closes on the next record's first quote, and the text after
    // it gives the damage away.
    EXPECT_EQ(readAll("\"A\",\"B\",\"C\"\r\n\"D\",\"E\",\"F\r\n\"G\",\"H\",\"I\"\r\n", &failed),
              (Records{{"A", "B", "C"}}));
    EXPECT_TRUE(failed);
}

TEST(SignatureRecordReader, ALastRecordWithoutLineEndIsRead) {
    EXPECT_EQ(readAll("\"A\",\"B\",\"C\"\r\n\"D\",\"E\",\"F\""),
              (Records{{"A", "B", "C"}, {"D", "E", "F"}}));
    EXPECT_EQ(readAll("D,E,F"), (Records{{"D", "E", "F"}}));
    EXPECT_EQ(readAll("D,E,\"\""), (Records{{"D", "E", ""}}));
}

TEST(SignatureRecordReader, AcceptsLfAndCrLineEnds) {
    EXPECT_EQ(readAll("\"A\",\"B\",\"C\"\n\"D\",\"E\",\"F\"\n"),
              (Records{{"A", "B", "C"}, {"D", "E", "F"}}));
    EXPECT_EQ(readAll("A,B,C\rD,E,F\r"), (Records{{"A", "B", "C"}, {"D", "E", "F"}}));
    EXPECT_EQ(readAll("A,B\n\nC,D,E\r\n"), (Records{{"A", "B", ""}, {"C", "D", "E"}}));
}

TEST(SignatureRecordReader, DropsSpacesAfterAField) {
    EXPECT_EQ(readAll("A  , B ,C D  \r\n"), (Records{{"A", "B", "C D"}}));
    EXPECT_EQ(readAll("\"A\"  ,\"B\" ,\"C\"   \r\n"), (Records{{"A", "B", "C"}}));
    EXPECT_EQ(readAll("\"A\",\"B\",\"C\"   "), (Records{{"A", "B", "C"}}));
}

TEST(SignatureRecordReader, TextAfterAClosingQuoteFailsTheRead) {
    // "Word "Pro" Document" cannot be stored; reading it as fields would cut it in pieces.
    bool failed = false;
    readAll("\"WPROWPRO\",\"wpd\",\"Word \"Pro\" Document\"\r\n", &failed);
    EXPECT_TRUE(failed);
    readAll("\"A\"x,\"B\",\"C\"\r\n", &failed);
    EXPECT_TRUE(failed);
}

TEST(SignatureRecordReader, NothingIsReadAfterAFailure) {
    SignatureRecordReader reader("\"A\"x,\"B\",\"C\"\r\nD,E,F\r\n");
    SignatureRecord record;
    EXPECT_FALSE(reader.next(record));
    EXPECT_TRUE(reader.atEnd());
}

// --- Writing --------------------------------------------------------------------------------

TEST(SignatureFileWriter, FormatsARecordAsWritten) {
    EXPECT_EQ(formatSignatureRecord({"W6BNMSWD", "doc", "Word 6 Document"}),
              "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n");
    EXPECT_EQ(formatSignatureRecord({"XDOCXPR3", "", "Quark XPress Document"}),
              "\"XDOCXPR3\",\"\",\"Quark XPress Document\"\r\n");
}

TEST(SignatureFileWriter, ChecksWhatTheFormatCanStore) {
    EXPECT_EQ(checkStorable({"W6BNMSWD", "doc", "Word, 6 \xE2\x82\xAC caf\xC3\xA9"}),
              RecordProblem::None);
    EXPECT_EQ(checkStorable({"W6BN\"SWD", "doc", "Word"}), RecordProblem::DoubleQuote);
    EXPECT_EQ(checkStorable({"W6BNMSWD", "d\"c", "Word"}), RecordProblem::DoubleQuote);
    EXPECT_EQ(checkStorable({"W6BNMSWD", "doc", "Word \"6\""}), RecordProblem::DoubleQuote);
    EXPECT_EQ(checkStorable({"W6BNMSWD", "doc", "\xE6\x97\xA5\xE6\x9C\xAC"}),
              RecordProblem::NotRepresentable);
    EXPECT_EQ(checkStorable({"W6BN\xCE\xA9SWD", "doc", "Word"}), RecordProblem::NotRepresentable);
    EXPECT_EQ(checkStorable({"W6BNMSWD", "\xC3", "Word"}), RecordProblem::NotRepresentable);
}

TEST(SignatureFileWriter, WritesTheCodePageAndReadsBackTheSameRecords) {
    const Records records = {
        {"8BPS8BIM", "psd", "Photoshop Document"},
        {"TEXTttxt", "txt", "Text, plain; commas, too"},
        {"W6BNMSWD", "", " spaced  out "},
        {"XLS5XCEL", "xls", "Feuille Excel 5 \xE2\x80\x93 caf\xC3\xA9 \xE2\x82\xAC"},
        {"ZZZZzzzz", "z", "two\r\nlines"},
    };
    fakes::FakeFileSystem files;
    std::string error;
    ASSERT_TRUE(writeSignatureFile(files, "/p/Signatures.txt", records, error)) << error;
    const auto bytes = files.contents("/p/Signatures.txt");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_NE(bytes->find("Feuille Excel 5 \x96 caf\xE9 \x80\"\r\n"), std::string::npos);
    EXPECT_EQ(bytes->substr(0, 42), "\"8BPS8BIM\",\"psd\",\"Photoshop Document\"\r\n\"TE");
    EXPECT_EQ(readAll(platform::ansiToUtf8(*bytes)), records);
}

TEST(SignatureFileWriter, AnEmptyListWritesAnEmptyFile) {
    fakes::FakeFileSystem files;
    files.putFile("/p/Signatures.txt", "old");
    std::string error;
    ASSERT_TRUE(writeSignatureFile(files, "/p/Signatures.txt", {}, error));
    EXPECT_EQ(files.contents("/p/Signatures.txt"), "");
}

TEST(SignatureFileWriter, AFailedSaveLeavesTheOldFile) {
    fakes::FakeFileSystem files;
    files.putFile("/p/Signatures.txt", "\"OLD_OLD_\",\"o\",\"Old\"\r\n");
    files.replaceFailure = "disk full";
    std::string error;
    EXPECT_FALSE(writeSignatureFile(files, "/p/Signatures.txt", {{"NEW_NEW_", "n", "New"}}, error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(files.contents("/p/Signatures.txt"), "\"OLD_OLD_\",\"o\",\"Old\"\r\n");
}

TEST(SignatureFileWriter, RefusesRecordsItCannotStoreWithoutTouchingTheFile) {
    fakes::FakeFileSystem files;
    files.putFile("/p/Signatures.txt", "old");
    std::string error;
    EXPECT_FALSE(writeSignatureFile(files, "/p/Signatures.txt",
                                    {{"AAAAAAAA", "a", "fine"}, {"BBBBBBBB", "b", "say \"hi\""}},
                                    error));
    EXPECT_NE(error.find("BBBBBBBB"), std::string::npos);
    EXPECT_FALSE(
        writeSignatureFile(files, "/p/Signatures.txt", {{"CCCCCCCC", "c", "\xE6\x97\xA5"}}, error));
    EXPECT_NE(error.find("CCCCCCCC"), std::string::npos);
    EXPECT_TRUE(files.replaced.empty());
    EXPECT_EQ(files.contents("/p/Signatures.txt"), "old");
}

} // namespace
} // namespace lantrivex::signatures

#include "cli/TextOutput.h"

#include <gtest/gtest.h>

namespace lantrivex::cli {
namespace {

TEST(TextOutput, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csvField("plain"), "plain");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(csvField(" lead"), "\" lead\"");
}

TEST(TextOutput, JsonStaysValidWhateverTheBytes) {
    EXPECT_EQ(jsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(jsonString(std::string("\x01\x1f\x7f\t", 4)), R"("\u0001\u001f\u007f\t")");
    EXPECT_EQ(jsonString("\xC3\xA9t\xC3\xA9"), "\"\xC3\xA9t\xC3\xA9\"");
    EXPECT_EQ(jsonString("bad \xE9 byte"), R"("bad \ufffd byte")");
    EXPECT_EQ(jsonString("cut \xE2\x82"), R"("cut \ufffd\ufffd")");
    EXPECT_EQ(jsonString("\xED\xA0\x80"), R"("\ufffd\ufffd\ufffd")"); // a surrogate
}

TEST(TextOutput, DisplayWidthCountsCharacters) {
    EXPECT_EQ(displayWidth("Signature"), 9u);
    EXPECT_EQ(displayWidth("\xC3\xA9t\xC3\xA9"), 3u);
}

} // namespace
} // namespace lantrivex::cli

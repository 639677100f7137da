// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TextOutput.h"

#include <gtest/gtest.h>

namespace lantrivex::cli {
namespace {

TEST(TextOutput, CsvQuotesOnlyWhatNeedsItAndJsonStaysValidWhateverTheBytes) {
    std::string csv;
    for (const char* field : {"plain", "", "a,b", "say \"hi\"", "two\r\nlines", " lead"}) {
        csv += csvField(field) + "|";
    }
    EXPECT_EQ(csv, "plain||\"a,b\"|\"say \"\"hi\"\"\"|\"two\r\nlines\"|\" lead\"|");
    EXPECT_EQ(jsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(jsonString(std::string("\x01\x1f\x7f\t", 4)), R"("\u0001\u001f\u007f\t")");
    EXPECT_EQ(jsonString("\xC3\xA9t\xC3\xA9"), "\"\xC3\xA9t\xC3\xA9\"");
    EXPECT_EQ(jsonString("bad \xE9 byte"), R"("bad \ufffd byte")");
    EXPECT_EQ(jsonString("cut \xE2\x82"), R"("cut \ufffd\ufffd")");
    EXPECT_EQ(jsonString("\xED\xA0\x80"), R"("\ufffd\ufffd\ufffd")"); // a surrogate
}

} // namespace
} // namespace lantrivex::cli

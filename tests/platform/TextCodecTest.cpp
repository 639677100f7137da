#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

TEST(TextCodec, AnsiRoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = ansiToUtf8(all);
    const auto back = utf8ToAnsi(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(TextCodec, KnowsTheWindows1252Letters) {
    EXPECT_EQ(ansiToUtf8("\xE9t\xE9 \x80 \x9C"), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xC5\x93");
    EXPECT_EQ(utf8ToAnsi("Cr\xC3\xA9" "ateur"), std::optional<std::string>("Cr\xE9" "ateur"));
}

TEST(TextCodec, RefusesWhatTheCodePageCannotStore) {
    EXPECT_EQ(utf8ToAnsi("\xE6\x97\xA5"), std::nullopt);      // a CJK character
    EXPECT_EQ(utf8ToAnsi("\xC3"), std::nullopt);              // a cut sequence
    EXPECT_EQ(utf8ToAnsi("\xED\xA0\x80"), std::nullopt);      // a surrogate
    EXPECT_EQ(utf8ToAnsi("\xC0\xAF"), std::nullopt);          // an overlong form
    EXPECT_EQ(utf8ToAnsiLossy("a\xE6\x97\xA5z"), "a?z");
}

} // namespace
} // namespace lantrivex::platform

#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

TEST(TextCodec, RoundTripsEveryByteAndKnowsTheWindows1252Letters) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8(all)), all);
    EXPECT_EQ(ansiToUtf8("\xE9t\xE9 \x80 \x9C"), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xC5\x93");
}

TEST(TextCodec, RefusesWhatTheCodePageCannotStore) {
    // A CJK character, a cut sequence, a surrogate, an overlong form.
    for (const char* bad : {"\xE6\x97\xA5", "\xC3", "\xED\xA0\x80", "\xC0\xAF"}) {
        EXPECT_EQ(utf8ToAnsi(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(utf8ToAnsiLossy("a\xE6\x97\xA5z"), "a?z");
}

} // namespace
} // namespace lantrivex::platform

#include "platform/WindowsPath.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

TEST(WindowsPath, TakesNetworkPathsApart) {
    auto unc = parseUncPath(R"(\\NTSRV1\D$\Mac Volumes\Pub)");
    ASSERT_TRUE(unc.has_value());
    EXPECT_EQ(unc->server, "NTSRV1");
    EXPECT_EQ(unc->share, "D$");
    EXPECT_EQ(unc->rest, R"(Mac Volumes\Pub)");

    unc = parseUncPath("//srv/share/a/b");
    ASSERT_TRUE(unc.has_value());
    EXPECT_EQ(unc->rest, R"(a\b)");

    unc = parseUncPath(R"(\\srv\share)");
    ASSERT_TRUE(unc.has_value());
    EXPECT_EQ(unc->share, "share");
    EXPECT_EQ(unc->rest, "");
}

TEST(WindowsPath, RefusesOtherForms) {
    EXPECT_FALSE(parseUncPath(R"(\\NTSRV)").has_value());
    EXPECT_FALSE(parseUncPath(R"(\\NTSRV\)").has_value());
    EXPECT_FALSE(parseUncPath(R"(\\\share)").has_value());
    EXPECT_FALSE(parseUncPath(R"(D:\Mac)").has_value());
    EXPECT_FALSE(parseUncPath("/srv/mac").has_value());
    EXPECT_TRUE(hasDriveLetter(R"(e:\Mac)"));
    EXPECT_FALSE(hasDriveLetter(R"(\\e:)"));
}

} // namespace
} // namespace lantrivex::platform

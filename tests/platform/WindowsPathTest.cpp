#include "platform/WindowsPath.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

TEST(WindowsPath, TakesNetworkPathsApartAndRefusesOtherForms) {
    // Expected "server|share|rest", or "" when refused.
    const std::pair<const char*, const char*> rows[] = {
        {R"(\\NTSRV1\D$\Mac Volumes\Pub)", R"(NTSRV1|D$|Mac Volumes\Pub)"},
        {"//srv/share/a/b", R"(srv|share|a\b)"},
        {R"(\\srv\share)", "srv|share|"},
        {R"(\\NTSRV)", ""},
        {R"(\\NTSRV\)", ""},
        {R"(\\\share)", ""},
        {R"(D:\Mac)", ""},
        {"/srv/mac", ""}};
    for (const auto& [path, expected] : rows) {
        const auto unc = parseUncPath(path);
        EXPECT_EQ(unc ? unc->server + "|" + unc->share + "|" + unc->rest : "", expected) << path;
    }
    EXPECT_TRUE(hasDriveLetter(R"(e:\Mac)"));
    EXPECT_FALSE(hasDriveLetter(R"(\\e:)"));
}

} // namespace
} // namespace lantrivex::platform

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowsPath.h"

#include <gtest/gtest.h>

namespace lantrivex::platform {
namespace {

TEST(WindowsPath, TakesNetworkPathsApartAndRefusesOtherForms) {
    const std::pair<const char*, const char*> rows[] = {
        {R"(\\NTSRV1\D$\Mac Volumes\Pub)", R"(NTSRV1|D$|Mac Volumes\Pub)"},
        {"//srv/share/a/b", R"(srv|share|a\b)"},
        {R"(\\srv\share)", "srv|share|"},
        {R"(\\srv\...\x)", R"(srv|...|x)"}};
    for (const auto& [path, expected] : rows) {
        const auto unc = parseUncPath(path);
        EXPECT_EQ(unc ? unc->server + "|" + unc->share + "|" + unc->rest : "", expected) << path;
    }
    // "." and ".." are no names: a share or server so named would lead above a share's root.
    for (const char* refused : {R"(\\NTSRV)", R"(\\NTSRV\)", R"(\\\share)", R"(\\srv\..\x)",
                                R"(\\..\share)", "//srv/./x", R"(D:\Mac)", "/srv/mac"}) {
        EXPECT_FALSE(parseUncPath(refused)) << refused;
    }
    EXPECT_TRUE(hasDriveLetter(R"(e:\Mac)"));
    EXPECT_FALSE(hasDriveLetter(R"(\\e:)"));
}

TEST(WindowsPath, FoldersBelowAShareNormalisedNeverAboveIt) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},
        {R"(a\\b\.\c\)", "a|b|c"},
        {"a/b\\c", "a|b|c"}, // either separator
        {R"(..\..\b)", "b"},
        {R"(..\..\etc)", "etc"},
        {"..", ""},
        {R"(a\.\b\..\c\\d)", "a|c|d"},
        {R"(x\..\..\y\.)", "y"},
        {"...", "..."}}; // more dots make an ordinary name
    for (const auto& [rest, expected] : rows) {
        std::string parts;
        for (const std::string& part : normalisedPathParts(rest)) {
            parts += (parts.empty() ? "" : "|") + part;
        }
        EXPECT_EQ(parts, expected) << rest;
    }
}

} // namespace
} // namespace lantrivex::platform

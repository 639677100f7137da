// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SystemText.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(SystemText, NameVersionSigned16BitBuildAndServicePack) {
    using V = platform::OsVersionInfo;
    const std::pair<V, const char*> rows[] = {
        {{2, 4, 0, 1381, std::string("Service Pack 6\0garbage", 22), ""},
         "Windows NT v.4.0, Build 1381, Service Pack 6"},
        {{2, 5, 0, 2195, "  Service Pack 4  ", ""},
         "Windows 2000 v.5.0, Build 2195, Service Pack 4"},
        {{2, 10, 0, 19045, "", ""}, "Windows 2000 v.10.0, Build 19045"},
        // 9x: the high word of the build number carries the version.
        {{1, 4, 0, 0x040003B6, " C ", ""}, "Windows 95 v.4.0, Build 950, C"},
        {{1, 4, 10, 0x040A07CE, "", ""}, "Windows 98 v.4.10, Build 1998"},
        {{1, 4, 90, 0x045A0BB8, "", ""}, " v.4.90, Build 3000"},
        {{2, 5, 1, 40000, "", ""}, "Windows 2000 v.5.1, Build -25536"},
        {{2, 4, 0, 1381, "    ", ""}, "Windows NT v.4.0, Build 1381"},
        {{2, 4, 0, 1381, std::string("\0Service Pack 6", 15), ""}, "Windows NT v.4.0, Build 1381"},
        {{3, 1, 0, 0, "", ""}, "??? v.1.0, Build 0"},
        {{V::kPlatformOther, 2, 0, 0, "", ""}, "??? v.2.0, Build 0"},
    };
    for (const auto& [version, text] : rows) {
        EXPECT_EQ(systemText(version), text);
    }
    EXPECT_EQ(windowTitle({V::kPlatformOther, 6, 1, 0, "18-amd64", "Linux"}),
              "Lantrivex 1.0 - Linux v.6.1, Build 0, 18-amd64");
}

} // namespace
} // namespace lantrivex::shell

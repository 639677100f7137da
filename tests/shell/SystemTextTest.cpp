#include "shell/SystemText.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(SystemText, NameVersionSigned16BitBuildAndServicePack) {
    struct Row {
        std::int32_t platform;
        std::uint32_t major, minor, build;
        std::string csd;
        const char* text;
    };
    const Row rows[] = {
        {2, 4, 0, 1381, std::string("Service Pack 6\0garbage", 22),
         "Windows NT v.4.0, Build 1381, Service Pack 6"},
        {2, 3, 51, 1057, "", "Windows NT v.3.51, Build 1057"},
        {2, 5, 0, 2195, "  Service Pack 4  ", "Windows 2000 v.5.0, Build 2195, Service Pack 4"},
        {2, 10, 0, 19045, "", "Windows 2000 v.10.0, Build 19045"},
        // 9x: the high word of the build number carries the version.
        {1, 4, 0, 0x040003B6, " C ", "Windows 95 v.4.0, Build 950, C"},
        {1, 4, 10, 0x040A07CE, "", "Windows 98 v.4.10, Build 1998"},
        {1, 4, 90, 0x045A0BB8, "", " v.4.90, Build 3000"},
        {2, 5, 1, 0xFFFF, "", "Windows 2000 v.5.1, Build -1"},
        {2, 5, 1, 40000, "", "Windows 2000 v.5.1, Build -25536"},
        {2, 4, 0, 1381, "    ", "Windows NT v.4.0, Build 1381"},
        {2, 4, 0, 1381, std::string("\0Service Pack 6", 15), "Windows NT v.4.0, Build 1381"},
        {3, 1, 0, 0, "", "??? v.1.0, Build 0"},
    };
    for (const Row& r : rows) {
        platform::OsVersionInfo v;
        v.platformId = r.platform;
        v.majorVersion = r.major;
        v.minorVersion = r.minor;
        v.buildNumber = r.build;
        v.servicePack = r.csd;
        EXPECT_EQ(systemText(v), r.text);
    }
}

TEST(SystemText, OtherSystemsInTheSameFormat) {
    platform::OsVersionInfo other;
    other.platformId = platform::OsVersionInfo::kPlatformOther;
    other.systemName = "Linux";
    other.majorVersion = 6;
    other.minorVersion = 1;
    other.servicePack = "18-amd64";
    EXPECT_EQ(windowTitle(other), "Lantrivex 1.0 - Linux v.6.1, Build 0, 18-amd64");
    other.systemName.clear();
    EXPECT_EQ(systemName(other), "???");
}

} // namespace
} // namespace lantrivex::shell

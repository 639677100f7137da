#include "shell/SystemText.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

using platform::OsVersionInfo;

OsVersionInfo windows(std::int32_t platform, std::uint32_t major, std::uint32_t minor,
                      std::uint32_t build, std::string csd = "") {
    OsVersionInfo v;
    v.platformId = platform;
    v.majorVersion = major;
    v.minorVersion = minor;
    v.buildNumber = build;
    v.servicePack = std::move(csd);
    return v;
}

TEST(SystemText, WindowsFamilies) {
    EXPECT_EQ(systemText(windows(2, 4, 0, 1381, std::string("Service Pack 6\0garbage", 22))),
              "Windows NT v.4.0, Build 1381, Service Pack 6");
    EXPECT_EQ(systemText(windows(2, 3, 51, 1057)), "Windows NT v.3.51, Build 1057");
    EXPECT_EQ(systemText(windows(2, 5, 0, 2195, "  Service Pack 4  ")),
              "Windows 2000 v.5.0, Build 2195, Service Pack 4");
    EXPECT_EQ(systemText(windows(2, 10, 0, 19045)), "Windows 2000 v.10.0, Build 19045");
    // 9x: the high word of the build number carries the version; only the low 16 bits count.
    EXPECT_EQ(systemText(windows(1, 4, 0, 0x040003B6, " C ")), "Windows 95 v.4.0, Build 950, C");
    EXPECT_EQ(systemText(windows(1, 4, 10, 0x040A07CE)), "Windows 98 v.4.10, Build 1998");
    EXPECT_EQ(systemText(windows(1, 4, 90, 0x045A0BB8)), " v.4.90, Build 3000");
}

TEST(SystemText, BuildIsASigned16BitNumber) {
    EXPECT_EQ(systemText(windows(2, 5, 1, 0xFFFF)), "Windows 2000 v.5.1, Build -1");
    EXPECT_EQ(systemText(windows(2, 5, 1, 40000)), "Windows 2000 v.5.1, Build -25536");
}

TEST(SystemText, BlankServicePackAddsNothing) {
    EXPECT_EQ(systemText(windows(2, 4, 0, 1381, "    ")), "Windows NT v.4.0, Build 1381");
    EXPECT_EQ(systemText(windows(2, 4, 0, 1381, std::string("\0Service Pack 6", 15))),
              "Windows NT v.4.0, Build 1381");
}

TEST(SystemText, OtherSystemsInTheSameFormat) {
    OsVersionInfo other;
    other.platformId = OsVersionInfo::kPlatformOther;
    other.systemName = "Linux";
    other.majorVersion = 6;
    other.minorVersion = 1;
    other.buildNumber = 0;
    other.servicePack = "18-amd64";
    EXPECT_EQ(systemText(other), "Linux v.6.1, Build 0, 18-amd64");
    EXPECT_EQ(windowTitle(other), "Lantrivex 1.0 - Linux v.6.1, Build 0, 18-amd64");

    other.systemName.clear();
    EXPECT_EQ(systemName(other), "???");
    EXPECT_EQ(systemName(windows(3, 1, 0, 0)), "???") << "an unknown Windows platform";
}

} // namespace
} // namespace lantrivex::shell

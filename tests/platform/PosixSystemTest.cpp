#include "platform/posix/PosixProgramLocation.h"
#include "platform/posix/PosixSystemVersion.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <tuple>

namespace lantrivex::platform::posix {
namespace {

TEST(PosixSystemVersion, TakesTheFirstThreeNumbersOfTheRelease) {
    const struct {
        const char* release;
        std::uint32_t major, minor, build;
        const char* rest;
    } rows[] = {{"6.1.0-18-amd64", 6, 1, 0, "18-amd64"},
                {"5.15.153.1-microsoft-standard-WSL2", 5, 15, 153, "1-microsoft-standard-WSL2"},
                {"14.0-RELEASE-p3", 14, 0, 0, "RELEASE-p3"},
                {"23.4.0", 23, 4, 0, ""},
                {"6", 6, 0, 0, ""},
                {"6.8.12+bpo-amd64", 6, 8, 12, "+bpo-amd64"},
                {"", 0, 0, 0, ""},
                {"unknown", 0, 0, 0, "unknown"},
                {"6.x", 6, 0, 0, "x"},
                {"6..1", 6, 0, 0, "1"},
                {"99999999999.1.2", 4294967295u, 1, 2, ""}};
    for (const auto& row : rows) {
        const OsVersionInfo info = PosixSystemVersion::fromUname("Linux", row.release);
        EXPECT_EQ(info.platformId, OsVersionInfo::kPlatformOther) << row.release;
        EXPECT_EQ(info.systemName, "Linux") << row.release;
        EXPECT_EQ(std::tie(info.majorVersion, info.minorVersion, info.buildNumber),
                  std::tie(row.major, row.minor, row.build))
            << row.release;
        EXPECT_EQ(info.servicePack, row.rest) << row.release;
    }
    struct utsname names {};
    ASSERT_EQ(::uname(&names), 0);
    const OsVersionInfo info = PosixSystemVersion().query();
    EXPECT_EQ(info.systemName, names.sysname);
    EXPECT_EQ(info.majorVersion, PosixSystemVersion::fromUname("", names.release).majorVersion);
}

TEST(PosixProgramLocation, FindsTheRunningProgramsFolder) {
    EXPECT_EQ(PosixProgramLocation::folderOf("/opt/lantrivex/bin/lantrivex"), "/opt/lantrivex/bin");
    EXPECT_EQ(PosixProgramLocation::folderOf("/lantrivex"), "/");
    EXPECT_EQ(PosixProgramLocation::folderOf("lantrivex"), ".");
    PosixProgramLocation location;
    EXPECT_EQ(location.pathSeparator(), '/');
    const std::string folder = location.programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(folder + "/platform_tests",
                                            std::filesystem::read_symlink("/proc/self/exe")));
}

} // namespace
} // namespace lantrivex::platform::posix

#include "platform/posix/PosixProgramLocation.h"
#include "platform/posix/PosixSystemVersion.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/utsname.h>

namespace lantrivex::platform::posix {
namespace {

void expectVersion(std::string_view release, std::uint32_t major, std::uint32_t minor,
                   std::uint32_t build, std::string_view rest) {
    const OsVersionInfo info = PosixSystemVersion::fromUname("Linux", release);
    EXPECT_EQ(info.platformId, OsVersionInfo::kPlatformOther) << release;
    EXPECT_EQ(info.systemName, "Linux") << release;
    EXPECT_EQ(info.majorVersion, major) << release;
    EXPECT_EQ(info.minorVersion, minor) << release;
    EXPECT_EQ(info.buildNumber, build) << release;
    EXPECT_EQ(info.servicePack, rest) << release;
}

TEST(PosixSystemVersion, TakesTheFirstThreeNumbersOfTheRelease) {
    expectVersion("6.1.0-18-amd64", 6, 1, 0, "18-amd64");
    expectVersion("5.15.153.1-microsoft-standard-WSL2", 5, 15, 153, "1-microsoft-standard-WSL2");
    expectVersion("14.0-RELEASE-p3", 14, 0, 0, "RELEASE-p3");
    expectVersion("23.4.0", 23, 4, 0, "");
    expectVersion("6", 6, 0, 0, "");
    expectVersion("6.8.12+bpo-amd64", 6, 8, 12, "+bpo-amd64");
}

TEST(PosixSystemVersion, CopesWithOddReleases) {
    expectVersion("", 0, 0, 0, "");
    expectVersion("unknown", 0, 0, 0, "unknown");
    expectVersion("6.x", 6, 0, 0, "x");
    expectVersion("6..1", 6, 0, 0, "1");
    expectVersion("99999999999.1.2", 4294967295u, 1, 2, "");
}

TEST(PosixSystemVersion, AsksTheRunningSystem) {
    struct utsname names {};
    ASSERT_EQ(::uname(&names), 0);
    PosixSystemVersion version;
    const OsVersionInfo info = version.query();
    EXPECT_EQ(info.systemName, names.sysname);
    EXPECT_EQ(info.platformId, OsVersionInfo::kPlatformOther);
    EXPECT_EQ(info.majorVersion, PosixSystemVersion::fromUname("", names.release).majorVersion);
}

TEST(PosixProgramLocation, GivesTheFolderOfAFile) {
    EXPECT_EQ(PosixProgramLocation::folderOf("/opt/lantrivex/bin/lantrivex"), "/opt/lantrivex/bin");
    EXPECT_EQ(PosixProgramLocation::folderOf("/lantrivex"), "/");
    EXPECT_EQ(PosixProgramLocation::folderOf("lantrivex"), ".");
}

TEST(PosixProgramLocation, FindsTheRunningProgramsFolder) {
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsTestSupport.h"
#include "platform/win32/Win32DriveList.h"
#include "platform/win32/Win32InstanceGuard.h"
#include "platform/win32/Win32NetworkConnections.h"
#include "platform/win32/Win32ProgramLocation.h"
#include "platform/win32/Win32SystemVersion.h"
#include "shell/SystemText.h"

namespace lantrivex::test {
namespace {

using namespace std::string_literals;

// The title comes from the real version: GetVersionExA under the programs' manifest gives what
// the kernel itself reports (RtlGetVersion, which no compatibility layer changes).
TEST(Win32SystemVersion, TitleFromTheRealVersionRecord) {
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto kernel = reinterpret_cast<RtlGetVersion>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(kernel, nullptr);
    OSVERSIONINFOW real{};
    real.dwOSVersionInfoSize = sizeof real;
    ASSERT_EQ(kernel(&real), 0);

    const platform::OsVersionInfo info = platform::win32::Win32SystemVersion().query();
    EXPECT_EQ(info.platformId, platform::OsVersionInfo::kPlatformWinNT);
    EXPECT_EQ(std::tie(info.majorVersion, info.minorVersion, info.buildNumber),
              std::tie(real.dwMajorVersion, real.dwMinorVersion, real.dwBuildNumber));
    const std::string expected = "Lantrivex 1.0 - Windows 2000 v." +
                                 std::to_string(real.dwMajorVersion) + "." +
                                 std::to_string(real.dwMinorVersion) + ", Build " +
                                 std::to_string(static_cast<std::int16_t>(real.dwBuildNumber));
    EXPECT_EQ(shell::windowTitle(info).substr(0, expected.size()), expected);
}

TEST(Win32DriveList, DriveRootsAndKinds) {
    platform::win32::Win32DriveList drives;
    const std::vector<std::string> roots = drives.driveRoots();
    ASSERT_FALSE(roots.empty());
    for (const std::string& root : roots) {
        EXPECT_TRUE(root.size() == 3 && root.substr(1) == ":\\") << root;
    }
    const char system = [] {
        char folder[MAX_PATH + 1] = {};
        return ::GetWindowsDirectoryA(folder, MAX_PATH) > 0 ? folder[0] : 'C';
    }();
    EXPECT_EQ(drives.driveType(std::string(1, system) + ":\\"), platform::kDriveFixed);
    const DWORD used = ::GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if ((used & (1u << (letter - 'A'))) == 0) {
            EXPECT_EQ(drives.driveType(std::string(1, letter) + ":\\"), platform::kDriveNoRootDir);
            break;
        }
    }
    using Roots = std::vector<std::string>;
    EXPECT_EQ(platform::win32::Win32DriveList::splitRoots("C:\\\0D:\\\0"s),
              (Roots{"C:\\", "D:\\"}));
    EXPECT_EQ(platform::win32::Win32DriveList::splitRoots("C:\\\0D:"s), (Roots{"C:\\"}));
}

TEST(Win32InstanceGuard, OneInstancePerSessionUntilItEnds) {
    const std::string name = "Local\\Lantrivex.Test." + std::to_string(::GetCurrentProcessId());
    auto first = std::make_unique<platform::win32::Win32InstanceGuard>(name);
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_FALSE(first->anotherInstanceRunning()); // it holds the place itself
    platform::win32::Win32InstanceGuard second(name);
    EXPECT_TRUE(second.anotherInstanceRunning());
    first.reset();
    EXPECT_FALSE(second.anotherInstanceRunning());
    platform::win32::Win32InstanceGuard third(name);
    EXPECT_TRUE(third.anotherInstanceRunning());
}

// This computer's name; every current connection comes with a network name.
TEST(Win32NetworkConnections, ComputerNameAndCurrentConnectionsInOneRequest) {
    platform::win32::Win32NetworkConnections network;
    EXPECT_EQ(network.computerName(), computerName());
    EXPECT_FALSE(network.localNamesAreMountPoints());
    SKIP_UNDER_WINE("network connections");
    std::vector<platform::NetworkConnection> connections;
    const std::int32_t answer = network.currentConnections(1024, connections);
    ASSERT_TRUE(answer == platform::kNetOk || answer == platform::kNetNoMoreItems) << answer;
    EXPECT_EQ(connections.empty(), answer == platform::kNetNoMoreItems);
    for (const platform::NetworkConnection& connection : connections) {
        EXPECT_EQ(connection.remoteName.rfind("\\\\", 0), 0u) << connection.remoteName;
    }
}

TEST(Win32ProgramLocation, FolderOfTheProgram) {
    using platform::win32::Win32ProgramLocation;
    const std::pair<std::string, std::string> cases[] = {
        {R"(C:\Program\lantrivex.exe)", R"(C:\Program)"},
        {R"(C:\lantrivex.exe)", R"(C:\)"},
        {R"(\\SRV\Tools\lantrivex.exe)", R"(\\SRV\Tools)"},
        {"lantrivex.exe", "."}};
    for (const auto& [file, folder] : cases) {
        EXPECT_EQ(Win32ProgramLocation::folderOf(file), folder);
    }
    Win32ProgramLocation location;
    const std::string program = location.programFolder();
    EXPECT_EQ(::GetFileAttributesA((program + "\\win32_tests.exe").c_str()) &
                  FILE_ATTRIBUTE_DIRECTORY,
              0u);
    EXPECT_EQ(location.settingsFolder(), program);
}

} // namespace
} // namespace lantrivex::test

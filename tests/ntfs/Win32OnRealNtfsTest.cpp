// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows side on real NTFS named streams. Under Wine: the image that ntfs-3g mounts in its
// windows form, reached through drive Z:, so the streams are real on-disk NTFS streams read
// through Wine's file functions (not through Windows' NTFS driver). On Windows: the temporary
// folder, when it lies on NTFS.

#include "RealNtfs.h"
#include "platform/win32/Win32NamedStreamReader.h"
#include "platform/win32/Win32ProgramLocation.h"
#include "win32/WindowsTestSupport.h"

#include <algorithm>

namespace lantrivex::test {
namespace {

// A folder of the build machine as Wine shows it: drive Z: is its root folder.
std::string onDriveZ(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path.rfind('\\', 0) == 0 ? "Z:" + path : path;
}

// A volume root: the folder with "\" at its end, as a volume at the root of a drive is named
// ("X:\...\mnt\" then reads "X:\...\mnt\:AFP_IdIndex").
std::string volumeRoot(const std::string& mount, const RealNtfsStream& stream) {
    return onDriveZ(mount + "\\" + stream.folder);
}

TEST(Win32RealNtfs, ReadsTheStreamsOfFoldersAndOfTheRootWhole) {
    TempFolder temp;
    std::string mount;
    std::vector<RealNtfsStream> streams;
    if (runningUnderWine()) {
        const RealNtfs ntfs = realNtfs(onDriveZ);
        if (!ntfs.unavailable.empty()) {
            GTEST_SKIP() << ntfs.unavailable;
        }
        ASSERT_FALSE(ntfs.streams.empty()) << "nothing mounted in " << ntfs.folder;
        mount = ntfs.folder + "\\windows";
        streams = ntfs.streams;
    } else {
        char fileSystem[MAX_PATH + 1] = {};
        if (!::GetVolumeInformationA(temp.path().substr(0, 3).c_str(), nullptr, 0, nullptr, nullptr,
                                     nullptr, fileSystem, sizeof fileSystem) ||
            std::string(fileSystem) != "NTFS") {
            GTEST_SKIP() << "the temporary folder is not on NTFS";
        }
        mount = temp.path();
        streams = {{"Few bytes", "W6BNMSWD", 10}, {"3 MiB", "8BIMJPEG", 3 << 20}};
        for (const RealNtfsStream& stream : streams) {
            ASSERT_TRUE(
                writeStream(temp.folder(stream.folder), "AFP_IdIndex", realNtfsBytes(stream)));
        }
        // The stream belongs to the folder: the folder stays a folder and lists it.
        WIN32_FIND_STREAM_DATA found{};
        const HANDLE listing = ::FindFirstStreamW(wide(temp.file("Few bytes")).c_str(),
                                                  FindStreamInfoStandard, &found, 0);
        ASSERT_NE(listing, INVALID_HANDLE_VALUE);
        EXPECT_EQ(std::wstring(found.cStreamName), L":AFP_IdIndex:$DATA");
        ::FindClose(listing);
    }

    std::string arguments = "scan --format csv";
    for (const RealNtfsStream& stream : streams) {
        const std::string root = volumeRoot(mount, stream);
        EXPECT_NE(::GetFileAttributesA(root.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << root;
        const auto opened = platform::win32::Win32NamedStreamReader().open(root, "AFP_IdIndex");
        ASSERT_NE(opened, nullptr) << root;
        EXPECT_EQ(opened->size(), stream.size) << root;
        std::string bytes(static_cast<std::size_t>(stream.size) + 1, '\0');
        bytes.resize(opened->read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size()));
        EXPECT_TRUE(bytes == realNtfsBytes(stream)) << root << ": " << bytes.size() << " bytes";
        arguments += " \"" + root + (root.back() == '\\' ? "\\\"" : "\"");
    }

    // lantrivex-cli.exe counts them all.
    int status = -1;
    const std::string out =
        runProgram("\"" + platform::win32::Win32ProgramLocation().programFolder() +
                       R"(\..\bin\lantrivex-cli.exe" )" + arguments,
                   status);
    EXPECT_EQ(status, 0) << out;
    for (const RealNtfsStream& stream : streams) {
        const std::string row = volumeRoot(mount, stream) + "," +
                                std::to_string(realNtfsCount(stream)) + ",100," + stream.signature +
                                ",";
        EXPECT_NE(out.find(row), std::string::npos) << row << "\n" << out;
    }
}

} // namespace
} // namespace lantrivex::test

// SPDX-License-Identifier: GPL-3.0-or-later
// The POSIX side on a real NTFS file system mounted by ntfs-3g, in both of its stream forms: the
// stream reader, lantrivex-cli's scan and its catalogue, through a connection of the mount table.

#include "RealNtfs.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixNamedStreamReader.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace lantrivex::test {
namespace {

using platform::AccessFailure;

// A share of this computer, on a port where nothing listens: what a mount does not show is not
// found over SMB either, at once and without leaving the machine.
constexpr const char* kShare = R"(\\LOCALHOST\D$)";

std::string networkPath(const std::string& folder) {
    std::string path = std::string(kShare) + "\\" + folder;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Backslashes doubled, as .reg and JSON texts write them.
std::string doubled(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return out;
}

// The program's standard output; its standard error in `errors`, its exit status in `status`.
std::string runCli(const std::string& environment, const std::string& arguments,
                   std::string& errors, int& status, const TempFolder& temp) {
    const std::string errorFile = temp.file("stderr");
    const std::string command = environment + " '" LANTRIVEX_BINARY_DIR "/bin/lantrivex-cli' " +
                                arguments + " 2>'" + errorFile + "'";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (int c = 0; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) {
        out.push_back(static_cast<char>(c));
    }
    const int wait = pipe == nullptr ? -1 : ::pclose(pipe);
    status = wait >= 0 && WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    errors = temp.read("stderr");
    return out;
}

// One mount of the image: "windows" or "xattr".
class RealNtfs : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (!ntfs.unavailable.empty()) {
            GTEST_SKIP() << ntfs.unavailable;
        }
        ASSERT_FALSE(ntfs.streams.empty()) << "nothing mounted in " << ntfs.folder;
        // The mount as the connection \\LOCALHOST\D$ (a mount point without blanks or escapes).
        temp.write("mounts", "//LOCALHOST/D$ " + mount + " cifs ro 0 0\n");
        environment = "LANTRIVEX_MOUNTS='" + temp.file("mounts") + "' LANTRIVEX_REGISTRY_DIR='" +
                      temp.folder("Registry") + "' LANTRIVEX_SMB_PORT=1";
    }

    // The mount gives the whole stream; the other form stops at the kernel's 64 KiB.
    bool whole(const RealNtfsStream& stream) const {
        return GetParam() == "windows" || stream.size <= 65536;
    }

    const test::RealNtfs ntfs = realNtfs([](const std::string& path) { return path; });
    const std::string mount = ntfs.folder + "/" + GetParam();
    TempFolder temp;
    std::string environment;
};

TEST_P(RealNtfs, PosixReaderGivesWholeStreamsOrTellsThemTooLarge) {
    const platform::posix::PathResolver resolver(
        platform::posix::parseMountTable(temp.read("mounts")));
    platform::posix::PosixNamedStreamReader reader(resolver);
    for (const RealNtfsStream& stream : ntfs.streams) {
        for (const std::string& path : {mount + "/" + stream.folder, networkPath(stream.folder)}) {
            platform::StreamOpening opening = reader.openStream(path, "AFP_IdIndex");
            if (!whole(stream)) {
                EXPECT_EQ(opening.stream, nullptr) << path;
                EXPECT_EQ(opening.failure, AccessFailure::StreamTooLarge) << path;
                continue;
            }
            ASSERT_NE(opening.stream, nullptr) << path;
            EXPECT_EQ(opening.stream->size(), stream.size) << path;
            std::string bytes(static_cast<std::size_t>(stream.size) + 1, '\0');
            bytes.resize(
                opening.stream->read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size()));
            EXPECT_TRUE(bytes == realNtfsBytes(stream)) << path << ": " << bytes.size() << " bytes";
        }
    }
    const platform::StreamOpening none =
        reader.openStream(networkPath("Mac Volumes/No index"), "AFP_IdIndex");
    EXPECT_EQ(none.stream, nullptr);
    EXPECT_EQ(none.failure, AccessFailure::Unreachable);
}

TEST_P(RealNtfs, ScanCountsEveryIndexTheMountGivesAndNamesTheOthers) {
    std::string arguments = "scan --format csv";
    for (const RealNtfsStream& stream : ntfs.streams) {
        arguments += " '" + networkPath(stream.folder) + "'";
    }
    std::string errors;
    int status = -1;
    const std::string out = runCli(environment, arguments, errors, status, temp);
    bool allWhole = true;
    for (const RealNtfsStream& stream : ntfs.streams) {
        const std::string row = networkPath(stream.folder) + "," +
                                std::to_string(realNtfsCount(stream)) + ",100," + stream.signature +
                                ",";
        const std::string unread =
            "\n  Volume: " + networkPath(stream.folder) + "\n  " +
            std::string(accessFailureText(AccessFailure::StreamTooLarge, 0)) + "\n";
        EXPECT_EQ(out.find(row) != std::string::npos, whole(stream)) << row << "\n" << out;
        EXPECT_EQ(errors.find(unread) != std::string::npos, !whole(stream)) << unread << errors;
        allWhole = allWhole && whole(stream);
    }
    EXPECT_EQ(status, allWhole ? 0 : 1) << errors;
}

TEST_P(RealNtfs, CatalogueFindsTheVolumeFoldersThroughTheConnection) {
    std::string volumes;
    std::vector<std::string> folders = {"Mac Volumes/No index", "Mac Volumes/Absent"};
    for (const RealNtfsStream& stream : ntfs.streams) {
        folders.push_back(stream.folder);
    }
    for (std::size_t i = 0; i < folders.size(); ++i) {
        std::string path = "D:\\" + folders[i];
        std::replace(path.begin(), path.end(), '/', '\\');
        volumes += "\"Volume " + std::to_string(i) + "\"=\"Path=" + doubled(path) + "\"\r\n";
    }
    temp.write("Registry/LOCALHOST.reg",
               "REGEDIT4\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\MacFile\\Parameters]\r\n"
               "\"ServerName\"=\"Mac NTFS\"\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\MacFile\\Parameters\\"
               "Volumes]\r\n" +
                   volumes);
    std::string errors;
    int status = -1;
    const std::string json =
        runCli(environment, "catalogue --product 0 --format json", errors, status, temp);
    EXPECT_EQ(status, 0) << errors;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string found = R"("root":")" + doubled(networkPath(folders[i])) +
                                  R"(","found":)" +
                                  (folders[i] == "Mac Volumes/Absent" ? "false" : "true");
        EXPECT_NE(json.find(found), std::string::npos) << found << "\n" << json;
    }
}

INSTANTIATE_TEST_SUITE_P(Mounts, RealNtfs, ::testing::Values("windows", "xattr"),
                         [](const auto& mode) { return mode.param; });

} // namespace
} // namespace lantrivex::test

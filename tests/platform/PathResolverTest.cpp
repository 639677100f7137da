#include "platform/posix/PathResolver.h"

#include "TempFolder.h"
#include "platform/posix/MountTable.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

using Kind = ResolvedPath::Kind;

constexpr std::string_view kTable = "/dev/vda1 / ext4 rw,relatime 0 0\n"
                                    "proc /proc proc rw 0 0\n"
                                    "# a comment line\n"
                                    "short line\n"
                                    "//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw,vers=3.0 0 0\n"
                                    "//ntsrv2/Mac\\040Volumes /mnt/mac\\011tab smb3 rw 0 0\n"
                                    "//NTSRV3/share/sub /mnt/sub cifs rw 0 0\n"
                                    "//NTSRV1/D$ /mnt/later cifs rw 0 0\r\n"
                                    "//NTSRV4/E$ /mnt/back\\134slash cifs rw 0 0\n"
                                    "//NTSRV5/pub/ /mnt/pub cifs rw 0 0\n"
                                    "nfs-host:/export /mnt/nfs nfs4 rw 0 0\n";

TEST(MountTable, ParsesLinesAndDecodesEscapes) {
    const auto table = parseMountTable(kTable);
    ASSERT_EQ(table.size(), 9u);
    EXPECT_EQ(table[0].mountPoint, "/");
    EXPECT_EQ(table[2].source, "//NTSRV1/D$");
    EXPECT_EQ(table[2].mountPoint, "/mnt/ntsrv1 d");
    EXPECT_EQ(table[2].fsType, "cifs");
    EXPECT_EQ(table[2].options, "rw,vers=3.0");
    EXPECT_EQ(table[3].source, "//ntsrv2/Mac Volumes");
    EXPECT_EQ(table[3].mountPoint, "/mnt/mac\ttab");
    EXPECT_EQ(table[5].options, "rw"); // without the CR
    EXPECT_EQ(table[6].mountPoint, "/mnt/back\\slash");
    EXPECT_TRUE(parseMountTable("").empty());
}

TEST(MountTable, FindsSmbSharesWithoutRegardToCase) {
    const auto table = parseMountTable(kTable);
    // The share mounted last hides an earlier mount of it; a mount of a folder below the share
    // does not stand for the share.
    const struct {
        const char* server;
        const char* share;
        const char* mountPoint; // "" when not found
    } cases[] = {{"ntsrv2", "MAC VOLUMES", "/mnt/mac\ttab"},
                 {"ntsrv1", "d$", "/mnt/later"},
                 {"NTSRV5", "pub", "/mnt/pub"},
                 {"NTSRV3", "share", ""},
                 {"NTSRV1", "E$", ""},
                 {"nfs-host", "export", ""}};
    for (const auto& c : cases) {
        const auto found = findSmbMount(table, c.server, c.share);
        EXPECT_EQ(found ? found->mountPoint : "", c.mountPoint) << c.server << ' ' << c.share;
    }
}

TEST(MountTable, ReadsTheTableTheEnvironmentNames) {
    TempFolder temp;
    temp.write("mounts", kTable);
    const ScopedEnv env("LANTRIVEX_MOUNTS", temp.file("mounts"));
    EXPECT_EQ(mountTablePath(), temp.file("mounts"));
    EXPECT_EQ(readMountTable().size(), 9u);
    env.set(temp.file("absent"));
    EXPECT_TRUE(readMountTable().empty());
    env.unset();
    EXPECT_EQ(mountTablePath(), "/proc/self/mounts");
}

const std::vector<MountEntry> kMounts =
    parseMountTable("/dev/vda1 / ext4 rw 0 0\n"
                    "//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw 0 0\n"
                    "//NTSRV2/Mac /mnt/mac/ smb3 rw 0 0\n"
                    "//NTSRV3/Root / cifs rw 0 0\n");

TEST(PathResolver, LocalPathsThroughShareMountsNeverAboveTheShare) {
    const std::pair<const char*, const char*> rows[] = {
        {R"(\\NTSRV1\D$\Mac Volumes\Graphisme)", "/mnt/ntsrv1 d/Mac Volumes/Graphisme"},
        {"//ntsrv1/d$/Mac Volumes", "/mnt/ntsrv1 d/Mac Volumes"}, // any case, "/" separators
        {R"(\\NTSRV1\D$)", "/mnt/ntsrv1 d"},
        {R"(\\NTSRV1\D$\)", "/mnt/ntsrv1 d"},
        {R"(\\NTSRV2\MAC\Pub)", "/mnt/mac/Pub"},           // mount point with a trailing "/"
        {R"(\\NTSRV3\Root\srv\mac)", "/srv/mac"},          // share mounted at the root
        {R"(\\NTSRV1\D$\..\..\etc)", "/mnt/ntsrv1 d/etc"}, // dots never climb above the share
        {R"(\\NTSRV1\D$\a\.\b\..\c\\d)", "/mnt/ntsrv1 d/a/c/d"},
        {"/srv/mac volumes/Pub", "/srv/mac volumes/Pub"},
        {"relative/folder", "relative/folder"}};
    for (const auto& [path, local] : rows) {
        const auto r = resolvePath(path, kMounts);
        EXPECT_EQ(r.kind, Kind::Local) << path;
        EXPECT_EQ(r.localPath, local) << path;
    }
}

TEST(PathResolver, UnmountedSharesAreLeftToSmbAndDrivePathsCannotBeReached) {
    auto r = resolvePath(R"(\\NTSRV9\E$\Mac Volumes\Pub)", kMounts);
    EXPECT_EQ(r.kind, Kind::Smb);
    EXPECT_EQ(r.unc.server + "|" + r.unc.share + "|" + r.unc.rest, R"(NTSRV9|E$|Mac Volumes\Pub)");
    EXPECT_TRUE(r.localPath.empty());
    r = resolvePath(R"(\\NTSRV9\E$\x\..\..\y\.)", kMounts);
    EXPECT_EQ(r.kind, Kind::Smb);
    EXPECT_EQ(r.unc.rest, "y");
    EXPECT_EQ(resolvePath(R"(D:\Mac Volumes)", kMounts).kind, Kind::Unreachable);
    EXPECT_EQ(resolvePath("e:", kMounts).kind, Kind::Unreachable);
}

TEST(PathResolver, ReadsTheCurrentMountTableUnlessGivenOne) {
    TempFolder temp;
    temp.write("mounts", "//SRV/Share /mnt/one cifs rw 0 0\n");
    const ScopedEnv env("LANTRIVEX_MOUNTS", temp.file("mounts"));
    const PathResolver current;
    EXPECT_EQ(current.resolve(R"(\\srv\share\x)").localPath, "/mnt/one/x");
    // A share mounted while the program runs is seen at the next resolution.
    temp.write("mounts", "//SRV/Share /mnt/two cifs rw 0 0\n");
    EXPECT_EQ(current.resolve(R"(\\srv\share\x)").localPath, "/mnt/two/x");
    EXPECT_EQ(PathResolver(kMounts).resolve(R"(\\srv\share\x)").kind, Kind::Smb);
}

} // namespace
} // namespace lantrivex::platform::posix

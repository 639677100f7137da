#include "platform/posix/PathResolver.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

using Kind = ResolvedPath::Kind;

const std::vector<MountEntry> kMounts =
    parseMountTable("/dev/vda1 / ext4 rw 0 0\n"
                    "//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw 0 0\n"
                    "//NTSRV2/Mac /mnt/mac/ smb3 rw 0 0\n"
                    "//NTSRV3/Root / cifs rw 0 0\n");

TEST(PathResolver, NetworkPathsLeadThroughTheirShareMount) {
    auto r = resolvePath(R"(\\NTSRV1\D$\Mac Volumes\Graphisme)", kMounts);
    EXPECT_EQ(r.kind, Kind::Local);
    EXPECT_EQ(r.localPath, "/mnt/ntsrv1 d/Mac Volumes/Graphisme");
    // Server and share without regard to case; "/" separators as Windows takes them.
    r = resolvePath("//ntsrv1/d$/Mac Volumes", kMounts);
    EXPECT_EQ(r.localPath, "/mnt/ntsrv1 d/Mac Volumes");
    // The share itself, with or without a trailing separator.
    EXPECT_EQ(resolvePath(R"(\\NTSRV1\D$)", kMounts).localPath, "/mnt/ntsrv1 d");
    EXPECT_EQ(resolvePath(R"(\\NTSRV1\D$\)", kMounts).localPath, "/mnt/ntsrv1 d");
    // Mount points with a trailing "/" or at the root.
    EXPECT_EQ(resolvePath(R"(\\NTSRV2\MAC\Pub)", kMounts).localPath, "/mnt/mac/Pub");
    EXPECT_EQ(resolvePath(R"(\\NTSRV3\Root\srv\mac)", kMounts).localPath, "/srv/mac");
}

TEST(PathResolver, DotsNeverLeadAboveTheShare) {
    EXPECT_EQ(resolvePath(R"(\\NTSRV1\D$\..\..\etc)", kMounts).localPath, "/mnt/ntsrv1 d/etc");
    EXPECT_EQ(resolvePath(R"(\\NTSRV1\D$\a\.\b\..\c\\d)", kMounts).localPath,
              "/mnt/ntsrv1 d/a/c/d");
    const auto r = resolvePath(R"(\\NTSRV9\E$\x\..\..\y\.)", kMounts);
    EXPECT_EQ(r.kind, Kind::Smb);
    EXPECT_EQ(r.unc.rest, "y");
}

TEST(PathResolver, UnmountedSharesAreLeftToSmb) {
    const auto r = resolvePath(R"(\\NTSRV9\E$\Mac Volumes\Pub)", kMounts);
    EXPECT_EQ(r.kind, Kind::Smb);
    EXPECT_EQ(r.unc.server, "NTSRV9");
    EXPECT_EQ(r.unc.share, "E$");
    EXPECT_EQ(r.unc.rest, R"(Mac Volumes\Pub)");
    EXPECT_TRUE(r.localPath.empty());
}

TEST(PathResolver, DrivePathsCannotBeReachedAndOtherPathsAreLocal) {
    EXPECT_EQ(resolvePath(R"(D:\Mac Volumes)", kMounts).kind, Kind::Unreachable);
    EXPECT_EQ(resolvePath("e:", kMounts).kind, Kind::Unreachable);
    const auto r = resolvePath("/srv/mac volumes/Pub", kMounts);
    EXPECT_EQ(r.kind, Kind::Local);
    EXPECT_EQ(r.localPath, "/srv/mac volumes/Pub");
    EXPECT_EQ(resolvePath("relative/folder", kMounts).localPath, "relative/folder");
}

TEST(PathResolver, ReadsTheCurrentMountTableUnlessGivenOne) {
    TempFolder temp;
    const std::string file = temp.path() + "/mounts";
    TempFolder::writeFile(file, "//SRV/Share /mnt/one cifs rw 0 0\n");
    const char* before = std::getenv("LANTRIVEX_MOUNTS");
    const std::string saved = before ? before : "";
    ::setenv("LANTRIVEX_MOUNTS", file.c_str(), 1);

    const PathResolver current;
    EXPECT_EQ(current.resolve(R"(\\srv\share\x)").localPath, "/mnt/one/x");
    // A share mounted while the program runs is seen at the next resolution.
    TempFolder::writeFile(file, "//SRV/Share /mnt/two cifs rw 0 0\n");
    EXPECT_EQ(current.resolve(R"(\\srv\share\x)").localPath, "/mnt/two/x");

    const PathResolver fixed(kMounts);
    EXPECT_EQ(fixed.resolve(R"(\\srv\share\x)").kind, Kind::Smb);

    if (before) {
        ::setenv("LANTRIVEX_MOUNTS", saved.c_str(), 1);
    } else {
        ::unsetenv("LANTRIVEX_MOUNTS");
    }
}

} // namespace
} // namespace lantrivex::platform::posix

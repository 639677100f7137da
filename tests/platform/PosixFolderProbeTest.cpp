#include "platform/posix/PosixFolderProbe.h"

#include "RecordingRemoteShare.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

struct PosixFolderProbeTest : ::testing::Test {
    TempFolder temp;
    RecordingRemoteShare remote;
    PathResolver resolver{parseMountTable("//NTSRV1/D$ " + temp.path() + " cifs rw 0 0\n")};
};

TEST_F(PosixFolderProbeTest, ExistingFoldersLocalOrThroughTheirMount) {
    PosixFolderProbe probe(resolver);
    const std::string volume = temp.folder("Mac Volumes/Pub");
    EXPECT_TRUE(probe.folderExists(volume));
    EXPECT_TRUE(probe.folderExists(R"(\\ntsrv1\D$\Mac Volumes\Pub)"));
    EXPECT_TRUE(probe.folderExists(R"(\\NTSRV1\D$)"));
    EXPECT_FALSE(probe.folderExists(R"(\\NTSRV1\D$\Mac Volumes\Absent)"));
    EXPECT_FALSE(probe.folderExists(temp.path() + "/absent"));
    EXPECT_FALSE(probe.folderExists(""));
    TempFolder::writeFile(volume + "/file", "x");
    EXPECT_FALSE(probe.folderExists(volume + "/file"));
    EXPECT_FALSE(probe.folderExists(R"(C:\)"));
}

TEST_F(PosixFolderProbeTest, UnmountedSharesAreAskedOfSmbAccess) {
    const std::string path = R"(\\NTSRV9\E$\Mac Volumes\Pub)";
    EXPECT_FALSE(PosixFolderProbe(resolver).folderExists(path));

    PosixFolderProbe probe(resolver, &remote);
    EXPECT_TRUE(probe.folderExists(path));
    remote.folderAnswer = false;
    EXPECT_FALSE(probe.folderExists(path));
    ASSERT_EQ(remote.foldersAsked.size(), 2u);
    EXPECT_EQ(remote.foldersAsked[0].server, "NTSRV9");
    EXPECT_EQ(remote.foldersAsked[0].rest, R"(Mac Volumes\Pub)");

    EXPECT_TRUE(probe.folderExists(R"(\\NTSRV1\D$)"));
    EXPECT_EQ(remote.foldersAsked.size(), 2u);
}

} // namespace
} // namespace lantrivex::platform::posix

#include "platform/posix/PosixFolderProbe.h"

#include "RecordingRemoteShare.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

TEST(PosixFolderProbe, LocalThroughTheirMountOrAskedOfSmbAccess) {
    TempFolder temp;
    RecordingRemoteShare remote;
    const PathResolver resolver{parseMountTable("//NTSRV1/D$ " + temp.path() + " cifs rw 0 0\n")};
    const std::string volume = temp.folder("Mac Volumes/Pub");
    temp.write("Mac Volumes/Pub/file", "x");
    const std::string unmounted = R"(\\NTSRV9\E$\Mac Volumes\Pub)";
    const std::pair<std::string, bool> rows[] = {{volume, true},
                                                 {R"(\\ntsrv1\D$\Mac Volumes\Pub)", true},
                                                 {R"(\\NTSRV1\D$)", true},
                                                 {R"(\\NTSRV1\D$\Mac Volumes\Absent)", false},
                                                 {temp.path() + "/absent", false},
                                                 {"", false},
                                                 {volume + "/file", false},
                                                 {R"(C:\)", false},
                                                 {unmounted, false}}; // without SMB access
    for (const auto& [path, exists] : rows) {
        EXPECT_EQ(PosixFolderProbe(resolver).folderExists(path), exists) << path;
    }

    PosixFolderProbe probe(resolver, &remote);
    EXPECT_TRUE(probe.folderExists(unmounted));
    remote.folderAnswer = false;
    EXPECT_FALSE(probe.folderExists(unmounted));
    EXPECT_TRUE(probe.folderExists(R"(\\NTSRV1\D$)")); // mounted: never asked
    EXPECT_EQ(remote.asked, (std::vector<std::string>(2, R"(NTSRV9|E$|Mac Volumes\Pub)")));
}

} // namespace
} // namespace lantrivex::platform::posix

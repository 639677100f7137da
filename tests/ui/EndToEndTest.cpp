// SPDX-License-Identifier: GPL-3.0-or-later
// The window on the sample network, through the real POSIX services: the mount table and the
// registry exports that tools/make-sample-network.sh lays out, the index streams of the samples.

#include "WindowFixture.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixDriveList.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/PosixNetworkConnections.h"
#include "regfile/RegFileRegistry.h"
#include "smb/SambaServer.h"

namespace lantrivex::ui::test {
namespace {

class SampleNetworkTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_EQ(smbtest::shell("bash '" LANTRIVEX_SOURCE_DIR "/tools/make-sample-network.sh' '" +
                                 sample.path() + "' >/dev/null"),
                  0);
    }
    void TearDown() override { window.reset(); } // before the mount table goes

    platform::posix::TempFolder sample;
    platform::posix::ScopedEnv mounts{"LANTRIVEX_MOUNTS", sample.file("mounts")};
};

TEST_F(SampleNetworkTest, TreeOfTheSampleAndAnAnalysedVolume) {
    files.files["/opt/lantrivex/Signatures.txt"] =
        smbtest::readText(LANTRIVEX_SOURCE_DIR "/samples/Signatures.txt");
    platform::posix::PosixNamedStreamReader realStreams;
    platform::posix::PosixFolderProbe realFolders;
    const std::string host = platform::posix::shortHostName().value_or("");
    regfile::RegFileRegistry realRegistry(sample.file("Registry"), host);
    platform::posix::PosixNetworkConnections realNetwork;
    platform::posix::PosixDriveList realDrives;
    platform::Platform real{realStreams, realFolders,  profiles,    version,    files, location,
                            instance,    realRegistry, realNetwork, realDrives, shell};
    start(&real);

    // This computer, the three servers; the Macintosh servers of the MacFile product.
    EXPECT_EQ(window->treeCatalogue()->topLevelItemCount(), 4);
    for (const QString machine : {"MACSRV3", "NTSRV1", "NTSRV2", host.c_str()}) {
        EXPECT_EQ(window->treeCatalogue()->findItems(machine, Qt::MatchExactly).size(), 1);
    }
    QTreeWidgetItem* volume = node(R"(\\NTSRV1\D$\Mac Volumes\Graphics)");
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(treeLines().mid(treeLines().indexOf("  Serveur Graphisme 2 +"), 5),
              (QStringList{"  Serveur Graphisme 2 +", "    Archives 1998 8 3", "    Graphics 3 1",
                           "    Publications 3 2", "    Studio 3 4"}))
        << "the volume whose folder is missing has image 8";
    EXPECT_NE(node(QString::fromUtf8(R"(\\NTSRV2\D$\Comptabilité)")), nullptr);
    EXPECT_EQ(window->volumePanelCount(), 6);

    clickNode(volume);
    const int k = volume->data(0, FrmLantrivex::TagRole).toInt();
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(window->lstSignatures(k)->isVisible());
    EXPECT_EQ(window->lbllblVolume(k)->text(), "Total: 1766");
    ASSERT_GT(window->gridModel(k)->rowCount(), 5);
    EXPECT_EQ(column(k, 0).first() + " " + column(k, 1).first() + " " + column(k, 2).first(),
              "477 27.01 XDOCXPR3");
    EXPECT_FALSE(column(k, 3).first().isEmpty()) << "described in the sample's table";
}

} // namespace
} // namespace lantrivex::ui::test

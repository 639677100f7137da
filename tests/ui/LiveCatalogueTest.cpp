// SPDX-License-Identifier: GPL-3.0-or-later
// The window's catalogue built live: a machine known only by its mount table, its Macintosh
// server and volumes read from its registry through a real smbd, no export anywhere.

#include "WindowFixture.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNetworkConnections.h"
#include "platform/posix/PosixRegistry.h"
#include "smb/SambaServer.h"
#include "smb/SmbRegistry.h"
#include "smb/TestRegistry.h"

namespace lantrivex::ui::test {
namespace {

using smbtest::SambaServer;

TEST_F(WindowTest, CatalogueReadLiveFromTheServersRegistry) {
    if (const std::string why = SambaServer::whyUnavailable(); !why.empty()) {
        GTEST_SKIP() << "No SMB server for this test: " << why;
    }
    std::string error;
    const auto server = SambaServer::start(error, {}, {}, true);
    ASSERT_NE(server, nullptr) << error;
    ASSERT_TRUE(server->importRegistry(
        smbtest::regExport(smbtest::test_registry::machineRegistry()), error))
        << error;
    platform::posix::TempFolder dir;
    dir.folder("mnt/Mac Volumes/Pub");
    dir.write("mounts", "//127.0.0.1/D$ " + dir.file("mnt") + " cifs rw 0 0\n");
    dir.write("credentials", std::string("username=") + SambaServer::kReader +
                                 "\npassword=" + SambaServer::kPassword + "\n");
    std::filesystem::permissions(dir.file("credentials"), std::filesystem::perms::owner_read);
    const platform::posix::ScopedEnv mounts("LANTRIVEX_MOUNTS", dir.file("mounts"));
    const platform::posix::ScopedEnv gvfs("LANTRIVEX_GVFS_DIR", dir.file("none"));

    smb::SmbSettings settings;
    settings.port = server->port();
    settings.credentialsFile = dir.file("credentials");
    settings.kerberos = false;
    platform::posix::PosixRegistry realRegistry(regfile::RegFileRegistry(dir.file("none"), "HOST"),
                                                std::make_unique<smb::SmbRegistry>(settings));
    platform::posix::PosixNetworkConnections realNetwork;
    platform::posix::PosixFolderProbe realFolders;
    platform::Platform real{streams,  realFolders,  profiles,    version, files, location,
                            instance, realRegistry, realNetwork, drives,  shell};
    start(&real);

    const QStringList lines = treeLines();
    const auto at = lines.indexOf("  " + QString::fromUtf8("Serveur Éloïse") + " 2 +");
    ASSERT_GE(at, 0) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.mid(at + 1, 4), (QStringList{QString::fromUtf8("    Graphisme é 8 2"),
                                                 "    Gros 8 4", "    Pub 3 1", "    Racine 8 3"}))
        << "the volume whose folder the mount holds has image 3";
    EXPECT_NE(node(R"(\\127.0.0.1\D$\Mac Volumes\Pub)"), nullptr);
}

} // namespace
} // namespace lantrivex::ui::test

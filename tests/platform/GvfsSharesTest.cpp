// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's SMB connections, in a folder laid out as GVFS lays out its FUSE mount.

#include "platform/posix/GvfsShares.h"

#include "fakes/FakeRegistry.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNetworkConnections.h"
#include "platform/posix/PosixRegistry.h"

#include <gtest/gtest.h>
#include <tuple>

namespace lantrivex::platform::posix {
namespace {

TEST(GvfsShares, FolderNamesOfSmbSharesOnly) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"smb-share:server=ntsrv,share=public", "ntsrv public"},
        {"smb-share:domain=CORP,server=NTSRV,share=d%24,user=jdupont", "NTSRV d$"},
        {"smb-share:server=ntsrv,share=Mac%20Volumes%2", "ntsrv Mac Volumes%2"},
        {"smb-share:port=1445,server=10.0.0.5,share=D$", "10.0.0.5 D$"},
        {"smb-server:server=ntsrv", "-"},
        {"sftp:host=ntsrv,user=jd", "-"},
        {"smb-share:server=ntsrv", "-"},
        {"smb-share:server=a%2Fb,share=c", "-"}};
    for (const auto& [name, expected] : cases) {
        const auto share = parseGvfsShareName(name);
        EXPECT_EQ(share ? share->server + " " + share->share : "-", expected) << name;
    }
    // A share is found letter case aside, the accented letters of Windows-1252 included.
    const std::vector<GvfsShare> shares{{"SERVEUR-\xC3\x89", "Partag\xC3\xA9", "/gvfs/e"}};
    const std::tuple<const char*, const char*, bool> finds[] = {
        {"serveur-\xC3\xA9", "PARTAG\xC3\x89", true}, {"serveur-e", "partage", false}};
    for (const auto& [server, share, found] : finds) {
        EXPECT_EQ(findGvfsShare(shares, server, share).has_value(), found) << server;
    }
}

// SMB mounts of the mount table first, then the shares GVFS shows; never a mount of another kind.
TEST(GvfsShares, SmbMountsAndGvfsSharesAreTheConnectionsAndTheirFoldersPassTheFolderTest) {
    TempFolder dir;
    const std::string gvfs = dir.folder("gvfs");
    dir.folder("gvfs/smb-share:server=ntsrv2,share=d%24/Mac Volumes/Pub");
    dir.folder("gvfs/smb-share:server=macsrv,share=public");
    dir.folder("gvfs/sftp:host=ntsrv2");
    dir.write("mounts",
              "/dev/sda1 / ext4 rw 0 0\n//NTSRV1/D$ /mnt/ntsrv1\\040d cifs rw 0 0\n"
              "//ntsrv2/pub/sub /mnt/pub smb3 rw 0 0\nnas:/export /mnt/nfs nfs4 rw 0 0\n");
    ScopedEnv mounts("LANTRIVEX_MOUNTS", dir.file("mounts"));
    ScopedEnv folder("LANTRIVEX_GVFS_DIR", gvfs);

    PosixNetworkConnections network;
    std::vector<NetworkConnection> connections;
    ASSERT_EQ(network.currentConnections(10, connections), kNetOk);
    std::vector<std::string> seen;
    for (const auto& c : connections) {
        seen.push_back(c.remoteName + " on " + c.localName.value_or("-"));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        R"(\\NTSRV1\D$ on /mnt/ntsrv1 d)", R"(\\ntsrv2\pub\sub on /mnt/pub)",
                        R"(\\macsrv\public on )" + gvfs + "/smb-share:server=macsrv,share=public",
                        R"(\\ntsrv2\d$ on )" + gvfs + "/smb-share:server=ntsrv2,share=d%24"}));
    ASSERT_EQ(network.currentConnections(3, connections), kNetOk);
    EXPECT_EQ(connections.size(), 3u) << "one request gives at most what was asked";

    PosixFolderProbe folders; // no SMB access: only GVFS can answer
    EXPECT_TRUE(folders.folderExists(R"(\\NTSRV2\D$\Mac Volumes\Pub)"));
    EXPECT_TRUE(folders.folderExists(R"(\\ntsrv2\d$\Mac Volumes\.\Pub\)"));
    EXPECT_FALSE(folders.folderExists(R"(\\ntsrv2\d$\Mac Volumes\Gone)"));
    EXPECT_FALSE(folders.folderExists(R"(\\ntsrv2\e$\Mac Volumes\Pub)"));

    // No SMB share: none is found, nor when the mount table cannot be read.
    folder.set(dir.file("none"));
    dir.write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
    EXPECT_EQ(network.currentConnections(10, connections), kNetNoMoreItems);
    EXPECT_TRUE(connections.empty());
    mounts.set(dir.file("missing"));
    EXPECT_EQ(network.currentConnections(10, connections), kNetNoMoreItems);
}

// A machine's export when there is one, its live registry otherwise; this computer's export only.
TEST(PosixRegistry, ExportFirstThenLive) {
    TempFolder dir;
    dir.write("NTSRV1.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Exported]\r\n");
    auto live = std::make_unique<fakes::FakeRegistry>("HOST");
    fakes::FakeRegistry& fake = *live;
    fake.key("NTSRV1", "SOFTWARE\\Live");
    fake.key("NTSRV2", "SOFTWARE\\Live");
    fake.key("HOST", "SOFTWARE\\Live");
    PosixRegistry registry(regfile::RegFileRegistry(dir.path(), "HOST"), std::move(live));

    const auto opens = [&](bool local, const std::string& machine, const std::string& path) {
        std::unique_ptr<RegistryHive> hive;
        std::unique_ptr<RegistryKey> key;
        const RegistryError e =
            local ? registry.localMachine(hive) : registry.connect(machine, hive);
        return e == kRegOk && hive->openKey(path, kKeyRead, key) == kRegOk;
    };
    EXPECT_TRUE(opens(false, "ntsrv1", "SOFTWARE\\Exported"));
    EXPECT_FALSE(opens(false, "NTSRV1", "SOFTWARE\\Live")) << "the export hides the live registry";
    EXPECT_TRUE(opens(false, "NTSRV2", "SOFTWARE\\Live"));
    EXPECT_FALSE(opens(true, "", "SOFTWARE\\Live")) << "this computer has no export";
    EXPECT_EQ(fake.connections, (std::vector<std::string>{"NTSRV2"}));
}

} // namespace
} // namespace lantrivex::platform::posix

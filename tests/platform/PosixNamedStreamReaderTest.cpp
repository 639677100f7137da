// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixNamedStreamReader.h"

#include "TempFolder.h"
#include "fakes/FakeNamedStreamReader.h"
#include "platform/posix/PosixFolderProbe.h"
#include "smb/RemoteShareAccess.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

namespace lantrivex::platform::posix {
namespace {

using namespace std::string_literals;

// Stands for SMB access: records what it is asked, "server|share|rest" (":stream" for a stream),
// and answers with the one stream "remote" and `folderAnswer`.
struct RecordingRemoteShare : smb::RemoteShareAccess {
    RecordingRemoteShare() { streams.addStream("", "", "remote"); }
    std::unique_ptr<ByteStream> openStream(const UncPath& p, std::string_view stream) override {
        asked.push_back(p.server + "|" + p.share + "|" + p.rest + ":" + std::string(stream));
        return streams.open("", "");
    }
    bool folderExists(const UncPath& p) override {
        asked.push_back(p.server + "|" + p.share + "|" + p.rest);
        return folderAnswer;
    }
    bool folderAnswer = true;
    std::vector<std::string> asked;
    fakes::FakeNamedStreamReader streams;
};

struct PosixNamedStreamReaderTest : ::testing::Test {
    TempFolder temp;
    RecordingRemoteShare remote;
    // One share mounted: resolution does not depend on this machine's mounts.
    PathResolver resolver{parseMountTable("//NTSRV1/D$ " + temp.path() + " cifs rw 0 0\n")};
    PosixNamedStreamReader reader{resolver};

    static std::string read(PosixNamedStreamReader& from, const std::string& path) {
        return streamText(from.open(path, "AFP_IdIndex"));
    }
    std::string read(const std::string& path) { return read(reader, path); }
    static bool setAttribute(const std::string& path, const std::string& name,
                             std::string_view value) {
        return ::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
    }
};

TEST_F(PosixNamedStreamReaderTest, TheStreamFileBesideTheFolderOrNothing) {
    const std::string volume = temp.folder("Mac Volumes/Graphisme");
    TempFolder::writeFile(volume + ":AFP_IdIndex", "\x01W6BNMSWD\x00"s);
    for (const std::string& path : {volume + "/", R"(\\ntsrv1\d$\Mac Volumes\Graphisme)"s}) {
        EXPECT_EQ(read(path), "10:\x01W6BNMSWD\x00"s) << path;
    }
    EXPECT_EQ(reader.open(volume, "OtherStream"), nullptr);
    std::string relative; // far beyond PATH_MAX of old systems
    while (relative.size() < 1500) {
        relative += "Un dossier au nom vraiment tres long pour le chemin/";
    }
    TempFolder::writeFile(temp.folder(relative + "Volume") + ":AFP_IdIndex", "");
    EXPECT_EQ(read(temp.file(relative + "Volume")), "0:");

    for (const std::string& path : {temp.folder("NoIndex"), temp.file("absent"), ""s}) {
        EXPECT_EQ(read(path), "<none>") << path;
    }
    temp.folder("NoIndex:AFP_IdIndex"); // a folder in the place of the stream file is no stream
    EXPECT_EQ(read(temp.file("NoIndex")), "<none>");
}

TEST_F(PosixNamedStreamReaderTest, TheAttributesOfNtfs3gAndSambaTriedInOrder) {
    if (!setAttribute(temp.path(), "user.lantrivex.probe", "1")) {
        GTEST_SKIP() << "the temporary file system refuses user extended attributes";
    }
    const std::string big = "\x01XLS5XCEL\x00\x01TEXTttxt"s + std::string(3000, '\x02');
    ASSERT_TRUE(setAttribute(temp.folder("Ntfs3g"), "user.AFP_IdIndex", big));
    EXPECT_EQ(read(temp.file("Ntfs3g")), std::to_string(big.size()) + ":" + big);
    // Samba stores the stream with a trailing NUL; a value without it is taken whole.
    const std::pair<std::string, std::string> samba[] = {
        {"\x01XDOCXPR3\x00\x00"s, "10:\x01XDOCXPR3\x00"s},
        {"\x01XDOCXPR3", "9:\x01XDOCXPR3"},
        {"", "0:"}};
    for (const auto& [value, expected] : samba) {
        const std::string volume = temp.folder("Samba" + std::to_string(value.size()));
        ASSERT_TRUE(setAttribute(volume, "user.DosStream.AFP_IdIndex:$DATA", value));
        EXPECT_EQ(read(volume), expected);
    }
    // A stream file wins over ntfs-3g's attribute, which wins over Samba's.
    const std::string volume = temp.folder("All");
    ASSERT_TRUE(setAttribute(volume, "user.DosStream.AFP_IdIndex:$DATA", "samba\0"s));
    ASSERT_TRUE(setAttribute(volume, "user.AFP_IdIndex", "ntfs-3g"));
    EXPECT_EQ(read(volume), "7:ntfs-3g");
    TempFolder::writeFile(volume + ":AFP_IdIndex", "file");
    EXPECT_EQ(read(volume), "4:file");
}

TEST_F(PosixNamedStreamReaderTest, SharesAskedOfSmbAccessWhenNoLocalFormGivesTheStream) {
    const std::string path = R"(\\NTSRV9\E$\Mac Volumes\Pub)";
    EXPECT_EQ(read(path), "<none>");
    PosixNamedStreamReader withRemote(resolver, &remote);
    EXPECT_EQ(read(withRemote, path), "6:remote");
    // A mounted share that shows the stream is read locally; one that shows none (a kernel SMB
    // mount) is read from its server; drive paths never reach SMB access.
    TempFolder::writeFile(temp.folder("Shown") + ":AFP_IdIndex", "local");
    EXPECT_EQ(read(withRemote, R"(\\NTSRV1\D$\Shown)"), "5:local");
    temp.folder("Hidden");
    EXPECT_EQ(read(withRemote, R"(\\ntsrv1\d$\Hidden\.)"), "6:remote");
    EXPECT_EQ(withRemote.open(R"(D:\Here)", "AFP_IdIndex"), nullptr);
    EXPECT_EQ(remote.asked, (std::vector<std::string>{R"(NTSRV9|E$|Mac Volumes\Pub:AFP_IdIndex)",
                                                      R"(ntsrv1|d$|Hidden:AFP_IdIndex)"}));
}

TEST_F(PosixNamedStreamReaderTest, TheShareRootsOwnStreamNeverAFileBesideItsMountPoint) {
    // //NTSRV2/D$ mounted on <temp>/d; a stranger's file <temp>/d:AFP_IdIndex beside it.
    const std::string mountPoint = temp.folder("d");
    TempFolder::writeFile(mountPoint + ":AFP_IdIndex", "\x01W6BNMSWD\x00"s);
    const PathResolver table(parseMountTable("//NTSRV2/D$ " + mountPoint + " cifs rw 0 0\n"));
    PosixNamedStreamReader local(table);
    PosixNamedStreamReader withRemote(table, &remote);
    const std::string roots[] = {R"(\\NTSRV2\D$\)", R"(\\NTSRV2\D$)", R"(\\NTSRV2\D$\..)",
                                 R"(\\ntsrv2\d$\x\..\..\.)"};
    for (const std::string& root : roots) {
        EXPECT_EQ(read(local, root), "<none>") << root;
        EXPECT_EQ(read(withRemote, root), "6:remote") << root;
    }
    EXPECT_EQ(remote.asked.front(), "NTSRV2|D$|:AFP_IdIndex");
    EXPECT_EQ(remote.asked.size(), std::size(roots));
    // The attributes of the mount point are those of the share's root folder.
    if (setAttribute(mountPoint, "user.AFP_IdIndex", "root index")) {
        for (const std::string& root : roots) {
            EXPECT_EQ(read(withRemote, root), "10:root index") << root;
        }
        EXPECT_EQ(remote.asked.size(), std::size(roots));
    }
    // From inside the root folder, as ntfs-3g's windows form names the root's own stream.
    TempFolder::writeFile(mountPoint + "/:AFP_IdIndex", "inside");
    for (const std::string& root : roots) {
        EXPECT_EQ(read(local, root), "6:inside") << root;
    }
}

TEST_F(PosixNamedStreamReaderTest, FoldersLocalThroughTheirMountOrAskedOfSmbAccess) {
    const std::string volume = temp.folder("Mac Volumes/Pub");
    temp.write("Mac Volumes/Pub/file", "x");
    const std::string unmounted = R"(\\NTSRV9\E$\Mac Volumes\Pub)";
    std::string found; // without SMB access
    for (const std::string& path :
         {volume, R"(\\ntsrv1\D$\Mac Volumes\Pub)"s, R"(\\NTSRV1\D$\Mac Volumes\Absent)"s, ""s,
          volume + "/file", R"(C:\)"s, unmounted}) {
        found += PosixFolderProbe(resolver).folderExists(path) ? '1' : '0';
    }
    EXPECT_EQ(found, "1100000");
    PosixFolderProbe probe(resolver, &remote);
    EXPECT_TRUE(probe.folderExists(unmounted));
    remote.folderAnswer = false;
    EXPECT_FALSE(probe.folderExists(unmounted));
    EXPECT_TRUE(probe.folderExists(R"(\\NTSRV1\D$)")); // mounted: never asked
    EXPECT_EQ(remote.asked, (std::vector<std::string>(2, R"(NTSRV9|E$|Mac Volumes\Pub)")));
}

} // namespace
} // namespace lantrivex::platform::posix

// SPDX-License-Identifier: GPL-3.0-or-later
// A volume analysed end to end from its Windows root \\127.0.0.1\D$\... over SMB, on a share
// that no mount covers or whose mount shows no streams, with the port from LANTRIVEX_SMB_PORT (a
// Windows path names none).

#include "analysis/VolumeIndexReader.h"
#include "fakes/FakeNotifier.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "smb/SambaServer.h"
#include "smb/SmbShareAccess.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace lantrivex {
namespace {

// The first line of each message (the lines after it name the volume and the reason).
std::vector<std::string> firstLines(std::vector<std::string> texts) {
    for (std::string& text : texts) {
        text = text.substr(0, text.find("\r\n"));
    }
    return texts;
}

using platform::posix::ScopedEnv;
using smbtest::SambaServer;

class VolumeOverSmbTest : public smbtest::SambaSuite<VolumeOverSmbTest> {
public:
    static std::unique_ptr<SambaServer> startServer(std::string& error) {
        std::string index;
        for (const char* signature : {"W6BNMSWD", "TEXTttxt", "W6BNMSWD", "textTTXT", "W6BNMSWD"}) {
            index += std::string("\x01") + signature + std::string(3, '\0');
        }
        auto server = SambaServer::start(error, {"Mac Volumes/Pub", "Mac Volumes/NoIndex"},
                                         {{"Mac Volumes/Pub:AFP_IdIndex", index},
                                          {":AFP_IdIndex", "\x01XDOCXPR3" + std::string(3, '\0')}});
        if (server) {
            std::ofstream(server->scratch() / "mounts"); // a mount table without SMB mounts
        }
        return server;
    }
    void ready() {
        mounts_.emplace("LANTRIVEX_MOUNTS", (server_->scratch() / "mounts").string());
        port_.emplace("LANTRIVEX_SMB_PORT", std::to_string(server_->port()));
    }

protected:
    // "folder" or "no folder", then the signatures counted or "no index".
    std::string analyse(const std::string& root, LanguageFlag language = kEnglish) {
        const auto remote = smb::makeSmbShareAccess();
        platform::posix::PosixNamedStreamReader streams(remote.get());
        std::string text = platform::posix::PosixFolderProbe(remote.get()).folderExists(root)
                               ? "folder"
                               : "no folder";
        const auto result = analysis::ReadVolumeIndex(root, streams, notifier, language);
        if (!result) {
            return text + ", no index";
        }
        text += ", total " + std::to_string(result->total);
        for (const auto& s : result->signatures) {
            text += ", " + std::string(s.signature.text()) + " " + std::to_string(s.count);
        }
        return text;
    }

    std::optional<ScopedEnv> mounts_, port_;
    fakes::FakeNotifier notifier;
};

TEST_F(VolumeOverSmbTest, VolumeAnalysedFromItsWindowsRootOrUnknownIndex) {
    // The same root also written with "/" and another letter case of the share.
    for (const char* root :
         {R"(\\127.0.0.1\D$\Mac Volumes\Pub)", "//127.0.0.1/d$/Mac Volumes/Pub"}) {
        EXPECT_EQ(analyse(root), "folder, total 5, W6BNMSWD 3, TEXTttxt 2") << root;
    }
    EXPECT_TRUE(notifier.messages.empty());
    // A volume folder without an index, one whose folder was deleted, a share denied to guests.
    EXPECT_EQ(analyse(R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)", kFrench), "folder, no index");
    EXPECT_EQ(analyse(R"(\\127.0.0.1\D$\Mac Volumes\Gone)"), "no folder, no index");
    EXPECT_EQ(analyse(R"(\\127.0.0.1\Private\Mac Volumes\Pub)"), "no folder, no index");
    port_->set(std::to_string(smbtest::freeLoopbackPort())); // the server not running
    EXPECT_EQ(analyse(R"(\\127.0.0.1\D$\Mac Volumes\Pub)"), "no folder, no index");
    EXPECT_EQ(firstLines(notifier.texts()),
              (std::vector<std::string>{
                  "Index de volume Macintosh inconnu", "Unknown Macintosh volume index",
                  "Unknown Macintosh volume index", "Unknown Macintosh volume index"}));
}

// A kernel SMB mount shows no named streams: the mount point is a local folder without them here,
// and the stream is read from the mount's server, the share's root included.
TEST_F(VolumeOverSmbTest, MountedShareThatShowsNoStreamsReadFromItsServer) {
    const auto mountPoint = server_->scratch() / "mnt";
    std::filesystem::create_directories(mountPoint / "Mac Volumes/Pub");
    std::ofstream(server_->scratch() / "mnt:AFP_IdIndex") << "\x01TEXTttxt\x01TEXTttxt\x01X";
    std::ofstream(server_->scratch() / "smb-mounts")
        << "//127.0.0.1/D$ " << mountPoint.string() << " cifs rw,vers=3.1.1,mapposix 0 0\n";
    mounts_->set((server_->scratch() / "smb-mounts").string());
    EXPECT_EQ(analyse(R"(\\127.0.0.1\D$\Mac Volumes\Pub)"),
              "folder, total 5, W6BNMSWD 3, TEXTttxt 2");
    for (const char* root : {R"(\\127.0.0.1\D$\)", R"(\\127.0.0.1\d$\Mac Volumes\..\..)"}) {
        EXPECT_EQ(analyse(root), "folder, total 1, XDOCXPR3 1") << root;
    }
    EXPECT_EQ(analyse(R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)"), "no folder, no index");
    EXPECT_EQ(firstLines(notifier.texts()),
              std::vector<std::string>{"Unknown Macintosh volume index"});
}

// The command-line reader as a user runs it: nothing but its own output, no library chatter.
TEST_F(VolumeOverSmbTest, CommandLineReaderScansAnUnmountedShare) {
    const auto scratch = server_->scratch();
    std::ofstream(scratch / "Signatures.txt", std::ios::binary)
        << "\"W6BNMSWD\",\"doc\",\"Word 6 document\"\r\n\"TEXTttxt\",\"txt\",\"Text\"\r\n";
    const int status = smbtest::shell(
        "'" LANTRIVEX_BINARY_DIR "/bin/lantrivex-cli' scan --format csv --signatures '" +
        (scratch / "Signatures.txt").string() +
        R"(' '\\127.0.0.1\D$\Mac Volumes\Pub' '\\127.0.0.1\D$\Mac Volumes\NoIndex' >')" +
        (scratch / "cli.out").string() + "' 2>'" + (scratch / "cli.err").string() + "'");
    EXPECT_EQ(status, 1); // one volume's index is unknown
    EXPECT_EQ(smbtest::readText(scratch / "cli.out"),
              "volume,count,percent,signature,description\r\n"
              "\\\\127.0.0.1\\D$\\Mac Volumes\\Pub,3,60,W6BNMSWD,Word 6 document\r\n"
              "\\\\127.0.0.1\\D$\\Mac Volumes\\Pub,2,40,TEXTttxt,Text\r\n");
    const std::string errors = smbtest::readText(scratch / "cli.err");
    EXPECT_NE(errors.find("Unknown Macintosh volume index"), std::string::npos);
    EXPECT_EQ(errors.find("smb"), std::string::npos) << errors;
}

} // namespace
} // namespace lantrivex

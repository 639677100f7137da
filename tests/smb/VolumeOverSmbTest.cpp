// A volume analysed end to end from its Windows root \\127.0.0.1\D$\... on a share that no mount
// covers: the POSIX stream reader and folder probe hand the path to the SMB access that
// makeSmbShareAccess() makes from the environment (the port given by LANTRIVEX_SMB_PORT, since a
// Windows path names none), and the volume index reader counts the signatures.

#include "analysis/VolumeIndexReader.h"
#include "fakes/FakeNotifier.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/SmbShareAccess.h"
#include "smb/SambaServer.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>

namespace lantrivex {
namespace {

namespace fs = std::filesystem;
using platform::posix::ScopedEnv;
using smbtest::SambaServer;

// An index of about 3 MiB (three reads of the volume index reader): records of binary filler
// (bytes above 0x7F and zeros, never a signature), each followed by one signature after its 0x01
// marker, in a known mix of letter cases.
struct Index {
    std::string bytes;
    std::int64_t counts[3] = {}; // TEXTttxt in either case, W6BNMSWD, XDOCXPR3
    std::string textSpelling;    // the spelling of TEXTttxt met first
};

Index makeIndex() {
    Index index;
    std::mt19937 random(7);
    const char* const kinds[] = {"TEXTttxt", "textTTXT", "W6BNMSWD", "XDOCXPR3"};
    while (index.bytes.size() < 3 * 1024 * 1024) {
        for (std::size_t i = 20 + random() % 200; i > 0; --i) {
            index.bytes.push_back(static_cast<char>((random() & 1) ? 0x80 + random() % 0x80 : 0));
        }
        const unsigned kind = random() % 4;
        index.bytes += std::string("\x01") + kinds[kind];
        index.counts[kind < 2 ? 0 : kind - 1] += 1;
        if (kind < 2 && index.textSpelling.empty()) {
            index.textSpelling = kinds[kind];
        }
    }
    index.bytes.push_back('\0');
    return index;
}

class VolumeOverSmbTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!(skip_ = SambaServer::whyUnavailable()).empty()) {
            return;
        }
        std::string small;
        for (const char* signature : {"W6BNMSWD", "TEXTttxt", "W6BNMSWD", "W6BNMSWD"}) {
            small += std::string("\x01") + signature + std::string(3, '\0');
        }
        server_ = SambaServer::start(
                      startError_, {"Mac Volumes/Pub", "Mac Volumes/NoIndex", "Mac Volumes/Small"},
                      {{"Mac Volumes/Pub:AFP_IdIndex", index_.bytes},
                       {"Mac Volumes/Small:AFP_IdIndex", small}})
                      .release();
        if (server_ != nullptr) {
            std::ofstream(server_->scratch() / "mounts"); // a mount table without SMB mounts
        }
    }
    static void TearDownTestSuite() { delete std::exchange(server_, nullptr); }

    void SetUp() override {
        if (!skip_.empty()) {
            GTEST_SKIP() << "No SMB server for this test: " << skip_;
        }
        ASSERT_NE(server_, nullptr) << "smbd would not start:\n" << startError_;
        mounts_.emplace("LANTRIVEX_MOUNTS", (server_->scratch() / "mounts").string());
        port_.emplace("LANTRIVEX_SMB_PORT", std::to_string(server_->port()));
    }
    // Whether the folder exists, and the volume index read from it.
    std::pair<bool, std::optional<analysis::ScanResult>> analyse(const std::string& root,
                                                                 LanguageFlag language = kEnglish) {
        const auto remote = platform::posix::makeSmbShareAccess();
        EXPECT_NE(remote, nullptr);
        platform::posix::PosixNamedStreamReader streams(remote.get());
        return {platform::posix::PosixFolderProbe(remote.get()).folderExists(root),
                analysis::ReadVolumeIndex(root, streams, notifier, language)};
    }

    static inline SambaServer* server_ = nullptr;
    static inline const Index index_ = makeIndex();
    static inline std::string skip_;
    static inline std::string startError_;
    std::optional<ScopedEnv> mounts_, port_;
    fakes::FakeNotifier notifier;
};

TEST_F(VolumeOverSmbTest, VolumeAnalysedFromItsWindowsRootWithThePortFromTheEnvironment) {
    // The same root also written with "/" and another letter case of the share.
    for (const char* root :
         {R"(\\127.0.0.1\D$\Mac Volumes\Pub)", "//127.0.0.1/d$/Mac Volumes/Pub"}) {
        const auto [exists, result] = analyse(root);
        EXPECT_TRUE(exists) << root;
        ASSERT_TRUE(result.has_value()) << root;
        EXPECT_TRUE(notifier.messages.empty());
        EXPECT_EQ(result->total, index_.counts[0] + index_.counts[1] + index_.counts[2]);
        // TEXTttxt and textTTXT are one signature, under the spelling met first.
        std::map<std::string, std::int64_t> counts;
        for (const auto& s : result->signatures) {
            counts[s.signature] = s.count;
        }
        EXPECT_EQ(counts,
                  (std::map<std::string, std::int64_t>{{index_.textSpelling, index_.counts[0]},
                                                       {"W6BNMSWD", index_.counts[1]},
                                                       {"XDOCXPR3", index_.counts[2]}}));
    }
}

TEST_F(VolumeOverSmbTest, UnknownIndexWhenTheStreamTheFolderTheShareOrTheServerIsMissing) {
    const auto outcome = [&](const std::string& root, LanguageFlag language = kEnglish) {
        const auto [exists, result] = analyse(root, language);
        return std::string(exists ? "folder" : "no folder") + (result ? ", index" : ", no index");
    };
    // A volume folder without an index, one whose folder was deleted, a share denied to guests.
    EXPECT_EQ(outcome(R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)", kFrench), "folder, no index");
    EXPECT_EQ(outcome(R"(\\127.0.0.1\D$\Mac Volumes\Gone)"), "no folder, no index");
    EXPECT_EQ(outcome(R"(\\127.0.0.1\Private\Mac Volumes\Pub)"), "no folder, no index");
    port_->set(std::to_string(smbtest::freeLoopbackPort())); // the server not running
    EXPECT_EQ(outcome(R"(\\127.0.0.1\D$\Mac Volumes\Pub)"), "no folder, no index");
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Index de volume Macintosh inconnu",
                                                          "Unknown Macintosh volume index",
                                                          "Unknown Macintosh volume index",
                                                          "Unknown Macintosh volume index"}));
    for (const auto& m : notifier.messages) {
        EXPECT_EQ(m.icon, platform::MessageIcon::None);
    }
}

// The command-line reader, as a user runs it: nothing but its own output on its standard output.
TEST_F(VolumeOverSmbTest, CommandLineReaderScansAnUnmountedShare) {
    const fs::path cli = fs::path(LANTRIVEX_BINARY_DIR) / "bin" / "lantrivex-cli";
    ASSERT_TRUE(fs::exists(cli)) << cli;
    const fs::path signatures = server_->scratch() / "Signatures.txt";
    std::ofstream(signatures, std::ios::binary)
        << "\"W6BNMSWD\",\"doc\",\"Word 6 document\"\r\n\"TEXTttxt\",\"txt\",\"Text\"\r\n";
    const fs::path out = server_->scratch() / "cli.out";
    const fs::path err = server_->scratch() / "cli.err";
    const int status = smbtest::runProgram(
        {cli.string(), "scan", "--format", "csv", "--signatures", signatures.string(),
         R"(\\127.0.0.1\D$\Mac Volumes\Small)", R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)"},
        out, {}, err);
    EXPECT_EQ(status, 1); // one volume's index is unknown
    EXPECT_EQ(smbtest::readText(out),
              "volume,count,percent,signature,description\r\n"
              "\\\\127.0.0.1\\D$\\Mac Volumes\\Small,3,75,W6BNMSWD,Word 6 document\r\n"
              "\\\\127.0.0.1\\D$\\Mac Volumes\\Small,1,25,TEXTttxt,Text\r\n");
    EXPECT_NE(smbtest::readText(err).find("Unknown Macintosh volume index"), std::string::npos);
    EXPECT_EQ(smbtest::readText(err).find("smb"), std::string::npos) << smbtest::readText(err);
}

} // namespace
} // namespace lantrivex

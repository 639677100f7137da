// A volume analysed end to end from its Windows root \\127.0.0.1\D$\... on a share that no mount
// covers: the POSIX stream reader and folder probe hand the path to the SMB access that
// makeSmbShareAccess() makes from the environment (the port given by LANTRIVEX_SMB_PORT, since a
// Windows path names none), and the volume index reader counts the signatures.

#include "analysis/VolumeIndexReader.h"
#include "fakes/FakeNotifier.h"
#include "platform/posix/PosixFolderProbe.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "platform/posix/SmbShareAccess.h"
#include "smb/SambaServer.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sstream>

namespace lantrivex {
namespace {

namespace fs = std::filesystem;
using smbtest::SambaServer;

// Sets an environment variable for the length of a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* before = std::getenv(name)) {
            saved_ = before;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// An index of about 3 MiB (three reads of the volume index reader): records of binary filler,
// each holding one signature after its 0x01 marker, in a known mix of letter cases.
struct Index {
    std::string bytes;
    std::int64_t text = 0;    // TEXTttxt in either case
    std::int64_t word = 0;    // W6BNMSWD
    std::int64_t xpress = 0;  // XDOCXPR3
    std::string textSpelling; // the spelling of TEXTttxt met first
};

Index makeIndex() {
    Index index;
    std::mt19937 random(7);
    const char* const kinds[] = {"TEXTttxt", "textTTXT", "W6BNMSWD", "XDOCXPR3"};
    while (index.bytes.size() < 3 * 1024 * 1024) {
        // Filler that never forms a signature: bytes above 0x7F and zeros.
        const std::size_t filler = 20 + random() % 200;
        for (std::size_t i = 0; i < filler; ++i) {
            index.bytes.push_back(static_cast<char>((random() & 1) ? 0x80 + random() % 0x80 : 0));
        }
        const unsigned kind = random() % 4;
        index.bytes.push_back('\x01');
        index.bytes += kinds[kind];
        (kind < 2 ? index.text : kind == 2 ? index.word : index.xpress) += 1;
        if (kind < 2 && index.textSpelling.empty()) {
            index.textSpelling = kinds[kind];
        }
    }
    index.bytes.push_back('\0');
    return index;
}

std::int64_t countOf(const analysis::ScanResult& result, std::string_view signature) {
    for (const auto& s : result.signatures) {
        if (s.signature == signature) {
            return s.count;
        }
    }
    return -1;
}

class VolumeOverSmbTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!platform::posix::smbAccessBuiltIn()) {
            skip_ = "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
            return;
        }
        skip_ = SambaServer::whyUnavailable();
        if (!skip_.empty()) {
            return;
        }
        server_ = SambaServer::start(startError_).release();
        if (server_ == nullptr) {
            return;
        }
        index_ = new Index(makeIndex());
        fs::create_directories(server_->shareFolder() / "Mac Volumes" / "Pub");
        fs::create_directories(server_->shareFolder() / "Mac Volumes" / "NoIndex");
        fs::create_directories(server_->shareFolder() / "Mac Volumes" / "Small");
        std::ofstream(server_->scratch() / "mounts"); // a mount table without SMB mounts
        std::string small;
        for (const char* signature : {"W6BNMSWD", "TEXTttxt", "W6BNMSWD", "W6BNMSWD"}) {
            small += std::string("\x01") + signature + std::string(3, '\0');
        }
        if (!server_->putStreams({{"Mac Volumes/Pub:AFP_IdIndex", index_->bytes},
                                  {"Mac Volumes/Small:AFP_IdIndex", small}},
                                 startError_)) {
            delete server_;
            server_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
        delete index_;
        index_ = nullptr;
    }

    void SetUp() override {
        if (!skip_.empty()) {
            GTEST_SKIP() << "No SMB server for this test: " << skip_;
        }
        ASSERT_NE(server_, nullptr) << "smbd would not start:\n" << startError_;
        mounts_.emplace("LANTRIVEX_MOUNTS", (server_->scratch() / "mounts").string());
    }

    static inline SambaServer* server_ = nullptr;
    static inline Index* index_ = nullptr;
    static inline std::string skip_;
    static inline std::string startError_;
    std::optional<ScopedEnv> mounts_;
};

TEST_F(VolumeOverSmbTest, VolumeAnalysedFromItsWindowsRootWithThePortFromTheEnvironment) {
    const ScopedEnv port("LANTRIVEX_SMB_PORT", std::to_string(server_->port()));
    const auto remote = platform::posix::makeSmbShareAccess();
    ASSERT_NE(remote, nullptr);
    platform::posix::PosixNamedStreamReader streams(remote.get());
    platform::posix::PosixFolderProbe folders(remote.get());
    fakes::FakeNotifier notifier;

    const std::string root = R"(\\127.0.0.1\D$\Mac Volumes\Pub)";
    EXPECT_TRUE(folders.folderExists(root));
    const auto result = analysis::ReadVolumeIndex(root, streams, notifier, kEnglish);
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(result->total, index_->text + index_->word + index_->xpress);
    ASSERT_EQ(result->signatures.size(), 3u);
    // TEXTttxt and textTTXT are one signature, under the spelling met first.
    EXPECT_EQ(countOf(*result, index_->textSpelling), index_->text);
    EXPECT_EQ(countOf(*result, "W6BNMSWD"), index_->word);
    EXPECT_EQ(countOf(*result, "XDOCXPR3"), index_->xpress);

    // The same root written with "/" and another letter case of the share.
    EXPECT_TRUE(
        analysis::ReadVolumeIndex("//127.0.0.1/d$/Mac Volumes/Pub", streams, notifier, kEnglish)
            .has_value());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(VolumeOverSmbTest, UnknownIndexWhenTheStreamTheFolderOrTheServerIsMissing) {
    const ScopedEnv port("LANTRIVEX_SMB_PORT", std::to_string(server_->port()));
    const auto remote = platform::posix::makeSmbShareAccess();
    ASSERT_NE(remote, nullptr);
    platform::posix::PosixNamedStreamReader streams(remote.get());
    platform::posix::PosixFolderProbe folders(remote.get());
    fakes::FakeNotifier notifier;

    // A volume folder without an index.
    EXPECT_TRUE(folders.folderExists(R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)"));
    EXPECT_FALSE(analysis::ReadVolumeIndex(R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)", streams,
                                           notifier, kFrench)
                     .has_value());
    // A volume whose folder was deleted.
    EXPECT_FALSE(folders.folderExists(R"(\\127.0.0.1\D$\Mac Volumes\Gone)"));
    EXPECT_FALSE(
        analysis::ReadVolumeIndex(R"(\\127.0.0.1\D$\Mac Volumes\Gone)", streams, notifier, kEnglish)
            .has_value());
    // A share denied to guests.
    EXPECT_FALSE(folders.folderExists(R"(\\127.0.0.1\Private\Mac Volumes\Pub)"));
    EXPECT_FALSE(analysis::ReadVolumeIndex(R"(\\127.0.0.1\Private\Mac Volumes\Pub)", streams,
                                           notifier, kEnglish)
                     .has_value());
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Index de volume Macintosh inconnu",
                                                          "Unknown Macintosh volume index",
                                                          "Unknown Macintosh volume index"}));
    for (const auto& m : notifier.messages) {
        EXPECT_EQ(m.icon, platform::MessageIcon::None);
    }
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
    const ScopedEnv port("LANTRIVEX_SMB_PORT", std::to_string(server_->port()));

    const int status = smbtest::runProgram(
        {cli.string(), "scan", "--format", "csv", "--signatures", signatures.string(),
         R"(\\127.0.0.1\D$\Mac Volumes\Small)", R"(\\127.0.0.1\D$\Mac Volumes\NoIndex)"},
        out, {}, err);
    EXPECT_EQ(status, 1); // one volume's index is unknown
    EXPECT_EQ(readText(out),
              "volume,count,percent,signature,description\r\n"
              "\\\\127.0.0.1\\D$\\Mac Volumes\\Small,3,75,W6BNMSWD,Word 6 document\r\n"
              "\\\\127.0.0.1\\D$\\Mac Volumes\\Small,1,25,TEXTttxt,Text\r\n");
    EXPECT_NE(readText(err).find("Unknown Macintosh volume index"), std::string::npos);
    EXPECT_EQ(readText(err).find("smb"), std::string::npos) << readText(err);
}

TEST_F(VolumeOverSmbTest, ServerNotRunning) {
    const ScopedEnv port("LANTRIVEX_SMB_PORT", std::to_string(smbtest::freeLoopbackPort()));
    const auto remote = platform::posix::makeSmbShareAccess();
    ASSERT_NE(remote, nullptr);
    platform::posix::PosixNamedStreamReader streams(remote.get());
    platform::posix::PosixFolderProbe folders(remote.get());
    fakes::FakeNotifier notifier;
    EXPECT_FALSE(folders.folderExists(R"(\\127.0.0.1\D$\Mac Volumes\Pub)"));
    EXPECT_FALSE(
        analysis::ReadVolumeIndex(R"(\\127.0.0.1\D$\Mac Volumes\Pub)", streams, notifier, kEnglish)
            .has_value());
    EXPECT_EQ(notifier.texts(), (std::vector<std::string>{"Unknown Macintosh volume index"}));
}

} // namespace
} // namespace lantrivex

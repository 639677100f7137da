#include "platform/posix/SmbShareAccess.h"

#include "smb/SambaServer.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <unistd.h>
#include <utility>

namespace lantrivex::platform::posix {
namespace {

namespace fs = std::filesystem;
using smbtest::SambaServer;

std::string bytesOf(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) {
        b = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}
const std::string kSmall = std::string("\x01W6BNMSWD\x00", 10) + bytesOf(1500, 1);
const std::string kBig = bytesOf(6 * 1024 * 1024 + 123, 2);
// 319 characters below the share: beyond the 128 of the old file functions and MAX_PATH's 260.
const std::string kDeep = [] {
    std::string path = "Folder " + std::string(24, 'a');
    for (char c = 'b'; c < 'k'; ++c) {
        path += "/Folder " + std::string(24, c);
    }
    return path;
}();

// Everything a stream gives, read `piece` bytes at a time; "<none>" without a stream.
std::string readAll(const std::unique_ptr<ByteStream>& stream, std::size_t piece = 4096) {
    if (!stream) {
        return "<none>";
    }
    std::string all;
    std::vector<std::byte> buffer(piece);
    while (const std::size_t got = stream->read(buffer.data(), buffer.size())) {
        EXPECT_LE(got, piece);
        all.append(reinterpret_cast<const char*>(buffer.data()), got);
    }
    EXPECT_EQ(stream->read(buffer.data(), 1), 0u); // still the end
    return all;
}

UncPath at(std::string share, std::string rest) {
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return UncPath{"127.0.0.1", std::move(share), std::move(rest)};
}

std::unique_ptr<SmbShareAccess> accessTo(std::uint16_t port, int timeoutSeconds = 5,
                                         const std::string& minProtocol = {}) {
    SmbSettings settings;
    settings.port = port;
    settings.timeout = std::chrono::seconds(timeoutSeconds);
    settings.minProtocol = minProtocol;
    return std::make_unique<SmbShareAccess>(settings);
}

class SmbShareAccessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!(skip_ = SambaServer::whyUnavailable()).empty()) {
            return;
        }
        server_ = SambaServer::start(startError_,
                                     {"Small", "Big", "Plain", "Empty", "A%20B", "Mac Volumes/Pub",
                                      "Volumes Caf\xC3\xA9", kDeep},
                                     {{"Small:AFP_IdIndex", kSmall},
                                      {"Big:AFP_IdIndex", kBig},
                                      {"Empty:AFP_IdIndex", ""},
                                      {"A%20B:AFP_IdIndex", "percent"},
                                      {"Mac Volumes/Pub:AFP_IdIndex", "blank"},
                                      {":AFP_IdIndex", "share root"},
                                      {"Volumes Caf\xC3\xA9:AFP_IdIndex", "accent"},
                                      {kDeep + ":AFP_IdIndex", "deep"}})
                      .release();
        if (server_ != nullptr) {
            std::ofstream(server_->shareFolder() / "file.txt") << "not a folder";
        }
    }
    static void TearDownTestSuite() { delete std::exchange(server_, nullptr); }

    void SetUp() override {
        if (!skip_.empty()) {
            GTEST_SKIP() << "No SMB server for this test: " << skip_;
        }
        ASSERT_NE(server_, nullptr) << "smbd would not start:\n" << startError_;
        access_ = accessTo(server_->port());
    }
    std::string read(const std::string& share, const std::string& rest,
                     std::string_view stream = "AFP_IdIndex") {
        return readAll(access_->openStream(at(share, rest), stream));
    }

    static inline SambaServer* server_ = nullptr;
    static inline std::string skip_;
    static inline std::string startError_;
    std::unique_ptr<SmbShareAccess> access_;
};

TEST_F(SmbShareAccessTest, ReadsSmallAndSeveralMiBStreamsWholeInAnyPieces) {
    auto stream = access_->openStream(at("D$", "Small"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), static_cast<std::int64_t>(kSmall.size()));
    access_.reset(); // the stream outlives its access
    EXPECT_EQ(readAll(stream), kSmall);

    access_ = accessTo(server_->port());
    // Pieces larger than the access's own chunk and not a multiple of it, and smaller ones.
    for (const std::size_t piece : {std::size_t{3 * 1024 * 1024 + 7}, std::size_t{65537}}) {
        stream = access_->openStream(at("D$", "Big"), "AFP_IdIndex");
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->size(), static_cast<std::int64_t>(kBig.size()));
        EXPECT_EQ(readAll(stream, piece), kBig);
    }
    stream = access_->openStream(at("D$", "Empty"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 0);
    EXPECT_EQ(readAll(stream), "");
}

TEST_F(SmbShareAccessTest, NamesReachTheServerAsWritten) {
    // A name that looks like an escape, a blank, the share's root, non-ASCII, a long path.
    const std::pair<std::string, const char*> rows[] = {{"A%20B", "percent"},
                                                        {"Mac Volumes/Pub", "blank"},
                                                        {"", "share root"},
                                                        {"Volumes Caf\xC3\xA9", "accent"},
                                                        {kDeep, "deep"}};
    for (const auto& [rest, content] : rows) {
        EXPECT_TRUE(access_->folderExists(at("D$", rest))) << rest;
        EXPECT_EQ(read("D$", rest), content) << rest;
    }
    EXPECT_FALSE(access_->folderExists(at("D$", "A B")));
    // Letter case as Windows ignores it.
    EXPECT_TRUE(access_->folderExists(at("d$", "")));
    EXPECT_TRUE(access_->folderExists(at("D$", "small")));
}

TEST_F(SmbShareAccessTest, FolderWithoutStreamAndMissingFolderShareOrFile) {
    EXPECT_TRUE(access_->folderExists(at("D$", "Plain")));
    EXPECT_EQ(read("D$", "Plain"), "<none>");
    EXPECT_EQ(read("D$", "Small", "Other"), "<none>");
    EXPECT_EQ(read("D$", "Small", ""), "<none>"); // a folder is no stream
    for (const auto& [share, rest] : {std::pair{"D$", "Missing"}, std::pair{"NoSuchShare", "Small"},
                                      std::pair{"D$", "file.txt"}}) {
        EXPECT_FALSE(access_->folderExists(at(share, rest))) << share << rest;
        EXPECT_EQ(read(share, rest), "<none>") << share << rest;
    }
    EXPECT_EQ(read("D$", "Small"), kSmall); // still working after failures
}

TEST_F(SmbShareAccessTest, ShareDeniedToGuestsOpensWithACredentialsFile) {
    EXPECT_FALSE(access_->folderExists(at("Private", "Small")));
    EXPECT_EQ(read("Private", "Small"), "<none>");
    const fs::path file = server_->scratch() / "credentials";
    SmbSettings settings = access_->settings();
    settings.credentialsFile = file.string();
    for (const std::string password : {SambaServer::kPassword, "wrong"}) {
        std::ofstream(file) << "username = " << SambaServer::kUser << "\npassword = " << password
                            << "\ndomain = WORKGROUP\n";
        SmbShareAccess user(settings);
        const bool right = password != "wrong";
        EXPECT_EQ(user.folderExists(at("Private", "Small")), right);
        EXPECT_EQ(readAll(user.openStream(at("Private", "Small"), "AFP_IdIndex")),
                  right ? kSmall : "<none>");
    }
}

TEST_F(SmbShareAccessTest, NothingReachesStandardOutput) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    {
        SmbShareAccess fresh(access_->settings());
        EXPECT_NE(fresh.openStream(at("D$", "Small"), "AFP_IdIndex"), nullptr);
        EXPECT_EQ(fresh.openStream(at("Private", "Small"), "AFP_IdIndex"), nullptr);
        EXPECT_FALSE(fresh.folderExists(at("D$", "Missing")));
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// The server goes away in the middle of a read: what was read is kept, the rest reads as the end,
// and the program goes on (a write to the dead connection must not end it by SIGPIPE).
TEST(SmbShareAccessLostServer, ServerEndingMidReadGivesAShortRead) {
    if (const auto why = SambaServer::whyUnavailable(); !why.empty()) {
        GTEST_SKIP() << "No SMB server for this test: " << why;
    }
    std::string error;
    auto server = SambaServer::start(error, {"Big"}, {{"Big:AFP_IdIndex", kBig}});
    ASSERT_NE(server, nullptr) << "smbd would not start:\n" << error;
    auto access = accessTo(server->port(), 2);
    auto stream = access->openStream(at("D$", "Big"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    std::vector<std::byte> buffer(1024 * 1024);
    ASSERT_EQ(stream->read(buffer.data(), buffer.size()), buffer.size());
    server->stop();
    // From another thread than the one that made the library's context: the library holds
    // SIGPIPE back only in that one.
    std::size_t rest = 0;
    bool reachable = true;
    std::thread([&] {
        for (std::size_t got; (got = stream->read(buffer.data(), buffer.size())) > 0;) {
            rest += got;
        }
        stream.reset();
        reachable = access->openStream(at("D$", "Big"), "AFP_IdIndex") != nullptr ||
                    access->folderExists(at("D$", "Big"));
    }).join();
    EXPECT_LT(rest + buffer.size(), kBig.size());
    EXPECT_FALSE(reachable); // nothing answers any more
}

// A server that speaks only SMB1, as Windows NT 4 and Windows 2000 do: reached only when the
// oldest dialect is offered (LANTRIVEX_SMB_MIN_PROTOCOL=NT1).
TEST(SmbShareAccessOldServer, Smb1OnlyServerNeedsTheOldDialectOffered) {
    if (const auto why = SambaServer::whyUnavailable(); !why.empty()) {
        GTEST_SKIP() << "No SMB server for this test: " << why;
    }
    std::string error;
    auto server =
        SambaServer::start(error, {"Small"}, {{"Small:AFP_IdIndex", kSmall}},
                           "server min protocol = NT1\nserver max protocol = NT1\n", "NT1");
    ASSERT_NE(server, nullptr) << "smbd would not start:\n" << error;
    // The library's default offers SMB 2.02 and later only (checked first: the dialect setting is
    // process-wide in the library).
    EXPECT_EQ(accessTo(server->port())->openStream(at("D$", "Small"), "AFP_IdIndex"), nullptr);
    const auto old = accessTo(server->port(), 5, "NT1");
    EXPECT_TRUE(old->folderExists(at("D$", "Small")));
    EXPECT_EQ(readAll(old->openStream(at("D$", "Small"), "AFP_IdIndex")), kSmall);
}

// No server (the port refuses connections: a refusal is an answer, nothing waits for the
// timeout), a server whose connection requests go unanswered (a listener whose queue is full) and
// one that takes the connection and never says a word: the timeout ends the wait, far below the
// library's own 20 s per connection.
TEST(SmbShareAccessUnreachable, NoAnswerEndsWithinTheTimeout) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    const struct {
        const char* what;
        int backlog; // no listener when negative
        bool filled;
        int timeout;
        int limit;
    } rows[] = {{"server not running", -1, false, 20, 10},
                {"connection never taken", 0, true, 1, 15},
                {"silent server", 16, false, 1, 15}};
    for (const auto& row : rows) {
        std::uint16_t port = smbtest::freeLoopbackPort();
        const int fd = row.backlog < 0 ? -1 : smbtest::loopbackSocket(row.backlog, port);
        ASSERT_TRUE(row.backlog < 0 || fd >= 0) << row.what;
        const int filler = row.filled ? smbtest::connectToLoopback(port) : -1;
        ASSERT_EQ(row.filled, filler >= 0) << row.what;
        const auto access = accessTo(port, row.timeout);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(access->openStream(at("D$", "Vol"), "AFP_IdIndex"), nullptr) << row.what;
        EXPECT_FALSE(access->folderExists(at("D$", "Vol"))) << row.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(row.limit))
            << row.what;
        ::close(filler);
        ::close(fd);
    }
}

} // namespace
} // namespace lantrivex::platform::posix

#include "platform/posix/SmbShareAccess.h"

#include "smb/SambaServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

namespace fs = std::filesystem;
using smbtest::SambaServer;
using Clock = std::chrono::steady_clock;

// Deterministic bytes of every value.
std::string bytesOf(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) {
        b = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

const std::string& smallStream() {
    static const std::string bytes = std::string("\x01W6BNMSWD\x00", 10) + bytesOf(1500, 1);
    return bytes;
}
const std::string& bigStream() {
    static const std::string bytes = bytesOf(6 * 1024 * 1024 + 123, 2);
    return bytes;
}

// Everything a stream gives, read `piece` bytes at a time.
std::string readAll(ByteStream& stream, std::size_t piece) {
    std::string all;
    std::vector<std::byte> buffer(piece);
    for (;;) {
        const std::size_t got = stream.read(buffer.data(), buffer.size());
        EXPECT_LE(got, piece);
        if (got == 0) {
            return all;
        }
        all.append(reinterpret_cast<const char*>(buffer.data()), got);
    }
}

// A path of 319 characters below the share: ten folders of 31 characters.
std::string longPath(char separator) {
    std::string path;
    for (int i = 0; i < 10; ++i) {
        if (i > 0) {
            path += separator;
        }
        path += "Folder " + std::string(24, static_cast<char>('a' + i));
    }
    return path;
}

UncPath at(std::string share, std::string rest) {
    return UncPath{"127.0.0.1", std::move(share), std::move(rest)};
}

class SmbShareAccessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!smbAccessBuiltIn()) {
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
        const fs::path share = server_->shareFolder();
        for (const char* folder : {"Small", "Big", "Plain", "Empty", "A%20B", "Mac Volumes/Pub",
                                   "Volumes Caf\xC3\xA9"}) {
            fs::create_directories(share / folder);
        }
        fs::create_directories(share / longPath('/'));
        std::ofstream(share / "file.txt") << "not a folder";
        if (!server_->putStreams({{"Small:AFP_IdIndex", smallStream()},
                                  {"Big:AFP_IdIndex", bigStream()},
                                  {"Empty:AFP_IdIndex", ""},
                                  {"A%20B:AFP_IdIndex", "percent"},
                                  {"Mac Volumes/Pub:AFP_IdIndex", "blank"},
                                  {":AFP_IdIndex", "share root"},
                                  {"Volumes Caf\xC3\xA9:AFP_IdIndex", "accent"},
                                  {longPath('/') + ":AFP_IdIndex", "deep"}},
                                 startError_)) {
            delete server_;
            server_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        if (!skip_.empty()) {
            GTEST_SKIP() << "No SMB server for this test: " << skip_;
        }
        ASSERT_NE(server_, nullptr) << "smbd would not start:\n" << startError_;
        SmbSettings settings;
        settings.port = server_->port();
        settings.timeout = std::chrono::seconds(5);
        access_ = std::make_unique<SmbShareAccess>(settings);
    }
    void TearDown() override { access_.reset(); }

    std::unique_ptr<SmbShareAccess> accessWithCredentials(const std::string& text) {
        const fs::path file = server_->scratch() / "credentials";
        std::ofstream(file) << text;
        SmbSettings settings = access_->settings();
        settings.credentialsFile = file.string();
        return std::make_unique<SmbShareAccess>(settings);
    }

    static inline SambaServer* server_ = nullptr;
    static inline std::string skip_;
    static inline std::string startError_;
    std::unique_ptr<SmbShareAccess> access_;
};

TEST_F(SmbShareAccessTest, ReadsASmallStreamWhole) {
    auto stream = access_->openStream(at("D$", "Small"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), static_cast<std::int64_t>(smallStream().size()));
    EXPECT_EQ(readAll(*stream, 4096), smallStream());
    std::byte more[16];
    EXPECT_EQ(stream->read(more, sizeof more), 0u); // still the end
}

TEST_F(SmbShareAccessTest, ReadsAStreamOfSeveralMiBWholeInAnyPieces) {
    auto stream = access_->openStream(at("D$", "Big"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), static_cast<std::int64_t>(bigStream().size()));
    // Pieces larger than the access's own chunk and not a multiple of it.
    EXPECT_EQ(readAll(*stream, 3 * 1024 * 1024 + 7), bigStream());

    stream = access_->openStream(at("D$", "Big"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 65537), bigStream());
}

TEST_F(SmbShareAccessTest, EmptyStreamOpensWithSizeZero) {
    auto stream = access_->openStream(at("D$", "Empty"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 0);
    EXPECT_EQ(readAll(*stream, 100), "");
}

TEST_F(SmbShareAccessTest, NamesReachTheServerAsWritten) {
    // A folder whose name looks like an escape, and one with a blank, Windows separators.
    auto stream = access_->openStream(at("D$", "A%20B"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 100), "percent");
    stream = access_->openStream(at("D$", R"(Mac Volumes\Pub)"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 100), "blank");
    EXPECT_TRUE(access_->folderExists(at("D$", R"(Mac Volumes\Pub)")));
    EXPECT_TRUE(access_->folderExists(at("D$", "A%20B")));
    EXPECT_FALSE(access_->folderExists(at("D$", "A B")));
    // The share's root folder, and letter case as Windows ignores it.
    stream = access_->openStream(at("D$", ""), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 100), "share root");
    EXPECT_TRUE(access_->folderExists(at("d$", "")));
    EXPECT_TRUE(access_->folderExists(at("D$", "small")));
}

TEST_F(SmbShareAccessTest, NonAsciiNamesAndLongPaths) {
    auto stream = access_->openStream(at("D$", "Volumes Caf\xC3\xA9"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 100), "accent");
    // Far beyond the 128 characters of the old file functions, and the 260 of MAX_PATH.
    const std::string deep = longPath('\\');
    ASSERT_GT(deep.size(), 300u);
    EXPECT_TRUE(access_->folderExists(at("D$", deep)));
    stream = access_->openStream(at("D$", deep), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 100), "deep");
}

TEST_F(SmbShareAccessTest, FolderWithoutStream) {
    EXPECT_TRUE(access_->folderExists(at("D$", "Plain")));
    EXPECT_EQ(access_->openStream(at("D$", "Plain"), "AFP_IdIndex"), nullptr);
    EXPECT_EQ(access_->openStream(at("D$", "Small"), "Other"), nullptr);
}

TEST_F(SmbShareAccessTest, MissingFolderShareOrFile) {
    EXPECT_FALSE(access_->folderExists(at("D$", "Missing")));
    EXPECT_EQ(access_->openStream(at("D$", "Missing"), "AFP_IdIndex"), nullptr);
    EXPECT_FALSE(access_->folderExists(at("NoSuchShare", "Small")));
    EXPECT_EQ(access_->openStream(at("NoSuchShare", "Small"), "AFP_IdIndex"), nullptr);
    // A file is no folder, and a folder is no stream.
    EXPECT_FALSE(access_->folderExists(at("D$", "file.txt")));
    EXPECT_EQ(access_->openStream(at("D$", "Small"), ""), nullptr);
    // The access goes on working after failures.
    EXPECT_NE(access_->openStream(at("D$", "Small"), "AFP_IdIndex"), nullptr);
}

TEST_F(SmbShareAccessTest, ShareDeniedToGuests) {
    EXPECT_FALSE(access_->folderExists(at("Private", "Small")));
    EXPECT_EQ(access_->openStream(at("Private", "Small"), "AFP_IdIndex"), nullptr);
    EXPECT_TRUE(access_->folderExists(at("D$", "Small"))); // the same folder, other share
}

TEST_F(SmbShareAccessTest, CredentialsFileOpensTheShareAndAWrongPasswordDoesNot) {
    auto user =
        accessWithCredentials(std::string("username = ") + SambaServer::kUser +
                              "\npassword = " + SambaServer::kPassword + "\ndomain = WORKGROUP\n");
    EXPECT_TRUE(user->folderExists(at("Private", "Small")));
    auto stream = user->openStream(at("Private", "Small"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 4096), smallStream());

    auto wrong =
        accessWithCredentials(std::string("username=") + SambaServer::kUser + "\npassword=wrong\n");
    EXPECT_FALSE(wrong->folderExists(at("Private", "Small")));
    EXPECT_EQ(wrong->openStream(at("Private", "Small"), "AFP_IdIndex"), nullptr);
}

TEST_F(SmbShareAccessTest, NothingReachesStandardOutput) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    {
        auto fresh = std::make_unique<SmbShareAccess>(access_->settings());
        EXPECT_NE(fresh->openStream(at("D$", "Small"), "AFP_IdIndex"), nullptr);
        EXPECT_EQ(fresh->openStream(at("Private", "Small"), "AFP_IdIndex"), nullptr);
        EXPECT_FALSE(fresh->folderExists(at("D$", "Missing")));
    }
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
}

TEST_F(SmbShareAccessTest, StreamOutlivesItsAccess) {
    auto stream = access_->openStream(at("D$", "Small"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    access_.reset();
    EXPECT_EQ(readAll(*stream, 4096), smallStream());
}

// The server goes away in the middle of a read: what was read is kept, the rest reads as the end,
// and the program goes on (a write to the dead connection must not end it by SIGPIPE).
TEST(SmbShareAccessLostServer, ServerEndingMidReadGivesAShortRead) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    if (const auto why = SambaServer::whyUnavailable(); !why.empty()) {
        GTEST_SKIP() << "No SMB server for this test: " << why;
    }
    std::string error;
    auto server = SambaServer::start(error);
    ASSERT_NE(server, nullptr) << "smbd would not start:\n" << error;
    fs::create_directories(server->shareFolder() / "Big");
    ASSERT_TRUE(server->putStreams({{"Big:AFP_IdIndex", bigStream()}}, error)) << error;

    SmbSettings settings;
    settings.port = server->port();
    settings.timeout = std::chrono::seconds(2);
    SmbShareAccess access(settings);
    auto stream = access.openStream(at("D$", "Big"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    std::vector<std::byte> buffer(1024 * 1024);
    ASSERT_EQ(stream->read(buffer.data(), buffer.size()), buffer.size());

    server->stop();
    // From another thread than the one that made the library's context: the library holds
    // SIGPIPE back only in that one.
    std::size_t rest = 0;
    bool reachable = true;
    std::thread other([&] {
        for (std::size_t got; (got = stream->read(buffer.data(), buffer.size())) > 0;) {
            rest += got;
        }
        stream.reset();
        reachable = access.openStream(at("D$", "Big"), "AFP_IdIndex") != nullptr ||
                    access.folderExists(at("D$", "Big"));
    });
    other.join();
    EXPECT_LT(rest + buffer.size(), bigStream().size());
    EXPECT_FALSE(reachable); // nothing answers any more
}

// A server that speaks only SMB1, as Windows NT 4 and Windows 2000 do: reached only when the
// oldest dialect is offered (LANTRIVEX_SMB_MIN_PROTOCOL=NT1).
TEST(SmbShareAccessOldServer, Smb1OnlyServerNeedsTheOldDialectOffered) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    if (const auto why = SambaServer::whyUnavailable(); !why.empty()) {
        GTEST_SKIP() << "No SMB server for this test: " << why;
    }
    std::string error;
    auto server = SambaServer::start(error, "server min protocol = NT1\n"
                                            "server max protocol = NT1\n");
    ASSERT_NE(server, nullptr) << "smbd would not start:\n" << error;
    fs::create_directories(server->shareFolder() / "Small");
    // Written with smbclient's own defaults (SMB2 and later) is refused by this server: write
    // through SMB1.
    ASSERT_TRUE(server->putStreams({{"Small:AFP_IdIndex", smallStream()}}, error, "NT1")) << error;

    SmbSettings settings;
    settings.port = server->port();
    settings.timeout = std::chrono::seconds(5);
    {
        // The library's default offers SMB 2.02 and later only (checked first: the dialect
        // setting is process-wide in the library).
        SmbShareAccess modern(settings);
        EXPECT_EQ(modern.openStream(at("D$", "Small"), "AFP_IdIndex"), nullptr);
    }
    settings.minProtocol = "NT1";
    SmbShareAccess old(settings);
    EXPECT_TRUE(old.folderExists(at("D$", "Small")));
    auto stream = old.openStream(at("D$", "Small"), "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream, 4096), smallStream());
}

// No server at all: the port refuses connections.
TEST(SmbShareAccessUnreachable, ServerNotRunningFailsAtOnce) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    SmbSettings settings;
    settings.port = smbtest::freeLoopbackPort();
    settings.timeout = std::chrono::seconds(20);
    SmbShareAccess access(settings);
    const auto start = Clock::now();
    EXPECT_EQ(access.openStream(at("D$", "Vol"), "AFP_IdIndex"), nullptr);
    EXPECT_FALSE(access.folderExists(at("D$", "Vol")));
    // A refusal is an answer: nothing waits for the timeout.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

// A server whose connection requests go unanswered (here: a listener whose queue is full): the
// library alone would wait 20 s for each connection; the timeout ends the wait.
TEST(SmbShareAccessUnreachable, ConnectionNeverTakenEndsWithTheTimeout) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length), 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof a), 0); // fills the queue

    SmbSettings settings;
    settings.port = ntohs(a.sin_port);
    settings.timeout = std::chrono::seconds(1);
    SmbShareAccess access(settings);
    const auto start = Clock::now();
    EXPECT_EQ(access.openStream(at("D$", "Vol"), "AFP_IdIndex"), nullptr);
    EXPECT_FALSE(access.folderExists(at("D$", "Vol")));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));
    ::close(filler);
    ::close(fd);
}

// A server that takes the connection and never says a word: the timeout ends the wait.
TEST(SmbShareAccessUnreachable, SilentServerEndsWithTheTimeout) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length), 0);
    ASSERT_EQ(::listen(fd, 16), 0); // the kernel completes the handshakes; nobody answers

    SmbSettings settings;
    settings.port = ntohs(a.sin_port);
    settings.timeout = std::chrono::seconds(1);
    SmbShareAccess access(settings);
    const auto start = Clock::now();
    EXPECT_EQ(access.openStream(at("D$", "Vol"), "AFP_IdIndex"), nullptr);
    EXPECT_FALSE(access.folderExists(at("D$", "Vol")));
    // Two operations, each bounded by a few times the timeout; far below the library's own 20 s
    // connection wait.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));
    ::close(fd);
}

} // namespace
} // namespace lantrivex::platform::posix

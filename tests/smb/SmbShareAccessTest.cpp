// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SmbShareAccess.h"

#include "smb/SambaServer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <tuple>
#include <unistd.h>

namespace lantrivex::smb {
using namespace lantrivex::platform;
namespace {

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
// Everything a stream gives, read `piece` bytes at a time; "<none>" without a stream.
std::string readAll(const std::unique_ptr<ByteStream>& stream, std::size_t piece = 4096) {
    if (!stream) {
        return "<none>";
    }
    std::string all;
    std::vector<std::byte> buffer(piece);
    while (const std::size_t got = stream->read(buffer.data(), buffer.size())) {
        all.append(reinterpret_cast<const char*>(buffer.data()), got);
    }
    EXPECT_EQ(stream->read(buffer.data(), 1), 0u); // still the end
    return all;
}

UncPath at(std::string share, std::string rest) {
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return UncPath{"127.0.0.1", std::move(share), std::move(rest)};
}

SmbSettings settingsFor(std::uint16_t port, int timeoutSeconds = 5) {
    SmbSettings settings;
    settings.port = port;
    settings.timeout = std::chrono::seconds(timeoutSeconds);
    return settings;
}

class SmbShareAccessTest : public smbtest::SambaSuite<SmbShareAccessTest> {
public:
    static std::unique_ptr<SambaServer> startServer(std::string& error) {
        auto server = SambaServer::start(
            error, {"Small", "Big", "Plain", "Empty", "A%20B", "Volumes Caf\xC3\xA9"},
            {{"Small:AFP_IdIndex", kSmall},
             {"Big:AFP_IdIndex", kBig},
             {"Empty:AFP_IdIndex", ""},
             {"A%20B:AFP_IdIndex", "percent"},
             {":AFP_IdIndex", "share root"},
             {"Volumes Caf\xC3\xA9:AFP_IdIndex", "accent"}});
        if (server) {
            std::ofstream(server->shareFolder() / "file.txt") << "not a folder";
        }
        return server;
    }
    void ready() { access_ = std::make_unique<SmbShareAccess>(settingsFor(server_->port())); }

protected:
    std::string read(const std::string& share, const std::string& rest,
                     std::string_view stream = "AFP_IdIndex") {
        return readAll(access_->openStream(at(share, rest), stream));
    }

    std::unique_ptr<SmbShareAccess> access_;
};

TEST_F(SmbShareAccessTest, ReadsSmallEmptyAndSeveralMiBStreamsWhole) {
    // The big one in pieces larger than the access's own 1 MiB chunk and not a multiple of it.
    for (const auto& [name, bytes, piece] :
         {std::tuple{"Small", &kSmall, 4096}, {"Big", &kBig, 3 * 1024 * 1024 + 7}}) {
        const auto stream = access_->openStream(at("D$", name), "AFP_IdIndex");
        ASSERT_NE(stream, nullptr) << name;
        EXPECT_EQ(stream->size(), static_cast<std::int64_t>(bytes->size())) << name;
        ready(); // a new access: the stream outlives the one it came from
        EXPECT_EQ(readAll(stream, piece), *bytes) << name;
    }
    EXPECT_EQ(read("D$", "Empty"), "");
}

TEST_F(SmbShareAccessTest, NamesReachTheServerAsWrittenInAnyLetterCaseAndMissingOnesGiveNothing) {
    const std::tuple<const char*, const char*, const char*, bool, std::string> rows[] = {
        {"D$", "A%20B", "AFP_IdIndex", true, "percent"}, // a name that looks like an escape
        {"D$", "A B", "AFP_IdIndex", false, "<none>"},
        {"D$", "", "AFP_IdIndex", true, "share root"},
        {"D$", "Volumes Caf\xC3\xA9", "AFP_IdIndex", true, "accent"},
        {"d$", "small", "AFP_IdIndex", true, kSmall},
        {"D$", "Plain", "AFP_IdIndex", true, "<none>"}, // a folder without the stream
        {"D$", "Small", "Other", true, "<none>"},
        {"D$", "Small", "", true, "<none>"}, // a folder is no stream
        {"D$", "Missing", "AFP_IdIndex", false, "<none>"},
        {"NoSuchShare", "Small", "AFP_IdIndex", false, "<none>"},
        {"D$", "file.txt", "AFP_IdIndex", false, "<none>"},
        {"D$", "Small", "AFP_IdIndex", true, kSmall}, // still working after failures
    };
    for (const auto& [share, rest, stream, folder, content] : rows) {
        EXPECT_EQ(access_->folderExists(at(share, rest)), folder) << share << rest;
        EXPECT_EQ(read(share, rest, stream), content) << share << rest << ":" << stream;
    }
}

// Only the account of a usable credentials file is ever used: a logon that the server would turn
// into a guest session (a wrong password), a file that cannot be used (no user name, readable by
// others, missing) read nothing, not even from the share guests may read; SMB1 stays reachable.
TEST_F(SmbShareAccessTest, OnlyTheAccountOfAUsableCredentialsFileIsEverUsed) {
    namespace fs = std::filesystem;
    EXPECT_FALSE(access_->folderExists(at("Private", "Small")));
    EXPECT_EQ(read("Private", "Small"), "<none>");
    EXPECT_EQ(read("D$", "Small"), kSmall) << "guests read D$ without a credentials file";
    const std::string account =
        "username = " + std::string(SambaServer::kUser) + "\npassword = " + SambaServer::kPassword;
    const fs::perms owner = fs::perms::owner_read | fs::perms::owner_write;
    const struct {
        std::string bytes; // "" for no file at all
        fs::perms mode;
        const char* protocol;
        bool reads;
    } rows[] = {
        {account, owner, "", true},
        {"\xEF\xBB\xBF" + account, owner, "", true},
        {account, owner, "NT1", true},
        {"username = root\npassword = wrong\n", owner, "", false},
        {"username = root\npassword = wrong\n", owner, "NT1", false},
        {"usr = root\npassword = " + std::string(SambaServer::kPassword), owner, "", false},
        {account, owner | fs::perms::group_read, "", false},
        {"", owner, "", false},
    };
    for (const auto& row : rows) {
        SmbSettings settings = access_->settings();
        settings.credentialsFile = (server_->scratch() / "credentials").string();
        settings.minProtocol = row.protocol;
        fs::remove(settings.credentialsFile);
        if (!row.bytes.empty()) {
            std::ofstream(settings.credentialsFile) << row.bytes << "\n";
            fs::permissions(settings.credentialsFile, row.mode);
        }
        SmbShareAccess user(settings);
        const std::string expected = row.reads ? kSmall : "<none>";
        EXPECT_EQ(user.folderExists(at("Private", "Small")), row.reads) << row.bytes;
        EXPECT_EQ(readAll(user.openStream(at("Private", "Small"), "AFP_IdIndex")), expected)
            << row.bytes << row.protocol;
        EXPECT_EQ(readAll(user.openStream(at("D$", "Small"), "AFP_IdIndex")), expected)
            << row.bytes << row.protocol;
    }
}

// No server (a refusal is an answer: nothing waits), connection requests left unanswered (a
// listener whose queue is full), a server that takes the connection and never says a word: the
// timeout ends the wait, far below the library's own 20 s per connection.
TEST(SmbShareAccessUnreachable, NoAnswerEndsWithinTheTimeout) {
    if (!smbAccessBuiltIn()) {
        GTEST_SKIP() << "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    for (const int backlog : {-1, 0, 16}) { // -1: no listener; 0: its queue filled at once
        std::uint16_t port = smbtest::freeLoopbackPort();
        const int fd = backlog < 0 ? -1 : smbtest::loopbackSocket(backlog, port);
        const int filler = backlog == 0 ? smbtest::connectToLoopback(port) : -1;
        ASSERT_EQ(backlog == 0, filler >= 0) << backlog;
        SmbShareAccess access(settingsFor(port, backlog < 0 ? 20 : 1));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(access.openStream(at("D$", "Vol"), "AFP_IdIndex"), nullptr) << backlog;
        EXPECT_FALSE(access.folderExists(at("D$", "Vol"))) << backlog;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << backlog;
        ::close(filler);
        ::close(fd);
    }
}

} // namespace
} // namespace lantrivex::smb

// SPDX-License-Identifier: GPL-3.0-or-later
// The Kerberos logon against the Samba domain controller of the fixture KerberosDc
// (tests/kerberos/samba-dc.sh): the live registry and a stream read with a ticket alone, the ticket
// offered before a credentials file's account, unusable tickets told as such, and the command-line
// reader's --verbose.

#include "discovery/MacServerLookup.h"
#include "platform/SmbLogonReport.h"
#include "platform/TempFolder.h"
#include "smb/KerberosCacheBytes.h"
#include "smb/RegExportWriter.h"
#include "smb/SambaServer.h"
#include "smb/SmbRegistry.h"
#include "smb/SmbShareAccess.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace lantrivex {
namespace {

using namespace platform;
using platform::posix::ScopedEnv;
using smb::SmbSettings;
namespace fs = std::filesystem;

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
const std::string kIndex = std::string("\x01TEXTttxt\0\0\0\0\0\0\0", 16) +
                           "\x01"
                           "APPLMSWD" +
                           std::string(7, '\0');

using smbtest::readText;
using smbtest::shell;

// The fixture's controller: where it is, and what the tests add to it once (a registry, a volume's
// index stream, the ticket of a user disabled after it was issued).
class KerberosDcTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dir = std::getenv("LANTRIVEX_KERBEROS_DC");
        if (dir == nullptr) {
            skip_ = "LANTRIVEX_KERBEROS_DC is not set (ctest's fixture KerberosDc sets it)";
            return;
        }
        dir_ = dir;
        if (fs::exists(dir_ / "unavailable")) {
            skip_ = "No domain controller for this test: " + readText(dir_ / "unavailable");
            return;
        }
        std::ifstream env(dir_ / "dc.env");
        for (std::string line; std::getline(env, line);) {
            const std::string key = line.substr(0, line.find('=')),
                              value = line.substr(key.size() + 1);
            (key == "host" ? host_ : key == "password" ? password_ : port_) = value;
        }
        ::setenv("KRB5_CONFIG", (dir_ / "krb5.conf").c_str(), 1);
        error_ = host_.empty() ? "the fixture wrote no dc.env" : prepareOnce();
    }

    void SetUp() override {
        if (!skip_.empty()) {
            GTEST_SKIP() << skip_;
        }
        ASSERT_EQ(error_, "");
        settings.port = static_cast<std::uint16_t>(std::stoi(port_));
        settings.timeout = std::chrono::seconds(5);
    }

    // Under a lock, since the tests run as processes of their own, maybe side by side.
    static std::string prepareOnce() {
        const int lock =
            ::open((dir_ / "prepare.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        ::flock(lock, LOCK_EX);
        std::string error;
        if (!fs::exists(dir_ / "prepared")) {
            const fs::path reg = dir_ / "machine.reg", index = dir_ / "index", out = dir_ / "out";
            std::ofstream(reg, std::ios::binary) << smbtest::regExport(
                {{kMacFile, {{"ServerName", 1, "Serveur Kerberos"}}},
                 {std::string(kMacFile) + "\\Volumes", {{"Vol", 7, "Path=D:\\Vol"}}}});
            std::ofstream(index, std::ios::binary) << kIndex;
            const std::string sam = " -H '" + (dir_ / "private/sam.ldb").string() + "'";
            const std::string steps[]{
                "net -s '" + (dir_ / "etc/smb.conf").string() + "' registry import '" +
                    reg.string() + "'",
                "KRB5CCNAME='FILE:" + (dir_ / "alice.cc").string() + "' smbclient '//" + host_ +
                    "/D$' -p " + port_ + " --use-kerberos=required -c 'mkdir Vol; put \"" +
                    index.string() + "\" \"Vol:AFP_IdIndex\"'",
                "samba-tool user create carol '" + password_ + "'" + sam,
                "echo '" + password_ + "' | KRB5CCNAME='FILE:" + (dir_ / "carol.cc").string() +
                    "' kinit carol",
                "samba-tool user disable carol" + sam,
            };
            for (const std::string& step : steps) {
                if (shell(step + " >'" + out.string() + "' 2>&1") != 0) {
                    error = step + " failed:\n" + readText(out);
                    break;
                }
            }
            if (error.empty()) {
                std::ofstream(dir_ / "prepared") << "yes";
            }
        }
        ::flock(lock, LOCK_UN);
        ::close(lock);
        return error;
    }

    // A credentials file of bob with `password`, private as it must be.
    std::string credentials(const std::string& password) const {
        const std::string file = files.file("bob-" + std::to_string(password.size()));
        posix::TempFolder::writeFile(file, "username=LANTRIVEX\\bob\npassword=" + password + "\n");
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        return file;
    }

    static std::string cache(const std::string& user) {
        return "FILE:" + (dir_ / (user + ".cc")).string();
    }

    static inline fs::path dir_;
    static inline std::string host_, port_, password_, skip_, error_;
    SmbSettings settings;
    posix::TempFolder files;
};

// What the registry of `server` gives: the server's name and its volumes; with the reason when
// it cannot be read.
std::string lookup(Registry& registry, const std::string& server) {
    discovery::MacServerLookup l(registry, 0);
    std::string text = l.GetMacServerName(false, server);
    if (l.GetLantrivexNames(false, server)) {
        for (std::size_t i = 0; i < l.sVolumeNames.size(); ++i) {
            text += " | " + l.sVolumeNames[i] + " -> " + l.sVolumePaths[i];
        }
    }
    const AccessFailure failure = registry.connectFailure(server);
    return failure == AccessFailure::None
               ? text
               : text + " (" + std::string(accessFailureId(failure)) + ")";
}

// The index stream of the volume Vol, or the reason it cannot be read.
std::string stream(smb::SmbShareAccess& access, const std::string& server) {
    StreamOpening opening =
        access.openStreamWithReason(UncPath{server, "D$", "Vol"}, "AFP_IdIndex");
    if (!opening.stream) {
        return "(" + std::string(accessFailureId(opening.failure)) + ")";
    }
    std::string bytes(4096, '\0');
    bytes.resize(opening.stream->read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size()));
    return bytes == kIndex ? "the index" : "other bytes";
}

TEST_F(KerberosDcTest, TicketReadsRegistryAndStreamBeforeAnyAccountOfTheFile) {
    const ScopedEnv ticket("KRB5CCNAME", cache("alice"));
    for (const std::string& file :
         {std::string(), credentials("Wrong-Password"), credentials(password_)}) {
        std::vector<SmbLogonReport> reports;
        setSmbLogonListener([&](const SmbLogonReport& r) { reports.push_back(r); });
        settings.credentialsFile = file;
        smb::SmbRegistry registry(settings);
        smb::SmbShareAccess access(settings);
        EXPECT_EQ(lookup(registry, host_), "Serveur Kerberos | Vol -> \\\\" + host_ + "\\D$\\Vol")
            << file;
        EXPECT_EQ(stream(access, host_), "the index") << file;
        setSmbLogonListener(nullptr);
        ASSERT_EQ(reports.size(), 1U) << file;
        EXPECT_EQ(reports[0].method, SmbLogonReport::Method::KerberosTicket);
        EXPECT_EQ(reports[0].who, "alice@LANTRIVEX.TEST");
    }
}

TEST_F(KerberosDcTest, UnusableTicketsAreToldAsSuch) {
    files.write("empty.cc", test::kerberosCacheBytes({}));
    files.write("expired.cc", test::kerberosCacheBytes({{"krbtgt", "LANTRIVEX.TEST", 1'000'000}}));
    const std::string alice = readText(dir_ / "alice.cc");
    files.write("cut.cc", alice.substr(0, alice.size() / 2));
    const struct {
        std::string cache, server, reason;
    } cases[]{
        {"FILE:" + files.file("empty.cc"), host_, "ticket-cache-empty"},
        {"FILE:" + files.file("cut.cc"), host_, "ticket-cache-corrupt"},
        {"FILE:" + files.file("expired.cc"), host_, "ticket-expired"},
        {cache("alice"), "127.0.0.1", "server-by-address"},
        {cache("carol"), host_, "ticket-refused"}, // disabled after her ticket was issued
    };
    for (const auto& c : cases) {
        const ScopedEnv ticket("KRB5CCNAME", c.cache);
        smb::SmbRegistry registry(settings);
        smb::SmbShareAccess access(settings);
        EXPECT_EQ(lookup(registry, c.server), " (" + c.reason + ")") << c.cache;
        EXPECT_EQ(stream(access, c.server), "(" + c.reason + ")") << c.cache;
    }
}

TEST_F(KerberosDcTest, CommandLineReaderTellsTheLogonOfEachServer) {
    const std::string good = credentials(password_), wrong = credentials("Wrong-Password");
    const struct {
        std::string cache, file, told;
    } cases[]{
        {cache("alice"), wrong, "Kerberos ticket of alice@LANTRIVEX.TEST"},
        {"FILE:/nonexistent/cache", good, "account LANTRIVEX\\bob from " + good},
        {"FILE:" + dir_.string() + "/nonexistent", "", "Access denied"}, // guest: the DC has none
    };
    for (const auto& c : cases) {
        const std::string out = files.file("cli.out"), err = files.file("cli.err");
        shell("KRB5CCNAME='" + c.cache + "' LANTRIVEX_SMB_CREDENTIALS='" + c.file +
              "' LANTRIVEX_SMB_PORT=" + port_ +
              " '" LANTRIVEX_BINARY_DIR "/bin/lantrivex-cli' scan --verbose --format csv '\\\\" +
              host_ + "\\D$\\Vol' >'" + out + "' 2>'" + err + "'");
        const std::string told = readText(err);
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(told.find(password_), std::string::npos) << told;
        EXPECT_EQ(readText(out).find("TEXTttxt") != std::string::npos, c.told != "Access denied");
    }
}

} // namespace
} // namespace lantrivex

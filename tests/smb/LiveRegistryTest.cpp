// SPDX-License-Identifier: GPL-3.0-or-later
// Machines' registries read live through smbd's winreg service, next to the same registries read
// from their exports; the failures a network gives (absent and denied keys, a refused logon, a
// closed port, a silent server).

#include "discovery/MacServerLookup.h"
#include "platform/TempFolder.h"
#include "regfile/RegFileRegistry.h"
#include "smb/SambaServer.h"
#include "smb/SmbRegistry.h"
#include "smb/TestRegistry.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace lantrivex {
namespace {

using namespace platform;
using platform::posix::ScopedEnv;
using smb::SmbRegistry;
using smb::SmbSettings;
using smbtest::SambaServer;
using namespace smbtest::test_registry;

// What the lookup finds for one product: the server name, then "name -> root" per entry.
std::string lookup(Registry& registry, discovery::ProductCode product) {
    discovery::MacServerLookup l(registry, product);
    std::string text = l.GetMacServerName(false, "127.0.0.1");
    if (!l.GetLantrivexNames(false, "127.0.0.1")) {
        return text + " | no volumes key";
    }
    for (std::size_t i = 0; i < l.sVolumeNames.size(); ++i) {
        text += " | " + l.sVolumeNames[i] + " -> " + l.sVolumePaths[i];
    }
    return text;
}

// Every value of a key: name, type, data.
std::string dump(Registry& registry, const std::string& path) {
    std::unique_ptr<RegistryHive> hive;
    std::unique_ptr<RegistryKey> key;
    if (const auto e = registry.connect("127.0.0.1", hive); e != kRegOk) {
        return "connect " + std::to_string(e);
    }
    if (const auto e = hive->openKey(path, kKeyRead, key); e != kRegOk) {
        return "open " + std::to_string(e);
    }
    std::string text;
    std::string name;
    for (std::int32_t i = 0; key->enumValueName(i, 255, name) == kRegOk; ++i) {
        std::uint32_t type = 0, size = 0;
        std::string data;
        const auto info = key->queryValueInfo(name, type, size);
        const auto read = key->queryValueData(name, size, type, data);
        text += name + " " + std::to_string(info) + std::to_string(read) + " type " +
                std::to_string(type) + " size " + std::to_string(size) + ": " + data + "\n";
    }
    return text;
}

class LiveRegistryTest : public smbtest::SambaSuite<LiveRegistryTest> {
public:
    static std::unique_ptr<SambaServer> startServer(std::string& error) {
        auto server = SambaServer::start(error, {}, {}, true);
        if (server && (!server->importRegistry(smbtest::regExport(machineRegistry()), error) ||
                       !server->denyKeyToUsers(std::string(kExtremeZ) + "\\Volumes", error))) {
            server.reset();
        }
        return server;
    }
    void ready() {
        settings.port = server_->port();
        settings.timeout = std::chrono::seconds(2);
        settings.kerberos = false;
        settings.credentialsFile = credentials(SambaServer::kPassword);
        exports.write("127.0.0.1.reg", smbtest::regExport(machineRegistry()));
    }

protected:
    // A credentials file of the server's ordinary user with `password`.
    std::string credentials(const std::string& password) const {
        const std::string file = exports.file("credentials-" + std::to_string(password.size()));
        posix::TempFolder::writeFile(file, std::string("username=") + SambaServer::kReader +
                                               "\npassword=" + password + "\n");
        std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_write);
        return file;
    }

    SmbSettings settings;
    posix::TempFolder exports;
};

TEST_F(LiveRegistryTest, EveryProductReadsLiveAsFromItsExport) {
    SmbRegistry live(settings);
    regfile::RegFileRegistry file(exports.path(), "HOST");
    const std::string root = R"( -> \\127.0.0.1\)";
    const std::vector<std::pair<discovery::ProductCode, std::string>> cases{
        {0, "Serveur Éloïse | Pub" + root + R"(D$\Mac Volumes\Pub |  -> )" + " | Graphisme é" +
                root + R"(D$\Graphisme é | Racine)" + root + " | Gros" + root + R"(D$\Gros)"},
        {1, "127.0.0.1 | Cyan" + root + R"(C$\Cyan)"},
        {2, "XZ | no volumes key"}, // the volumes key is denied to ordinary users
    };
    for (const auto& [product, expected] : cases) {
        EXPECT_EQ(lookup(live, product), expected) << "product " << product;
        if (product != 2) {
            EXPECT_EQ(lookup(file, product), expected) << "product " << product;
        }
    }
    // Every type, byte for byte as from the export.
    const std::string values = dump(live, kTypes);
    EXPECT_EQ(values, dump(file, kTypes));
    EXPECT_NE(values.find("Number 00 type 4 size 4: \x78\x56\x34\x12"), std::string::npos)
        << values;
    EXPECT_EQ(dump(live, std::string(kMacFile) + "\\Volumes"),
              dump(file, std::string(kMacFile) + "\\Volumes"));
}

TEST_F(LiveRegistryTest, AbsentAndDeniedKeysAndValuesAndReadOnlyOpens) {
    SmbRegistry live(settings);
    std::unique_ptr<RegistryHive> hive;
    ASSERT_EQ(live.connect("127.0.0.1", hive), kRegOk);
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(hive->openKey("SOFTWARE\\Absent", kKeyRead, key), kRegFileNotFound);
    EXPECT_EQ(hive->openKey(std::string(kExtremeZ) + "\\Volumes", kKeyRead, key), kRegAccessDenied);
    EXPECT_EQ(hive->openKey(kMacFile, kKeyAllAccess, key), kRegAccessDenied);
    ASSERT_EQ(hive->openKey(kMacFile, kKeyRead, key), kRegOk);
    std::uint32_t type = 0, size = 0;
    std::string data, name;
    EXPECT_EQ(key->queryValueInfo("Absent", type, size), kRegFileNotFound);
    EXPECT_EQ(key->queryValueData("ServerName", 5, type, data), kRegMoreData);
    EXPECT_EQ(key->enumValueName(1, 255, name), kRegNoMoreItems);
}

// A wrong password (which the server would turn into a guest session) and credentials files that
// cannot be used read nothing; the file's problem is told once per rebuild, with the file.
TEST_F(LiveRegistryTest, LogonRefusedUnusableCredentialsOrServerGoneReadsNothing) {
    namespace fs = std::filesystem;
    const std::string unusable = exports.file("unusable");
    const struct {
        std::string bytes; // "" for no file at all
        fs::perms mode;
        const char* told; // the start of the reason told, "" for none
    } rows[] = {
        {"username=daemon\npassword=not the password\n", fs::perms::owner_read, ""},
        {"", fs::perms::owner_read, "No such file"},
        {"\xEF\xBB\xBFuser=daemon\npassword=not the password\n", fs::perms::owner_read, ""},
        {"usr=daemon\n", fs::perms::owner_read, "no user name"},
        {std::string("username=daemon\npassword=") + SambaServer::kPassword,
         fs::perms::owner_read | fs::perms::others_read, "the file may be read"},
    };
    for (const auto& row : rows) {
        fs::remove(unusable);
        if (!row.bytes.empty()) {
            posix::TempFolder::writeFile(unusable, row.bytes);
            fs::permissions(unusable, row.mode);
        }
        SmbSettings refused = settings;
        refused.credentialsFile = unusable;
        SmbRegistry live(refused);
        std::unique_ptr<RegistryHive> hive;
        EXPECT_EQ(live.connect("127.0.0.1", hive), kRegAccessDenied) << row.bytes;
        EXPECT_EQ(lookup(live, 0), " | no volumes key") << row.bytes;
        auto problems = live.takeProblems();
        std::erase_if(problems, [](const RegistryProblem& p) { return !p.damaged; }); // warnings
        ASSERT_EQ(problems.size(), *row.told ? 1u : 0u) << row.bytes;
        if (*row.told) {
            EXPECT_TRUE(problems[0].credentials);
            EXPECT_EQ(problems[0].file, unusable);
            EXPECT_EQ(problems[0].english.rfind(row.told, 0), 0u) << problems[0].english;
            live.beginRebuild();
            EXPECT_EQ(live.connect("127.0.0.1", hive), kRegAccessDenied);
            EXPECT_FALSE(live.takeProblems().empty()) << "told again after a rebuild";
        }
    }
    std::unique_ptr<RegistryHive> hive;
    SmbSettings closed = settings;
    closed.port = smbtest::freeLoopbackPort();
    EXPECT_EQ(SmbRegistry(closed).connect("127.0.0.1", hive), kRegBadNetPath);
}

// A server that takes the connection and never answers: the wait ends with the timeout, and the
// machine is not asked again before the next rebuild.
TEST_F(LiveRegistryTest, SilentServerIsAskedOncePerRebuild) {
    std::uint16_t port = 0;
    const int listener = smbtest::loopbackSocket(16, port);
    ASSERT_GE(listener, 0);
    ::fcntl(listener, F_SETFL, O_NONBLOCK);
    const auto connectionsTaken = [listener] {
        int n = 0;
        for (int fd; (fd = ::accept(listener, nullptr, nullptr)) >= 0; ++n) {
            ::close(fd);
        }
        return n;
    };
    SmbSettings silent = settings;
    silent.port = port;
    silent.timeout = std::chrono::seconds(1);
    SmbRegistry live(silent);
    std::unique_ptr<RegistryHive> hive;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(live.connect("127.0.0.1", hive), kRegBadNetPath);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_GT(connectionsTaken(), 0);
    EXPECT_EQ(live.connect("127.0.0.1", hive), kRegBadNetPath);
    EXPECT_EQ(live.connect("127.0.0.1", hive), kRegBadNetPath);
    EXPECT_EQ(connectionsTaken(), 0) << "asked again within the rebuild";
    live.beginRebuild();
    EXPECT_EQ(live.connect("127.0.0.1", hive), kRegBadNetPath);
    EXPECT_GT(connectionsTaken(), 0);
    ::close(listener);
}

// The command-line reader on a network known only by its mount table, without any export: the
// catalogue comes from the server's registry itself; with a wrong password, from nothing.
TEST_F(LiveRegistryTest, CommandLineCatalogueBuiltLiveFromTheMountTable) {
    exports.folder("mnt/Mac Volumes/Pub");
    const std::string mount = exports.file("mnt");
    exports.write("mounts", "//127.0.0.1/D$ " + mount + " cifs rw 0 0\n");
    const auto run = [&](const std::string& credentialsFile, const std::string& command) {
        const std::string out = exports.file("cli.out");
        smbtest::shell(
            "LANTRIVEX_MOUNTS='" + exports.file("mounts") + "' LANTRIVEX_REGISTRY_DIR='" +
            exports.file("none") + "' LANTRIVEX_GVFS_DIR='" + exports.file("none") +
            "' LANTRIVEX_SMB_PORT=" + std::to_string(server_->port()) +
            " LANTRIVEX_SMB_CREDENTIALS='" + credentialsFile +
            "' '" LANTRIVEX_BINARY_DIR "/bin/lantrivex-cli' " + command + " >'" + out + "' 2>&1");
        return smbtest::readText(out);
    };
    const std::string catalogue = "catalogue --product 0 --format json";
    const std::string json = run(credentials(SambaServer::kPassword), catalogue);
    for (const std::string part :
         {R"("server":{)", R"("Serveur Éloïse")",
          R"({"name":"Pub","root":"\\\\127.0.0.1\\D$\\Mac Volumes\\Pub","found":true,"panel":1})",
          R"({"name":"Gros","root":"\\\\127.0.0.1\\D$\\Gros","found":false,"panel":4})"}) {
        EXPECT_NE(json.find(part), std::string::npos) << json;
    }
    const std::string refused = run(credentials("not the password"), catalogue);
    EXPECT_NE(refused.find("127.0.0.1"), std::string::npos) << refused;
    EXPECT_EQ(refused.find(R"("server":{)"), std::string::npos) << refused;
    // A credentials file open to others: the catalogue and a stream over SMB are refused, and
    // standard error names the file and the remedy.
    const std::string open = credentials(SambaServer::kPassword);
    std::filesystem::permissions(open, std::filesystem::perms::group_read,
                                 std::filesystem::perm_options::add);
    for (const std::string& command : {catalogue, std::string(R"(scan '\\127.0.0.1\Private')")}) {
        const std::string told = run(open, command);
        EXPECT_NE(told.find("Unusable SMB credentials file: " + open + ": the file may be read"),
                  std::string::npos)
            << told;
        EXPECT_NE(told.find("chmod 600"), std::string::npos) << told;
        EXPECT_EQ(told.find(R"("server":{)"), std::string::npos) << told;
    }
}

} // namespace
} // namespace lantrivex

// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue rebuilt through the POSIX platform on a network laid out in files: what it reads,
// and how often.

#include "MachineNetwork.h"
#include "cli/CliMain.h"
#include "platform/HostPlatform.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixNetworkConnections.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/inotify.h>
#include <unistd.h>

namespace lantrivex::cli {
namespace {

using platform::posix::ScopedEnv;
using platform::posix::TempFolder;

// Counts the openings of watched files (and of the files in watched folders) by name.
class OpenCounter {
public:
    OpenCounter() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~OpenCounter() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool usable() const { return fd_ >= 0; }
    void watch(const std::string& path) {
        watched_[::inotify_add_watch(fd_, path.c_str(), IN_OPEN)] = path;
    }
    // Openings since the last call: "path" for a watched file, "folder/name" for one inside a
    // watched folder.
    std::map<std::string, int> take() {
        std::map<std::string, int> opens;
        alignas(inotify_event) char buffer[65536];
        ssize_t got;
        while ((got = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                std::string name = watched_[event->wd];
                if (event->len > 0) {
                    name.append("/").append(event->name);
                }
                ++opens[name];
                p += sizeof(inotify_event) + event->len;
            }
        }
        return opens;
    }

private:
    int fd_;
    std::map<int, std::string> watched_;
};

TEST(CatalogueOnPosix, OneReadingOfTheMountTableAndOfEachExportPerRebuild) {
    TempFolder folder;
    constexpr int kMachines = 4;
    constexpr int kVolumes = 10;
    writeMachineNetwork(folder.path(), kMachines, kVolumes);
    const ScopedEnv mounts("LANTRIVEX_MOUNTS", folder.file("mounts"));
    const ScopedEnv registry("LANTRIVEX_REGISTRY_DIR", folder.file("Registry"));
    OpenCounter counter;
    if (!counter.usable()) {
        GTEST_SKIP() << "inotify is not available here: openings cannot be counted";
    }
    counter.watch(folder.file("mounts"));
    counter.watch(folder.file("Registry"));

    const auto system = platform::makeHostPlatform();
    platform::Platform bundle = system->platform();
    std::ostringstream out;
    std::ostringstream err;
    CliContext context{bundle, out, err, folder.path()};
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        ASSERT_EQ(runCli({"catalogue", "--format", "json"}, context), 0) << err.str();
        std::map<std::string, int> opens = counter.take();
        // The connections are listed from one reading, the rebuild's folders tested on another.
        EXPECT_LE(opens[folder.file("mounts")], 2) << "rebuild " << rebuild;
        for (int m = 0; m < kMachines; ++m) {
            EXPECT_EQ(opens[folder.file("Registry/NTSRV") + std::to_string(m) + ".reg"], 1)
                << "rebuild " << rebuild << ", machine " << m;
        }
        const std::string json = out.str();
        std::size_t found = 0;
        std::size_t missing = 0;
        for (std::size_t at = 0; (at = json.find("\"found\":", at)) != std::string::npos; ++at) {
            (json.compare(at + 8, 4, "true") == 0 ? found : missing) += 1;
        }
        EXPECT_EQ(found, std::size_t{kMachines * 8});
        EXPECT_EQ(missing, std::size_t{kMachines * 2});
        out.str({});
    }
}

TEST(CatalogueOnPosix, EachDamagedExportIsToldWithItsFileAndLineAndTheRestIsPrinted) {
    TempFolder folder;
    writeMachineNetwork(folder.path(), 4, 2);
    const ScopedEnv mounts("LANTRIVEX_MOUNTS", folder.file("mounts"));
    const ScopedEnv registry("LANTRIVEX_REGISTRY_DIR", folder.file("Registry"));
    const std::string reg1 = folder.file("Registry/NTSRV1.reg");
    const std::string reg2 = folder.file("Registry/NTSRV2.reg");
    const std::string reg3 = folder.file("Registry/NTSRV3.reg");
    // A NUL on the third line of a REGEDIT4 export.
    TempFolder::writeFile(reg1, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\S" + std::string(1, '\0') +
                                    "]\r\n");
    // A version 5 export (UTF-16LE) with a lone surrogate on its second line.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n\r\n")) {
        utf16 += std::string{c, '\0'};
    }
    TempFolder::writeFile(reg2, utf16 + std::string("\x00\xD8\r\0\n\0", 6));
    // Over the size an export may have (sparse).
    TempFolder::writeFile(reg3, "REGEDIT4\r\n");
    ASSERT_EQ(::truncate(reg3.c_str(), 33 << 20), 0);

    const auto system = platform::makeHostPlatform();
    platform::Platform bundle = system->platform();
    std::ostringstream out;
    std::ostringstream err;
    CliContext context{bundle, out, err, folder.path()};
    ASSERT_EQ(runCli({"catalogue", "--lang", "fr"}, context), kExitOk);
    EXPECT_EQ(err.str(), "Lantrivex: Export du registre endommagé: " + reg1 +
                             ", ligne 3: caractère NUL dans le texte\n"
                             "Lantrivex: Export du registre endommagé: " +
                             reg2 +
                             ", ligne 3: texte UTF-16LE cassé (nombre impair d'octets ou paire de "
                             "substitution cassée)\n"
                             "Lantrivex: Export du registre endommagé: " +
                             reg3 + ": fichier trop grand pour un export du registre\n" +
                             // then each machine that shows no server, with the reason
                             "Lantrivex: " + platform::posix::shortHostName().value_or("") +
                             ": Machine injoignable\n"
                             "Lantrivex: NTSRV1: Export du registre endommagé ou illisible\n"
                             "Lantrivex: NTSRV2: Export du registre endommagé ou illisible\n"
                             "Lantrivex: NTSRV3: Export du registre endommagé ou illisible\n");
    EXPECT_NE(out.str().find("Serveur Macintosh: Mac NTSRV0"), std::string::npos) << out.str();
    err.str({});
    ASSERT_EQ(runCli({"catalogue", "--format", "json"}, context), kExitOk);
    const std::string english =
        "Lantrivex: Damaged registry export: " + reg1 + ", line 3: NUL character in the text\n";
    EXPECT_EQ(err.str().substr(0, english.size()), english);
}

} // namespace
} // namespace lantrivex::cli

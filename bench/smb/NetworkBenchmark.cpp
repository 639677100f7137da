// SPDX-License-Identifier: GPL-3.0-or-later
// Real networks, in one run against a private smbd (root):
//  1. a catalogue of 10 machines read live with 0, 2 and 5 of them silent (a loopback listener on
//     the SMB port that accepts connections and never answers) at a timeout of 2 s: the silent
//     machines are waited for side by side, so 5 silent must cost at most 1.5 × the timeout more
//     than none;
//  2. a 1 MiB index stream read through a loopback link limited to 96 KiB/s with the default
//     timeout (5 s): read whole, at about the link's rate.
// Prints the figures and the ratios; exits 1 when a bound is not met.
//
//   build/release/bin/lantrivex-network-bench

#include "analysis/CatalogueModel.h"
#include "analysis/VolumeIndexReader.h"
#include "fakes/FakeNotifier.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "smb/LoopbackProxy.h"
#include "smb/SambaServer.h"
#include "smb/SmbRegistry.h"
#include "smb/SmbShareAccess.h"
#include "smb/TestRegistry.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace lantrivex;
using Clock = std::chrono::steady_clock;

constexpr int kMachines = 10;
constexpr std::chrono::seconds kTimeout{2};

struct AnyFolder : platform::FolderProbe {
    bool folderExists(std::string_view) override { return true; }
};

// A listener on 127.0.0.`host`:`port` that never accepts: the kernel completes each connection
// and nothing ever answers.
int silentListener(int host, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{AF_INET, htons(port), {htonl(0x7F000000u | static_cast<unsigned>(host))}, {}};
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Seconds for one catalogue of kMachines, `silent` of them silent; the best of two.
double catalogueSeconds(const smbtest::SambaServer& server, const std::string& credentials,
                        int silent, std::size_t& panels) {
    discovery::ConnectedMachines machines;
    for (int m = 0; m < kMachines; ++m) {
        machines.lstServeurs.push_back(m < silent ? "127.0.0." + std::to_string(2 + m)
                                                  : "127.0.0.1");
        machines.lstConnections.push_back(R"(\D$)");
    }
    machines.firstIsThisComputer = false;
    double best = 1e9;
    for (int round = 0; round < 2; ++round) {
        smb::SmbSettings settings;
        settings.port = server.port();
        settings.timeout = kTimeout;
        settings.credentialsFile = credentials;
        settings.kerberos = false;
        smb::SmbRegistry registry(settings);
        discovery::MacServerLookup lookup(registry, 0);
        AnyFolder folders;
        const auto start = Clock::now();
        panels = analysis::BuildCatalogue(machines, lookup, folders).panels.size();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

} // namespace

int main() {
    if (const std::string why = smbtest::SambaServer::whyUnavailable(); !why.empty()) {
        std::fprintf(stderr, "Network benchmark not run: %s\n", why.c_str());
        return 0;
    }
    std::string index;
    while (index.size() < 1024 * 1024) {
        index += std::string("\x01W6BNMSWD\x00\x01TEXTttxt\x00", 20);
    }
    index.resize(1024 * 1024);
    std::string error;
    auto server = smbtest::SambaServer::start(error, {"Vol"}, {{"Vol:AFP_IdIndex", index}}, true);
    if (!server || !server->importRegistry(
                       smbtest::regExport(smbtest::test_registry::machineRegistry()), error)) {
        std::fprintf(stderr, "smbd would not start:\n%s\n", error.c_str());
        return 1;
    }
    const std::string credentials = (server->scratch() / "credentials").string();
    std::ofstream(credentials) << "username=" << smbtest::SambaServer::kReader
                               << "\npassword=" << smbtest::SambaServer::kPassword << "\n";
    std::filesystem::permissions(credentials, std::filesystem::perms::owner_read); // as required
    bool met = true;

    std::vector<int> listeners;
    for (int host = 2; host < 2 + 5; ++host) {
        listeners.push_back(silentListener(host, server->port()));
        if (listeners.back() < 0) {
            std::fprintf(stderr, "no listener on 127.0.0.%d\n", host);
            return 1;
        }
    }
    std::size_t panels = 0;
    catalogueSeconds(*server, credentials, 0, panels); // not counted: the service starting
    const double none = catalogueSeconds(*server, credentials, 0, panels);
    const std::size_t allPanels = panels;
    std::printf("Catalogue of %d machines read live, timeout %lld s:\n", kMachines,
                static_cast<long long>(kTimeout.count()));
    std::printf("  0 silent: %.3f s (%zu panels)\n", none, allPanels);
    if (allPanels == 0) {
        std::printf("  no volume read: the catalogue did not reach the server\n");
        met = false;
    }
    for (const int silent : {2, 5}) {
        const double seconds = catalogueSeconds(*server, credentials, silent, panels);
        const double extra = (seconds - none) / static_cast<double>(kTimeout.count());
        std::printf("  %d silent: %.3f s (%zu panels), (time - 0-silent time) / timeout = %.2f\n",
                    silent, seconds, panels, extra);
        if (silent == 5 && extra > 1.5) {
            std::printf("  5 silent: over the bound of 1.5 × timeout\n");
            met = false;
        }
    }
    for (const int fd : listeners) {
        ::close(fd);
    }

    // The stream through a link of 96 KiB/s, with the default timeout.
    constexpr std::size_t kRate = 96 * 1024;
    const auto proxy = smbtest::LoopbackProxy::start(server->port(), {kRate, 0});
    smb::SmbSettings settings;
    settings.port = proxy->port();
    settings.kerberos = false;
    smb::SmbShareAccess access(settings);
    platform::posix::PosixNamedStreamReader streams(
        platform::posix::PathResolver(std::vector<platform::posix::MountEntry>{}), &access);
    fakes::FakeNotifier notifier;
    const auto start = Clock::now();
    const auto reading =
        analysis::ReadWholeVolumeIndex(R"(\\127.0.0.1\D$\Vol)", streams, notifier, kEnglish);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double rate = static_cast<double>(index.size()) / 1024 / seconds;
    std::printf("\n1 MiB index stream through a 96 KiB/s link, timeout %lld s: %s in %.2f s, "
                "%.1f KiB/s = %.2f × the link's rate\n",
                static_cast<long long>(settings.timeout.count() / 1000),
                reading.whole ? "read whole" : "NOT read whole", seconds, rate, rate / 96);
    met = met && reading.whole;
    return met ? 0 : 1;
}

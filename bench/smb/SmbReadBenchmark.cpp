// SPDX-License-Identifier: GPL-3.0-or-later
// Read throughput of a 50 MiB index stream over SMB on the loopback interface (a real smbd, the
// program's own SmbShareAccess) next to reading the same bytes from a local file (read(2), from
// the page cache), in the same run. Prints both rates and their ratio.
//
//   build/release/bin/lantrivex-smb-bench [--benchmark_min_time=2]

#include "smb/SambaServer.h"
#include "smb/SmbShareAccess.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace lantrivex;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kStreamSize = 50 * 1024 * 1024;
constexpr std::size_t kBuffer = 1024 * 1024; // what the volume index reader asks per read

struct Rate {
    double bytes = 0;
    double seconds = 0;
    double mibPerSecond() const { return seconds > 0 ? bytes / seconds / (1024.0 * 1024.0) : 0; }
};

smbtest::SambaServer* server = nullptr;
std::filesystem::path localFile;
Rate localRate;
Rate smbRate;

void BM_LocalFileRead(benchmark::State& state) {
    std::vector<char> buffer(kBuffer);
    for (auto _ : state) {
        const auto start = Clock::now();
        const int fd = ::open(localFile.c_str(), O_RDONLY | O_CLOEXEC);
        std::size_t total = 0;
        for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) {
            total += static_cast<std::size_t>(got);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
        localRate.seconds += std::chrono::duration<double>(Clock::now() - start).count();
        localRate.bytes += static_cast<double>(total);
        if (total != kStreamSize) {
            state.SkipWithError("short local read");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamSize));
}

void BM_SmbStreamRead(benchmark::State& state) {
    smb::SmbSettings settings;
    settings.port = server->port();
    smb::SmbShareAccess access(settings); // one connection for the run, as the program
    const platform::UncPath root{"127.0.0.1", "D$", "Vol"};
    std::vector<std::byte> buffer(kBuffer);
    for (auto _ : state) {
        const auto start = Clock::now();
        auto stream = access.openStream(root, "AFP_IdIndex");
        if (!stream || stream->size() != static_cast<std::int64_t>(kStreamSize)) {
            state.SkipWithError("stream not opened");
            return;
        }
        std::size_t total = 0;
        for (std::size_t got; (got = stream->read(buffer.data(), buffer.size())) > 0;) {
            total += got;
        }
        stream.reset();
        benchmark::DoNotOptimize(buffer.data());
        smbRate.seconds += std::chrono::duration<double>(Clock::now() - start).count();
        smbRate.bytes += static_cast<double>(total);
        if (total != kStreamSize) {
            state.SkipWithError("short SMB read");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamSize));
}

BENCHMARK(BM_LocalFileRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SmbStreamRead)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (const std::string why = smbtest::SambaServer::whyUnavailable(); !why.empty()) {
        std::fprintf(stderr, "SMB read benchmark not run: %s\n", why.c_str());
        return 0;
    }
    if (!smb::smbAccessBuiltIn()) {
        std::fprintf(stderr, "SMB read benchmark not run: built without libsmbclient\n");
        return 0;
    }
    std::string error;
    auto owned = smbtest::SambaServer::start(error);
    if (!owned) {
        std::fprintf(stderr, "smbd would not start:\n%s\n", error.c_str());
        return 1;
    }
    server = owned.get();

    std::string bytes(kStreamSize, '\0');
    std::mt19937_64 random(42);
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        const std::uint64_t v = random();
        std::memcpy(bytes.data() + i, &v, 8);
    }
    std::filesystem::create_directories(server->shareFolder() / "Vol");
    localFile = server->scratch() / "local-copy";
    std::ofstream(localFile, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!server->putStreams({{"Vol:AFP_IdIndex", bytes}}, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (localRate.seconds > 0 && smbRate.seconds > 0) {
        std::printf("\n50 MiB stream: local file %.0f MiB/s, loopback SMB %.0f MiB/s, "
                    "SMB / local = %.3f\n",
                    localRate.mibPerSecond(), smbRate.mibPerSecond(),
                    smbRate.mibPerSecond() / localRate.mibPerSecond());
    }
    owned.reset();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace lantrivex::smbtest {

// A real smbd for the length of a test: on 127.0.0.1 only, on a free port, its configuration,
// state and shares in a temporary folder, SMB1 to SMB3, a wrong password taken for the guest
// account ("map to guest = Bad Password", as many servers are set), ended by its process id (or by the kernel should the
// test die first). Two shares over one folder: D$ (guests allowed, streams kept by
// vfs_streams_depot) and Private (only kUser with kPassword). With the registry service, the
// server also answers on the winreg pipe from its own registry, which importRegistry() fills.
class SambaServer {
public:
    static constexpr const char* kUser = "root";
    static constexpr const char* kPassword = "Lantrivex-Test-1";
    // An ordinary account (no administrator), with the same password.
    static constexpr const char* kReader = "daemon";
    using Streams = std::vector<std::pair<std::string, std::string>>;

    // Why no server can run here ("" when one can).
    static std::string whyUnavailable();
    // A server with `folders` made in its share and `streams` put; nullptr with `error` on failure.
    // `globalLines`: more lines for the [global] section of its smb.conf.
    static std::unique_ptr<SambaServer> start(std::string& error,
                                              const std::vector<std::string>& folders = {},
                                              const Streams& streams = {},
                                              bool registryService = false,
                                              const std::string& globalLines = "");
    // Imports a registry export (the bytes of a .reg file) into the server's registry.
    bool importRegistry(const std::string& regFile, std::string& error);
    // Lets only administrators reach the key `path` (below HKLM).
    bool denyKeyToUsers(const std::string& path, std::string& error);
    // Writes streams (a name on D$ such as "Vol:AFP_IdIndex", the bytes) through the server with
    // smbclient, as a Windows client would.
    bool putStreams(const Streams& streams, std::string& error);
    ~SambaServer();

    std::uint16_t port() const { return port_; }
    std::filesystem::path shareFolder() const { return root_ / "share"; }
    std::filesystem::path scratch() const { return root_ / "scratch"; }

private:
    // Runs `net` on the server's configuration; false with its output in `error`.
    bool net(const std::string& arguments, std::string& error);

    std::filesystem::path root_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

// A suite of tests sharing one server, which Derived::startServer(error) starts; each test is
// skipped with the reason where no server can run, and then runs Derived::ready().
template <class Derived> class SambaSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if ((skip_ = SambaServer::whyUnavailable()).empty()) {
            server_ = Derived::startServer(startError_).release();
        }
    }
    static void TearDownTestSuite() { delete std::exchange(server_, nullptr); }
    void SetUp() override {
        if (!skip_.empty()) {
            GTEST_SKIP() << "No SMB server for this test: " << skip_;
        }
        ASSERT_NE(server_, nullptr) << "smbd would not start:\n" << startError_;
        static_cast<Derived*>(this)->ready();
    }
    void ready() {}

    static inline SambaServer* server_ = nullptr;
    static inline std::string skip_, startError_;
};

// A TCP socket on 127.0.0.1 on a port the system chooses, listening with `backlog` (merely bound
// when negative); -1 on failure.
int loopbackSocket(int backlog, std::uint16_t& port);
// A connection to `port` on 127.0.0.1; -1 when refused.
int connectToLoopback(std::uint16_t port);
// A port on 127.0.0.1 that nothing listens on at the moment of the call.
std::uint16_t freeLoopbackPort();
// Runs a /bin/sh command line; its exit status.
int shell(const std::string& command);
// The bytes of a file, "" when it cannot be read.
std::string readText(const std::filesystem::path& file);

} // namespace lantrivex::smbtest

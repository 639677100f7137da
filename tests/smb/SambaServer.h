#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace lantrivex::smbtest {

// A real Samba server (smbd) for the length of a test: listening on 127.0.0.1 only, on a free
// port, with its configuration, state and shares in a temporary folder, stopped by its process id
// (and by the kernel should the test process die first). Two shares over the same folder:
//   D$       guest allowed, streams kept by vfs_streams_depot (no size limit)
//   Private  guests refused; the user kUser with kPassword only
class SambaServer {
public:
    static constexpr const char* kUser = "root";
    static constexpr const char* kPassword = "Lantrivex-Test-1";
    using Streams = std::vector<std::pair<std::string, std::string>>;

    // Why no server can run here ("" when one can): no SMB access built in, smbd or smbclient
    // missing, or not root.
    static std::string whyUnavailable();

    // Starts a server with the `folders` made in its share and the `streams` written through it
    // (see putStreams); nullptr with `error` when that failed. `globalOptions`: more smb.conf
    // lines for its [global] section; `protocol`: as for putStreams.
    static std::unique_ptr<SambaServer> start(std::string& error,
                                              const std::vector<std::string>& folders = {},
                                              const Streams& streams = {},
                                              const std::string& globalOptions = {},
                                              const std::string& protocol = {});
    ~SambaServer();
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;

    // Ends the server and its connections (the folders stay until the object goes).
    void stop();
    std::uint16_t port() const { return port_; }
    // The folder both shares show.
    const std::filesystem::path& shareFolder() const { return share_; }
    // A scratch folder for the test's own files, removed with the server.
    std::filesystem::path scratch() const { return root_ / "scratch"; }

    // Writes streams through the server with smbclient, as a Windows client would: each pair is
    // (name on D$ such as "Vol1:AFP_IdIndex", the bytes). `protocol`: the dialect smbclient
    // speaks ("NT1" for a server that speaks only SMB1), its default when empty.
    bool putStreams(const Streams& streams, std::string& error, const std::string& protocol = {});

private:
    SambaServer() = default;
    bool launch(std::string& error);

    std::filesystem::path root_;
    std::filesystem::path share_;
    std::string globalOptions_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

// A TCP socket on 127.0.0.1, its port chosen by the system, listening with `backlog` (merely bound
// when negative); -1 on failure.
int loopbackSocket(int backlog, std::uint16_t& port);

// A connection to `port` on 127.0.0.1; -1 when refused.
int connectToLoopback(std::uint16_t port);

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
std::uint16_t freeLoopbackPort();

// Runs a program with arguments, its output going to `logFile` (its standard error too, unless
// `errorFile` is given); its exit status, -1 when it could not run.
int runProgram(const std::vector<std::string>& argv, const std::filesystem::path& logFile,
               const std::string& standardInput = {}, const std::filesystem::path& errorFile = {});

// The bytes of a file, "" when it cannot be read.
std::string readText(const std::filesystem::path& file);

} // namespace lantrivex::smbtest

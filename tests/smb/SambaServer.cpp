// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/SambaServer.h"

#include "smb/SmbShareAccess.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lantrivex::smbtest {
namespace fs = std::filesystem;
namespace {

// The smb.conf of a server; @ROOT@ and @PORT@ are filled in.
constexpr const char* kConfig = R"([global]
server role = standalone server
smb ports = @PORT@
interfaces = 127.0.0.1
bind interfaces only = yes
disable netbios = yes
lock directory = @ROOT@/var
state directory = @ROOT@/var
cache directory = @ROOT@/var
private dir = @ROOT@/var
pid directory = @ROOT@/var
ncalrpc dir = @ROOT@/var/ncalrpc
log file = @ROOT@/var/smbd.log
passdb backend = tdbsam
map to guest = Bad Password
server min protocol = NT1
load printers = no
disable spoolss = yes
rpc start on demand helpers = @RPC@
usershare path =
@GLOBAL@
[D$]
path = @ROOT@/share
guest ok = yes
read only = no
force user = root
vfs objects = streams_depot
[Private]
path = @ROOT@/share
valid users = root
vfs objects = streams_depot
)";

std::string replaced(std::string text, const std::string& key, const std::string& value) {
    for (std::size_t at; (at = text.find(key)) != std::string::npos;) {
        text.replace(at, key.size(), value);
    }
    return text;
}

// Runs a /bin/sh command line with its output and errors in the file `out`; whether it succeeded,
// and that output.
bool capture(const std::string& command, const fs::path& out, std::string& output) {
    const bool ok = shell(command + " >'" + out.string() + "' 2>&1") == 0;
    output = readText(out);
    return ok;
}

// The VFS module that the shares of kConfig keep named streams with, named with the file smbd
// looks for; "" when smbd has it built in or finds that file.
std::string missingStreamsModule(const fs::path& scratch) {
    std::string description;
    capture("/usr/sbin/smbd -b", scratch / "smbd-b.out", description);
    const std::size_t at = description.find("MODULESDIR: ") + 12;
    const fs::path file =
        fs::path(at < 12 ? "" : description.substr(at, description.find('\n', at) - at)) / "vfs" /
        "streams_depot.so";
    return description.find("vfs_streams_depot") != std::string::npos || fs::exists(file)
               ? ""
               : "streams_depot (" + file.string() + ")";
}

} // namespace

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int connectToLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        return fd;
    }
    ::close(fd);
    return -1;
}

int loopbackSocket(int backlog, std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0 ||
        (backlog >= 0 && ::listen(fd, backlog) != 0)) {
        ::close(fd);
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

std::uint16_t freeLoopbackPort() {
    std::uint16_t port = 0;
    ::close(loopbackSocket(-1, port));
    return port;
}

std::string SambaServer::whyUnavailable() {
    if (!smb::smbAccessBuiltIn()) {
        return "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    if (shell("test -x /usr/sbin/smbd && command -v smbpasswd >/dev/null && "
              "command -v smbclient >/dev/null") != 0) {
        return "smbd, smbpasswd or smbclient missing (tools/setup-debian.sh installs them)";
    }
    return ::geteuid() == 0 ? "" : "smbd needs to run as root to serve files";
}

std::unique_ptr<SambaServer> SambaServer::start(std::string& error,
                                                const std::vector<std::string>& folders,
                                                const Streams& streams, bool registryService,
                                                const std::string& globalLines) {
    std::unique_ptr<SambaServer> server(new SambaServer);
    std::string pattern = (fs::temp_directory_path() / "lantrivex-smbd-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot create a temporary folder";
        return nullptr;
    }
    const fs::path root = server->root_ = pattern;
    fs::create_directories(server->scratch());
    if (const std::string missing = missingStreamsModule(server->scratch()); !missing.empty()) {
        error = "the test server's shares keep named streams with Samba's VFS module " + missing +
                ", which is not installed: install Debian's samba-vfs-modules "
                "(tools/setup-debian.sh does)";
        return nullptr;
    }
    if (registryService) { // the registry service reads its files as the connected user
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    fs::create_directories(root / "var" / "ncalrpc");
    for (const std::string& folder : folders) {
        fs::create_directories(server->shareFolder() / folder);
    }
    const std::string conf = (root / "smb.conf").string();
    const std::string log = (root / "var" / "smbd.out").string();
    // A port taken between its choice and smbd's bind: choose again.
    for (int attempt = 0; attempt < 3 && server->pid_ < 0; ++attempt) {
        server->port_ = freeLoopbackPort();
        std::ofstream(conf) << replaced(
            replaced(replaced(replaced(kConfig, "@ROOT@", root.string()), "@PORT@",
                              std::to_string(server->port_)),
                     "@RPC@", registryService ? "yes" : "no"),
            "@GLOBAL@", globalLines);
        for (const char* user : {kUser, kReader}) {
            std::string out;
            if (attempt == 0 &&
                !capture("printf '%s\\n%s\\n' " + std::string(kPassword) + " " + kPassword +
                             " | _NO_WINBINDD=1 smbpasswd -c '" + conf + "' -s -a " + user,
                         log, out)) {
                error = "smbpasswd failed:\n" + out;
                return nullptr;
            }
        }
        const pid_t parent = ::getpid();
        const pid_t pid = ::fork();
        if (pid == 0) { // smbd makes its own process group: it signals its whole group at the end
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (::getppid() != parent || out < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) {
                ::_exit(127);
            }
            // Users and groups are the server's own: a winbindd running on the machine (a domain
            // controller's, say) would otherwise map them to its own ids and refuse every logon.
            ::setenv("_NO_WINBINDD", "1", 1);
            ::execl("/usr/sbin/smbd", "smbd", "--foreground", "-s", conf.c_str(), nullptr);
            ::_exit(127);
        }
        for (int wait = 0; pid > 0 && wait < 750; ++wait) { // at most 15 s
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                break;
            }
            if (const int fd = connectToLoopback(server->port_); fd >= 0) {
                ::close(fd);
                server->pid_ = pid;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (server->pid_ < 0) {
        error = "smbd did not start:\n" + readText(log) + readText(root / "var" / "smbd.log");
        return nullptr;
    }
    return server->putStreams(streams, error) ? std::move(server) : nullptr;
}

bool SambaServer::putStreams(const Streams& streams, std::string& error) {
    std::string commands;
    for (const auto& [name, bytes] : streams) {
        const fs::path local = scratch() / ("put-" + std::to_string(commands.size()));
        std::ofstream(local, std::ios::binary) << bytes;
        commands += "put \"" + local.string() + "\" \"" + name + "\"; ";
    }
    std::string out;
    if (!streams.empty() && (!capture("smbclient //127.0.0.1/D\\$ -p " + std::to_string(port_) +
                                          " -N -E -c '" + commands + "'",
                                      scratch() / "smbclient.out", out) ||
                             out.find("NT_STATUS_") != std::string::npos)) {
        error = "smbclient failed:\n" + out;
        return false;
    }
    return true;
}

bool SambaServer::net(const std::string& arguments, std::string& error) {
    std::string out;
    if (!capture("net -s '" + (root_ / "smb.conf").string() + "' " + arguments,
                 scratch() / "net.out", out)) {
        error = "net " + arguments + " failed:\n" + out;
        return false;
    }
    return true;
}

bool SambaServer::importRegistry(const std::string& regFile, std::string& error) {
    const fs::path file = scratch() / "import.reg";
    std::ofstream(file, std::ios::binary) << regFile;
    return net("registry import '" + file.string() + "'", error);
}

bool SambaServer::denyKeyToUsers(const std::string& path, std::string& error) {
    return net("registry setsd_sddl 'HKLM\\" + path +
                   "' 'O:BAG:SYD:(A;;RPWPCCDCLCRCWOWDSDSW;;;BA)(A;;RPWPCCDCLCRCWOWDSDSW;;;SY)'",
               error);
}

SambaServer::~SambaServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        for (int wait = 0; ::waitpid(pid_, nullptr, WNOHANG) == 0; ++wait) {
            if (wait == 500) { // 5 s
                ::kill(pid_, SIGKILL);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // The RPC server that smbd started on demand detaches from it: it is ended by its pid file,
    // and its services (rpcd_winreg) end with it.
    const long helper = std::atol(readText(root_ / "var" / "samba-dcerpcd.pid").c_str());
    if (helper > 1) {
        ::kill(static_cast<pid_t>(helper), SIGTERM);
    }
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

} // namespace lantrivex::smbtest

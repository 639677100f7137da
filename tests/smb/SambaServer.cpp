#include "smb/SambaServer.h"

#include "platform/posix/SmbShareAccess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
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

using Clock = std::chrono::steady_clock;

// The path of an installed program ("" when it is missing).
std::string program(const std::string& name) {
    for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/usr/local/sbin/", "/usr/local/bin/"}) {
        if (::access((folder + name).c_str(), X_OK) == 0) {
            return folder + name;
        }
    }
    return {};
}

// Spawns argv with stdout and stderr going to `logFile` (stderr to `errorFile` if given); the
// child gets SIGTERM when this process ends. Returns the pid, or -1.
pid_t spawn(const std::vector<std::string>& argv, const fs::path& logFile, int inputFd,
            const fs::path& errorFile = {}) {
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;
    const int log = ::open(logFile.c_str(), flags, 0600);
    const int err = errorFile.empty() ? log : ::open(errorFile.c_str(), flags, 0600);
    const pid_t parent = ::getpid();
    const pid_t pid = log < 0 || err < 0 ? -1 : ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        ::dup2(inputFd >= 0 ? inputFd : ::open("/dev/null", O_RDONLY), 0);
        ::dup2(log, 1);
        ::dup2(err, 2);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(log);
    if (err != log) {
        ::close(err);
    }
    return pid;
}

} // namespace

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int connectToLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        return fd;
    }
    ::close(fd);
    return -1;
}

int loopbackSocket(int backlog, std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0 ||
        (backlog >= 0 && ::listen(fd, backlog) != 0)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

std::uint16_t freeLoopbackPort() {
    std::uint16_t port = 0;
    const int fd = loopbackSocket(-1, port);
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

int runProgram(const std::vector<std::string>& argv, const fs::path& logFile,
               const std::string& standardInput, const fs::path& errorFile) {
    const fs::path input = logFile.string() + ".in";
    std::ofstream(input) << standardInput;
    const int inputFd = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    const pid_t pid = inputFd < 0 ? -1 : spawn(argv, logFile, inputFd, errorFile);
    ::close(inputFd);
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SambaServer::whyUnavailable() {
    if (!platform::posix::smbAccessBuiltIn()) {
        return "built without libsmbclient (LANTRIVEX_WITH_SMB is OFF)";
    }
    for (const char* name : {"smbd", "smbpasswd", "smbclient"}) {
        if (program(name).empty()) {
            return std::string(name) + " is not installed (Debian packages samba and smbclient, "
                                       "installed by tools/setup-debian.sh)";
        }
    }
    return ::geteuid() == 0 ? "" : "smbd needs to run as root to serve files";
}

std::unique_ptr<SambaServer> SambaServer::start(std::string& error,
                                                const std::vector<std::string>& folders,
                                                const Streams& streams,
                                                const std::string& globalOptions,
                                                const std::string& protocol) {
    std::unique_ptr<SambaServer> server(new SambaServer);
    server->globalOptions_ = globalOptions;
    std::string pattern = (fs::temp_directory_path() / "lantrivex-smbd-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot create a temporary folder";
        return nullptr;
    }
    server->root_ = pattern;
    server->share_ = server->root_ / "share";
    for (const char* sub :
         {"share", "private", "lock", "state", "cache", "pid", "ncalrpc", "log", "scratch"}) {
        fs::create_directories(server->root_ / sub);
    }
    for (const std::string& folder : folders) {
        fs::create_directories(server->share_ / folder);
    }
    // A port taken between the choice and smbd's bind: choose again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (server->launch(error)) {
            return server->putStreams(streams, error, protocol) ? std::move(server) : nullptr;
        }
    }
    return nullptr;
}

bool SambaServer::launch(std::string& error) {
    port_ = freeLoopbackPort();
    const fs::path conf = root_ / "smb.conf";
    const auto dir = [&](const char* sub) { return (root_ / sub).string(); };
    std::ofstream(conf) << "[global]\nserver role = standalone server\nworkgroup = WORKGROUP\n"
                        << "smb ports = " << port_ << "\ninterfaces = 127.0.0.1\n"
                        << "bind interfaces only = yes\ndisable netbios = yes\n"
                        << "lock directory = " << dir("lock")
                        << "\nstate directory = " << dir("state")
                        << "\ncache directory = " << dir("cache")
                        << "\nprivate dir = " << dir("private")
                        << "\npid directory = " << dir("pid")
                        << "\nncalrpc dir = " << dir("ncalrpc") << "\n"
                        << "log file = " << dir("log") << "/smbd.log\nlog level = 1\n"
                        << "passdb backend = tdbsam\nmap to guest = Bad User\n"
                        << "load printers = no\nprinting = bsd\nprintcap name = /dev/null\n"
                        << "disable spoolss = yes\nrpc start on demand helpers = no\n"
                        << "usershare path =\n"
                        << globalOptions_ << "\n[D$]\npath = " << share_.string() << "\n"
                        << "guest ok = yes\nread only = no\nforce user = root\n"
                        << "vfs objects = streams_depot\n\n[Private]\npath = " << share_.string()
                        << "\nguest ok = no\nvalid users = " << kUser << "\n"
                        << "vfs objects = streams_depot\n";
    const fs::path log = root_ / "log" / "smbd.out";
    // The account of the Private share, in this server's own password database.
    const std::string password = std::string(kPassword) + "\n" + kPassword + "\n";
    if (runProgram({program("smbpasswd"), "-c", conf.string(), "-s", "-a", kUser}, log, password) !=
        0) {
        error = "smbpasswd failed:\n" + readText(log);
        return false;
    }
    // smbd makes its own process group (it signals its whole group when it ends).
    pid_ = spawn({program("smbd"), "--foreground", "-s", conf.string(), "-l", dir("log")}, log, -1);
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (pid_ > 0 && Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "smbd ended at start:\n" + readText(log) + readText(dir("log") + "/smbd.log");
            return false;
        }
        if (const int fd = connectToLoopback(port_); fd >= 0) {
            ::close(fd);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error = pid_ < 0 ? "cannot start smbd" : "smbd did not listen within 15 s:\n" + readText(log);
    return false;
}

SambaServer::~SambaServer() {
    stop();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void SambaServer::stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

bool SambaServer::putStreams(const Streams& streams, std::string& error,
                             const std::string& protocol) {
    if (streams.empty()) {
        return true;
    }
    std::string commands;
    for (const auto& [name, bytes] : streams) {
        const fs::path local = scratch() / ("put-" + std::to_string(commands.size()));
        std::ofstream(local, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        commands += "put \"" + local.string() + "\" \"" + name + "\"; ";
    }
    std::vector<std::string> argv{program("smbclient"),
                                  "//127.0.0.1/D$",
                                  "-p",
                                  std::to_string(port_),
                                  "-N",
                                  "-E",
                                  "-c",
                                  commands};
    if (!protocol.empty()) {
        argv.push_back("--option=client min protocol=" + protocol);
        argv.push_back("--option=client max protocol=" + protocol);
    }
    const fs::path log = scratch() / "smbclient.out";
    const int status = runProgram(argv, log);
    if (status != 0 || readText(log).find("NT_STATUS_") != std::string::npos) {
        error = "smbclient failed (" + std::to_string(status) + "):\n" + readText(log);
        return false;
    }
    return true;
}

} // namespace lantrivex::smbtest

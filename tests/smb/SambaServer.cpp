#include "smb/SambaServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <signal.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lantrivex::smbtest {
namespace fs = std::filesystem;
namespace {

using Clock = std::chrono::steady_clock;

std::string findProgram(const std::string& name) {
    for (const char* folder :
         {"/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/local/sbin", "/usr/local/bin"}) {
        const fs::path candidate = fs::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool acceptsConnections(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// Spawns argv with stdout and stderr going to `logFile`; the child gets SIGTERM when this process
// ends. Returns the pid, or -1.
pid_t spawn(const std::vector<std::string>& argv, const fs::path& logFile, int inputFd,
            const fs::path& errorFile = {}) {
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (log < 0) {
        return -1;
    }
    const int err = errorFile.empty() ? log
                                      : ::open(errorFile.c_str(),
                                               O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (err < 0) {
        ::close(log);
        return -1;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
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

std::uint16_t freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    std::uint16_t port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        port = ntohs(a.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

int runProgram(const std::vector<std::string>& argv, const fs::path& logFile,
               const std::string& standardInput, const fs::path& errorFile) {
    int pipeFds[2] = {-1, -1};
    if (!standardInput.empty() && ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t pid = spawn(argv, logFile, pipeFds[0], errorFile);
    if (pipeFds[0] >= 0) {
        ::close(pipeFds[0]);
        // Small inputs only (a password): they fit in the pipe's buffer.
        [[maybe_unused]] const auto written =
            ::write(pipeFds[1], standardInput.data(), standardInput.size());
        ::close(pipeFds[1]);
    }
    if (pid < 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SambaServer::whyUnavailable() {
    if (findProgram("smbd").empty()) {
        return "smbd is not installed (Debian package samba, installed by tools/setup-debian.sh)";
    }
    if (findProgram("smbclient").empty()) {
        return "smbclient is not installed (Debian package smbclient, installed by "
               "tools/setup-debian.sh)";
    }
    if (::geteuid() != 0) {
        return "smbd needs to run as root to serve files";
    }
    return {};
}

std::unique_ptr<SambaServer> SambaServer::start(std::string& error,
                                                const std::string& globalOptions) {
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
    // A port taken between the choice and smbd's bind: choose again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (server->launch(error)) {
            return server;
        }
    }
    return nullptr;
}

bool SambaServer::launch(std::string& error) {
    port_ = freeLoopbackPort();
    const fs::path conf = root_ / "smb.conf";
    {
        const auto dir = [&](const char* sub) { return (root_ / sub).string(); };
        std::ofstream out(conf);
        out << "[global]\n"
            << "server role = standalone server\n"
            << "workgroup = WORKGROUP\n"
            << "smb ports = " << port_ << "\n"
            << "interfaces = 127.0.0.1\n"
            << "bind interfaces only = yes\n"
            << "disable netbios = yes\n"
            << "lock directory = " << dir("lock") << "\n"
            << "state directory = " << dir("state") << "\n"
            << "cache directory = " << dir("cache") << "\n"
            << "private dir = " << dir("private") << "\n"
            << "pid directory = " << dir("pid") << "\n"
            << "ncalrpc dir = " << dir("ncalrpc") << "\n"
            << "log file = " << dir("log") << "/smbd.log\n"
            << "log level = 1\n"
            << "passdb backend = tdbsam\n"
            << "map to guest = Bad User\n"
            << "load printers = no\n"
            << "printing = bsd\n"
            << "printcap name = /dev/null\n"
            << "disable spoolss = yes\n"
            << "rpc start on demand helpers = no\n"
            << "usershare path =\n"
            << globalOptions_ << "\n[D$]\n"
            << "path = " << share_.string() << "\n"
            << "guest ok = yes\n"
            << "read only = no\n"
            << "force user = root\n"
            << "vfs objects = streams_depot\n"
            << "\n[Private]\n"
            << "path = " << share_.string() << "\n"
            << "guest ok = no\n"
            << "valid users = " << kUser << "\n"
            << "vfs objects = streams_depot\n";
    }
    const fs::path log = root_ / "log" / "smbd.out";
    // The account of the Private share, in this server's own password database.
    const std::string password = std::string(kPassword) + "\n" + kPassword + "\n";
    if (runProgram({findProgram("smbpasswd"), "-c", conf.string(), "-s", "-a", kUser}, log,
                   password) != 0) {
        error = "smbpasswd failed:\n" + readText(log);
        return false;
    }
    // smbd makes its own process group (it signals its whole group when it ends).
    pid_ = spawn(
        {findProgram("smbd"), "--foreground", "-s", conf.string(), "-l", (root_ / "log").string()},
        log, -1);
    if (pid_ < 0) {
        error = "cannot start smbd";
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "smbd ended at start:\n" + readText(log) + readText(root_ / "log" / "smbd.log");
            return false;
        }
        if (acceptsConnections(port_)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error = "smbd did not listen within 15 s:\n" + readText(log);
    return false;
}

SambaServer::~SambaServer() {
    stop();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void SambaServer::stop() {
    if (pid_ > 0) {
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
}

bool SambaServer::putStreams(const std::vector<std::pair<std::string, std::string>>& streams,
                             std::string& error, const std::string& protocol) {
    std::string commands;
    int n = 0;
    for (const auto& [name, bytes] : streams) {
        const fs::path local = scratch() / ("put-" + std::to_string(n++));
        std::ofstream(local, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        commands += "put \"" + local.string() + "\" \"" + name + "\"; ";
    }
    const fs::path log = scratch() / "smbclient.out";
    std::vector<std::string> argv{findProgram("smbclient"),
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
    const int status = runProgram(argv, log);
    const std::string output = readText(log);
    if (status != 0 || output.find("NT_STATUS_") != std::string::npos) {
        error = "smbclient failed (" + std::to_string(status) + "):\n" + output;
        return false;
    }
    return true;
}

} // namespace lantrivex::smbtest

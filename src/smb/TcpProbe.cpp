// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/TcpProbe.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace lantrivex::smb {

namespace {

using Clock = std::chrono::steady_clock;

struct AddrInfoFree {
    void operator()(addrinfo* a) const noexcept { freeaddrinfo(a); }
};

class Socket {
public:
    explicit Socket(int fd) noexcept : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const noexcept { return fd_; }

private:
    int fd_;
};

enum class Attempt { Connected, Refused, Failed };

int msLeft(Clock::time_point deadline) {
    return static_cast<int>(std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
}

// Waits until `fd` is ready for `events` or `deadline` has passed (an interrupted wait goes on);
// true when it is ready.
bool readyBy(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, msLeft(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0;
    }
}

// One non-blocking connection attempt on `s`, waiting at most until `deadline`.
Attempt connects(const Socket& s, const addrinfo& address, Clock::time_point deadline) {
    if (s.get() < 0) {
        return Attempt::Failed;
    }
    if (::connect(s.get(), address.ai_addr, address.ai_addrlen) == 0) {
        return Attempt::Connected;
    }
    if (errno != EINPROGRESS) {
        return errno == ECONNREFUSED ? Attempt::Refused : Attempt::Failed;
    }
    if (msLeft(deadline) <= 0 || !readyBy(s.get(), POLLOUT, deadline)) {
        return Attempt::Failed;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(s.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        return Attempt::Failed;
    }
    return error == 0              ? Attempt::Connected
           : error == ECONNREFUSED ? Attempt::Refused
                                   : Attempt::Failed;
}

// The address `a` with the port `port`, in `target`; false for an address of another family
// than IPv4 and IPv6.
bool addressWithPort(const addrinfo& a, std::uint16_t port, sockaddr_storage& target) {
    if (a.ai_addrlen > sizeof target) {
        return false;
    }
    std::memcpy(&target, a.ai_addr, a.ai_addrlen);
    if (target.ss_family == AF_INET) {
        reinterpret_cast<sockaddr_in*>(&target)->sin_port = htons(port);
    } else if (target.ss_family == AF_INET6) {
        reinterpret_cast<sockaddr_in6*>(&target)->sin6_port = htons(port);
    } else {
        return false;
    }
    return true;
}

Socket openSocket(const addrinfo& address) {
    return Socket(::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           address.ai_protocol));
}

// The addresses of `host` with the port set, in the resolver's order; false when it does not
// resolve.
bool addressesOf(const std::string& host, std::uint16_t port, std::vector<sockaddr_storage>& found,
                 std::vector<addrinfo>& attempts) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* list = nullptr;
    if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || !list) {
        return false;
    }
    const std::unique_ptr<addrinfo, AddrInfoFree> addresses(list);
    for (const addrinfo* a = addresses.get(); a != nullptr; a = a->ai_next) {
        sockaddr_storage target{};
        if (!addressWithPort(*a, port, target)) {
            continue;
        }
        found.push_back(target);
        addrinfo attempt = *a;
        attempt.ai_next = nullptr;
        attempt.ai_canonname = nullptr;
        attempts.push_back(attempt);
    }
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        attempts[i].ai_addr = reinterpret_cast<sockaddr*>(&found[i]);
    }
    return true;
}

// An SMB1 NEGOTIATE request in its NetBIOS session frame, offering NT LM 0.12 (index 0),
// SMB 2.002 and SMB 2.???.
std::string negotiateRequest() {
    std::string dialects;
    for (const char* name : {"NT LM 0.12", "SMB 2.002", "SMB 2.???"}) {
        dialects += '\x02';
        dialects += name;
        dialects += '\0';
    }
    std::string smb("\xFFSMB\x72", 5);
    smb.append(4, '\0');               // status
    smb += '\x18';                     // flags: canonical paths, caseless
    smb += std::string("\x01\xC8", 2); // flags2: long names, NT status, Unicode, extended security
    smb.append(12, '\0');              // PID high, signature, reserved
    smb += std::string("\xFF\xFF", 2); // TID
    smb += std::string("\xFE\xFF", 2); // PID
    smb.append(4, '\0');               // UID, MID
    smb += '\0';                       // no parameter words
    smb += static_cast<char>(dialects.size() & 0xFF);
    smb += static_cast<char>(dialects.size() >> 8);
    smb += dialects;
    std::string frame(1, '\0');
    frame += static_cast<char>((smb.size() >> 16) & 0xFF);
    frame += static_cast<char>((smb.size() >> 8) & 0xFF);
    frame += static_cast<char>(smb.size() & 0xFF);
    return frame + smb;
}

// After the connection: sends the negotiation and reads the start of the answer.
SmbReach negotiate(const Socket& s, Clock::time_point deadline) {
    const std::string request = negotiateRequest();
    std::size_t sent = 0;
    while (sent < request.size()) {
        if (!readyBy(s.get(), POLLOUT, deadline)) {
            return SmbReach::Silent;
        }
        const ssize_t n =
            ::send(s.get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return SmbReach::Answers; // closed at once: the library will tell what it finds
        }
        sent += static_cast<std::size_t>(n);
    }
    unsigned char answer[5] = {};
    std::size_t got = 0;
    while (got < sizeof answer) {
        if (!readyBy(s.get(), POLLIN, deadline)) {
            return SmbReach::Silent;
        }
        const ssize_t n = ::recv(s.get(), answer + got, sizeof answer - got, 0);
        if (n <= 0) {
            return SmbReach::Answers;
        }
        got += static_cast<std::size_t>(n);
    }
    // A NetBIOS session message whose SMB header is the SMB1 one: the server chose NT LM 0.12.
    return answer[0] == 0 && answer[4] == 0xFF ? SmbReach::Smb1Only : SmbReach::Answers;
}

} // namespace

SmbReach probeSmb(const std::string& host, std::span<const std::uint16_t> ports,
                  std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    bool allRefused = true;
    for (const std::uint16_t port : ports) {
        std::vector<sockaddr_storage> storage;
        std::vector<addrinfo> attempts;
        if (!addressesOf(host, port, storage, attempts)) {
            return SmbReach::Unresolved;
        }
        for (const addrinfo& attempt : attempts) {
            if (Clock::now() >= deadline) {
                return SmbReach::Silent;
            }
            const Socket s = openSocket(attempt);
            const Attempt outcome = connects(s, attempt, deadline);
            if (outcome == Attempt::Connected) {
                return negotiate(s, deadline);
            }
            allRefused = allRefused && outcome == Attempt::Refused;
        }
    }
    return allRefused ? SmbReach::Refused : SmbReach::Silent;
}

TcpReach probeTcp(const std::string& host, std::span<const std::uint16_t> ports,
                  std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) {
        return TcpReach::Unresolved;
    }
    const std::unique_ptr<addrinfo, AddrInfoFree> addresses(found);
    bool allRefused = true;
    for (const std::uint16_t port : ports) {
        for (const addrinfo* a = addresses.get(); a != nullptr; a = a->ai_next) {
            if (Clock::now() >= deadline) {
                return TcpReach::Unreachable;
            }
            sockaddr_storage target{};
            if (!addressWithPort(*a, port, target)) {
                continue;
            }
            addrinfo attempt = *a;
            attempt.ai_addr = reinterpret_cast<sockaddr*>(&target);
            const Attempt outcome = connects(openSocket(attempt), attempt, deadline);
            if (outcome == Attempt::Connected) {
                return TcpReach::Reachable;
            }
            allRefused = allRefused && outcome == Attempt::Refused;
        }
    }
    return allRefused ? TcpReach::Refused : TcpReach::Unreachable;
}

} // namespace lantrivex::smb

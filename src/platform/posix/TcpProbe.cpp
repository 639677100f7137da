// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TcpProbe.h"

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

namespace lantrivex::platform::posix {
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

// One non-blocking connection attempt, waiting at most until `deadline`.
bool connects(const addrinfo& address, Clock::time_point deadline) {
    Socket s(::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                      address.ai_protocol));
    if (s.get() < 0) {
        return false;
    }
    if (::connect(s.get(), address.ai_addr, address.ai_addrlen) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd p{s.get(), POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        int error = 0;
        socklen_t length = sizeof error;
        return ::getsockopt(s.get(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
}

} // namespace

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
    for (const std::uint16_t port : ports) {
        for (const addrinfo* a = addresses.get(); a != nullptr; a = a->ai_next) {
            if (Clock::now() >= deadline) {
                return TcpReach::Unreachable;
            }
            sockaddr_storage target{};
            if (a->ai_addrlen > sizeof target) {
                continue;
            }
            std::memcpy(&target, a->ai_addr, a->ai_addrlen);
            if (target.ss_family == AF_INET) {
                reinterpret_cast<sockaddr_in*>(&target)->sin_port = htons(port);
            } else if (target.ss_family == AF_INET6) {
                reinterpret_cast<sockaddr_in6*>(&target)->sin6_port = htons(port);
            } else {
                continue;
            }
            addrinfo attempt = *a;
            attempt.ai_addr = reinterpret_cast<sockaddr*>(&target);
            if (connects(attempt, deadline)) {
                return TcpReach::Reachable;
            }
        }
    }
    return TcpReach::Unreachable;
}

} // namespace lantrivex::platform::posix

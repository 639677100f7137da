// SPDX-License-Identifier: GPL-3.0-or-later
#include "smb/LoopbackProxy.h"

#include "smb/SambaServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <list>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace lantrivex::smbtest {
namespace {

using Clock = std::chrono::steady_clock;

// The most a limited link passes at once after a pause.
constexpr double kBurst = 8192;

struct Connection {
    int client = -1;
    int server = -1;
    std::size_t down = 0; // bytes passed from the server to the client
    bool closed = false;
    double tokens = 0; // bytes the link may pass now (at most kBurst)
    Clock::time_point last = Clock::now();
};

// Passes up to `most` bytes from `from` to `to`; false when either side is closed.
bool pass(int from, int to, std::size_t most, std::size_t& passed) {
    char buffer[16384];
    const ssize_t got = ::recv(from, buffer, std::min(most, sizeof buffer), MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
        return false;
    }
    for (ssize_t sent = 0; sent < got;) {
        const ssize_t n =
            ::send(to, buffer + sent, static_cast<std::size_t>(got - sent), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += n;
    }
    passed += static_cast<std::size_t>(std::max<ssize_t>(got, 0));
    return true;
}

} // namespace

std::unique_ptr<LoopbackProxy> LoopbackProxy::start(std::uint16_t target, Link link) {
    std::uint16_t port = 0;
    const int listener = loopbackSocket(16, port);
    if (listener < 0) {
        return nullptr;
    }
    return std::unique_ptr<LoopbackProxy>(new LoopbackProxy(listener, port, target, link));
}

LoopbackProxy::LoopbackProxy(int listener, std::uint16_t port, std::uint16_t target, Link link)
    : listener_(listener), port_(port), target_(target), link_(link) {
    thread_ = std::thread([this] { serve(); });
}

LoopbackProxy::~LoopbackProxy() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

void LoopbackProxy::serve() {
    std::list<Connection> connections;
    while (!stop_) {
        std::vector<pollfd> fds{{listener_, POLLIN, 0}};
        std::vector<std::pair<Connection*, bool>> owners{{nullptr, false}}; // from the server?
        const auto now = Clock::now();
        for (Connection& c : connections) {
            fds.push_back({c.client, POLLIN, 0});
            owners.emplace_back(&c, false);
            const double elapsed = std::chrono::duration<double>(now - c.last).count();
            c.tokens =
                std::min(kBurst, c.tokens + elapsed * static_cast<double>(link_.bytesPerSecond));
            c.last = now;
            const bool stalled = link_.stallAfter != 0 && c.down >= link_.stallAfter;
            if (!stalled && (link_.bytesPerSecond == 0 || c.tokens >= 1)) {
                fds.push_back({c.server, POLLIN, 0});
                owners.emplace_back(&c, true);
            }
        }
        if (::poll(fds.data(), fds.size(), 5) <= 0) {
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(listener_, nullptr, nullptr);
            const int server = client >= 0 ? connectToLoopback(target_) : -1;
            if (server >= 0) {
                connections.push_back(Connection{client, server});
            } else if (client >= 0) {
                ::close(client);
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            Connection& c = *owners[i].first;
            std::size_t ignored = 0;
            if (!owners[i].second) {
                c.closed = c.closed || !pass(c.client, c.server, 16384, ignored);
                continue;
            }
            std::size_t most = 16384;
            if (link_.bytesPerSecond != 0) {
                most = std::clamp<std::size_t>(static_cast<std::size_t>(c.tokens), 1, most);
            }
            if (link_.stallAfter != 0) {
                most = std::min(most, link_.stallAfter - std::min(link_.stallAfter, c.down));
            }
            const std::size_t before = c.down;
            c.closed = c.closed || (most > 0 && !pass(c.server, c.client, most, c.down));
            c.tokens -= static_cast<double>(c.down - before);
        }
        connections.remove_if([](const Connection& c) {
            if (c.closed) {
                ::close(c.client);
                ::close(c.server);
            }
            return c.closed;
        });
    }
    for (const Connection& c : connections) {
        ::close(c.client);
        ::close(c.server);
    }
}

} // namespace lantrivex::smbtest

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

namespace lantrivex::smbtest {

// A TCP proxy on 127.0.0.1 in front of a port of 127.0.0.1, standing for a slow or broken link:
// what the server sends is passed on at most `bytesPerSecond` (0: as it comes) and, on each
// connection, nothing more after `stallAfter` bytes (0: never), the connection left open, as a
// server or a link that stops would. What the client sends passes as it comes. One thread serves
// every connection; destroying the proxy closes them all.
class LoopbackProxy {
public:
    struct Link {
        std::size_t bytesPerSecond = 0;
        std::size_t stallAfter = 0;
    };
    // nullptr when no listening socket can be had.
    static std::unique_ptr<LoopbackProxy> start(std::uint16_t target, Link link);
    ~LoopbackProxy();
    LoopbackProxy(const LoopbackProxy&) = delete;
    LoopbackProxy& operator=(const LoopbackProxy&) = delete;

    std::uint16_t port() const { return port_; }

private:
    LoopbackProxy(int listener, std::uint16_t port, std::uint16_t target, Link link);
    void serve();

    int listener_;
    std::uint16_t port_;
    std::uint16_t target_;
    Link link_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace lantrivex::smbtest

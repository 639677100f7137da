#include "platform/posix/TcpProbe.h"

#include <arpa/inet.h>
#include <array>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

// A TCP socket on 127.0.0.1 with a port the system chose; listening or merely bound.
class LoopbackSocket {
public:
    explicit LoopbackSocket(bool listening) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length) != 0 ||
            (listening && ::listen(fd_, 4) != 0)) {
            return;
        }
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackSocket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    std::uint16_t port() const { return port_; }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

TEST(TcpProbe, ListeningPortIsReachable) {
    LoopbackSocket server(true);
    ASSERT_NE(server.port(), 0);
    const std::array<std::uint16_t, 1> ports{server.port()};
    EXPECT_EQ(probeTcp("127.0.0.1", ports, std::chrono::seconds(5)), TcpReach::Reachable);
    EXPECT_EQ(probeTcp("localhost", ports, std::chrono::seconds(5)), TcpReach::Reachable);
}

TEST(TcpProbe, RefusedPortsAreUnreachableAndTheNextPortIsTried) {
    LoopbackSocket closed(false); // bound, never listening: connections are refused
    LoopbackSocket server(true);
    ASSERT_NE(closed.port(), 0);
    const std::array<std::uint16_t, 1> refused{closed.port()};
    EXPECT_EQ(probeTcp("127.0.0.1", refused, std::chrono::seconds(5)), TcpReach::Unreachable);
    const std::array<std::uint16_t, 2> both{closed.port(), server.port()};
    EXPECT_EQ(probeTcp("127.0.0.1", both, std::chrono::seconds(5)), TcpReach::Reachable);
}

TEST(TcpProbe, ConnectionNeverTakenEndsWithTheTimeout) {
    // A listener whose one-place queue is full: the system drops further connection requests, as
    // a server behind a silent firewall does.
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::getsockname(server, reinterpret_cast<sockaddr*>(&a), &length), 0);
    ASSERT_EQ(::listen(server, 0), 0);
    const std::array<std::uint16_t, 1> ports{ntohs(a.sin_port)};
    ASSERT_EQ(probeTcp("127.0.0.1", ports, std::chrono::seconds(2)), TcpReach::Reachable);

    // The queue now holds the first connection, never accepted.
    EXPECT_EQ(probeTcp("127.0.0.1", ports, std::chrono::milliseconds(300)), TcpReach::Unreachable);
    ::close(server);
}

TEST(TcpProbe, UnknownNamesAreUnresolved) {
    const std::array<std::uint16_t, 1> ports{445};
    EXPECT_EQ(probeTcp("", ports, std::chrono::seconds(1)), TcpReach::Unresolved);
    EXPECT_EQ(probeTcp("no-such-host.invalid", ports, std::chrono::seconds(1)),
              TcpReach::Unresolved);
}

} // namespace
} // namespace lantrivex::platform::posix

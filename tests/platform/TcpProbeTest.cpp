#include "platform/posix/TcpProbe.h"

#include <arpa/inet.h>
#include <array>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

// A TCP socket on 127.0.0.1 with a port the system chose; listening with `backlog`, or merely
// bound when it is negative.
class LoopbackSocket {
public:
    explicit LoopbackSocket(int backlog) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length) == 0 &&
            (backlog < 0 || ::listen(fd_, backlog) == 0)) {
            port_ = ntohs(a.sin_port);
        }
    }
    ~LoopbackSocket() { ::close(fd_); }
    std::array<std::uint16_t, 1> ports() const { return {port_}; }

private:
    int fd_;
    std::uint16_t port_ = 0;
};

TEST(TcpProbe, ListeningPortsAreReachableRefusedOnesNot) {
    const LoopbackSocket server(4), closed(-1); // bound, never listening: connections refused
    ASSERT_TRUE(server.ports()[0] && closed.ports()[0]);
    EXPECT_EQ(probeTcp("127.0.0.1", server.ports(), std::chrono::seconds(5)), TcpReach::Reachable);
    EXPECT_EQ(probeTcp("localhost", server.ports(), std::chrono::seconds(5)), TcpReach::Reachable);
    EXPECT_EQ(probeTcp("127.0.0.1", closed.ports(), std::chrono::seconds(5)),
              TcpReach::Unreachable);
    const std::array<std::uint16_t, 2> both{closed.ports()[0], server.ports()[0]};
    EXPECT_EQ(probeTcp("127.0.0.1", both, std::chrono::seconds(5)), TcpReach::Reachable);
    EXPECT_EQ(probeTcp("", both, std::chrono::seconds(1)), TcpReach::Unresolved);
    EXPECT_EQ(probeTcp("no-such-host.invalid", both, std::chrono::seconds(1)),
              TcpReach::Unresolved);
}

TEST(TcpProbe, ConnectionNeverTakenEndsWithTheTimeout) {
    // A listener whose one-place queue is full drops further connection requests, as a server
    // behind a silent firewall does.
    const LoopbackSocket server(0);
    ASSERT_EQ(probeTcp("127.0.0.1", server.ports(), std::chrono::seconds(2)), TcpReach::Reachable);
    // The queue now holds the first connection, never accepted.
    EXPECT_EQ(probeTcp("127.0.0.1", server.ports(), std::chrono::milliseconds(300)),
              TcpReach::Unreachable);
}

} // namespace
} // namespace lantrivex::platform::posix

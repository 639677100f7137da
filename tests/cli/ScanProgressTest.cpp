// SPDX-License-Identifier: GPL-3.0-or-later
// The progress of a long reading: one line of standard error with the bytes read and the rate
// when standard error is a terminal (a pseudo-terminal here), nothing when it is a pipe. The
// readings are held rather than timed: the terminal's reading waits at its second piece until its
// progress shows, while the pipe's reading, started first, waits at its first.

#include "cli/CliMain.h"
#include "fakes/FakePlatform.h"

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <regex>
#include <sstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace lantrivex::cli {
namespace {

// An unbuffered output stream onto a file descriptor, as standard error is.
struct FdOutput : std::streambuf {
    explicit FdOutput(int descriptor) : fd(descriptor) {}
    std::streamsize xsputn(const char* text, std::streamsize n) override {
        return ::write(fd, text, static_cast<std::size_t>(n));
    }
    int_type overflow(int_type c) override {
        const char one = traits_type::to_char_type(c);
        return c != traits_type::eof() && xsputn(&one, 1) == 1 ? c : traits_type::eof();
    }
    int fd;
};

// What is there to read on `fd`, waiting for more until `enough` holds or nothing comes within
// `waitMs` (a bound against a hang, never a measured time).
std::string drain(int fd, int waitMs, const std::function<bool(const std::string&)>& enough) {
    std::string text;
    char buffer[256];
    pollfd ready{fd, POLLIN, 0};
    while (!enough(text) && ::poll(&ready, 1, waitMs) == 1) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// One scan of a volume of 4,000 signatures, read in pieces of 10,000 bytes, its standard error on
// `errFd`.
struct Scan {
    Scan() {
        std::string bytes;
        for (int i = 0; i < 4000; ++i) {
            bytes.append("\x01TEXTttxt", 9).push_back('\0');
        }
        fake.streams.addStream("/srv/vol", "AFP_IdIndex", std::move(bytes)).maxRead = 10000;
    }
    int run(int errFd) {
        FdOutput buffer(errFd);
        std::ostream err(&buffer);
        platform::Platform bundle = fake.platform();
        CliContext context{bundle, out, err, "/opt/lantrivex"};
        context.errIsTerminal = isTerminal(errFd);
        return runCli({"scan", "--format", "csv", "/srv/vol"}, context);
    }
    fakes::FakePlatform fake;
    std::ostringstream out;
};

TEST(ScanProgress, OnATerminalALongReadingShowsBytesAndRateOnOneLineAndNothingOnAPipe) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw{};
    ASSERT_EQ(::tcgetattr(slave, &raw), 0);
    ::cfmakeraw(&raw);
    ASSERT_EQ(::tcsetattr(slave, TCSANOW, &raw), 0);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);

    Scan piped, onTerminal;
    std::promise<void> pipedHeld, released;
    const std::shared_future<void> release = released.get_future().share();
    int pipedReads = 0, terminalReads = 0;
    piped.fake.streams.onRead = [&] {
        if (++pipedReads == 1) {
            pipedHeld.set_value();
            release.wait();
        }
    };
    std::string shown;
    onTerminal.fake.streams.onRead = [&] {
        if (++terminalReads == 2) {
            shown = drain(master, 30000, [](const std::string& text) {
                return text.find("KiB/s") != std::string::npos;
            });
            released.set_value();
        }
    };
    auto pipedExit = std::async(std::launch::async, [&] { return piped.run(pipeFds[1]); });
    pipedHeld.get_future().wait();
    EXPECT_EQ(onTerminal.run(slave), kExitOk);
    EXPECT_EQ(pipedExit.get(), kExitOk);
    shown += drain(master, 0, [](const std::string&) { return false; });
    ::close(pipeFds[1]);
    const std::string piping = drain(pipeFds[0], 0, [](const std::string&) { return false; });

    // The line rewritten in place, then taken off; nothing of it on the pipe.
    EXPECT_TRUE(std::regex_match(
        shown, std::regex("(\r[0-9]+\\.[0-9] MiB read, [0-9]+\\.[0-9] KiB/s\x1b\\[K)+\r\x1b\\[K")))
        << shown;
    EXPECT_EQ(piping, "");
    const std::string rows = "volume,count,percent,signature,description\r\n"
                             "/srv/vol,4000,100,TEXTttxt,\r\n";
    EXPECT_EQ(onTerminal.out.str(), rows);
    EXPECT_EQ(piped.out.str(), rows);
    for (const int fd : {master, slave, pipeFds[0]}) {
        ::close(fd);
    }
}

} // namespace
} // namespace lantrivex::cli

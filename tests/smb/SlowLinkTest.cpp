// SPDX-License-Identifier: GPL-3.0-or-later
// Index streams read over SMB through links that are slow or that stop: the timeout bounds a
// stall, not the time a large stream takes; a stream that stops is told with its volume and the
// reason, and the command-line reader exits 1 without printing it.
#include "analysis/VolumeIndexReader.h"
#include "fakes/FakeNotifier.h"
#include "platform/posix/PosixNamedStreamReader.h"
#include "smb/LoopbackProxy.h"
#include "smb/SambaServer.h"
#include "smb/SmbShareAccess.h"

#include <gtest/gtest.h>

namespace lantrivex {
namespace {

using platform::AccessFailure;
using smbtest::LoopbackProxy;
using smbtest::SambaServer;

// 600 KiB of signatures, 60,000 of them.
const std::string kIndex = [] {
    std::string bytes;
    while (bytes.size() < 600 * 1024) {
        bytes += std::string("\x01W6BNMSWD\x00", 10);
    }
    return bytes;
}();
constexpr const char* kVolume = R"(\\127.0.0.1\D$\Vol)";

class SlowLinkTest : public smbtest::SambaSuite<SlowLinkTest> {
public:
    static std::unique_ptr<SambaServer> startServer(std::string& error) {
        return SambaServer::start(error, {"Vol"}, {{"Vol:AFP_IdIndex", kIndex}});
    }
};

TEST_F(SlowLinkTest, ASlowLinkIsReadWholeAndAStoppedOneIsToldWithTheVolumeAndTheReason) {
    const struct {
        const char* link;
        LoopbackProxy::Link shape;
        bool whole;
        AccessFailure failure;
    } cases[] = {
        // 2.3 s for the stream, each piece asked within the timeout of 1 s.
        {"steady at 256 KiB/s", {256 * 1024, 0}, true, AccessFailure::None},
        {"stopping after 200 kB", {0, 200'000}, false, AccessFailure::TimedOut},
    };
    for (const auto& c : cases) {
        const auto proxy = LoopbackProxy::start(server_->port(), c.shape);
        ASSERT_NE(proxy, nullptr);
        smb::SmbSettings settings;
        settings.port = proxy->port();
        settings.timeout = std::chrono::seconds(1);
        smb::SmbShareAccess access(settings);
        platform::posix::PosixNamedStreamReader streams(
            platform::posix::PathResolver(std::vector<platform::posix::MountEntry>{}), &access);
        fakes::FakeNotifier notifier;
        const analysis::VolumeIndexReading reading =
            analysis::ReadWholeVolumeIndex(kVolume, streams, notifier, kEnglish);
        EXPECT_EQ(reading.whole, c.whole) << c.link;
        EXPECT_EQ(reading.failure, c.failure) << c.link;
        ASSERT_TRUE(reading.result) << c.link;
        if (c.whole) {
            EXPECT_EQ(reading.result->total, 60 * 1024) << c.link;
            EXPECT_TRUE(notifier.messages.empty()) << c.link;
        } else {
            EXPECT_EQ(notifier.texts(),
                      std::vector<std::string>{
                          "Error reading file ...\r\nVolume: " + std::string(kVolume) +
                          "\r\nThe machine did not answer in time"});
        }
    }
}

TEST_F(SlowLinkTest, TheCommandLineReaderExitsOneAndNamesTheVolumeOfAStoppedStream) {
    const auto proxy = LoopbackProxy::start(server_->port(), {0, 200'000});
    ASSERT_NE(proxy, nullptr);
    const auto scratch = server_->scratch();
    const int status = smbtest::shell("LANTRIVEX_SMB_PORT=" + std::to_string(proxy->port()) +
                                      " LANTRIVEX_SMB_TIMEOUT=1 '" LANTRIVEX_BINARY_DIR
                                      "/bin/lantrivex-cli' scan --lang fr '" +
                                      kVolume + "' >'" + (scratch / "cut.out").string() + "' 2>'" +
                                      (scratch / "cut.err").string() + "'");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(smbtest::readText(scratch / "cut.out"), ""); // no partial result
    // (A sanitizer's closing summary may follow.)
    EXPECT_EQ(smbtest::readText(scratch / "cut.err")
                  .find("Lantrivex: Error reading file ...\n  Volume : " + std::string(kVolume) +
                        "\n  La machine n'a pas répondu à temps\n"),
              0u);
}

} // namespace
} // namespace lantrivex

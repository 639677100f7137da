// SPDX-License-Identifier: GPL-3.0-or-later
// A server that speaks only SMB1 (as Windows 2000 and 2003 do): told as such while SMB1 is not
// offered, read once LANTRIVEX_SMB_MIN_PROTOCOL=NT1 offers it.
#include "smb/SambaServer.h"
#include "smb/SmbRegistry.h"
#include "smb/SmbShareAccess.h"

#include <gtest/gtest.h>

namespace lantrivex::smb {
using namespace lantrivex::platform;
namespace {

using smbtest::SambaServer;

class Smb1ServerTest : public smbtest::SambaSuite<Smb1ServerTest> {
public:
    static std::unique_ptr<SambaServer> startServer(std::string& error) {
        return SambaServer::start(error, {"Vol"}, {}, true,
                                  "server min protocol = NT1\nserver max protocol = NT1\n");
    }
};

TEST_F(Smb1ServerTest, ToldAsSpeakingOnlySmb1UnlessSmb1IsOffered) {
    for (const std::string minProtocol : {"", "NT1"}) {
        SmbSettings settings;
        settings.port = server_->port();
        settings.timeout = std::chrono::seconds(5);
        settings.minProtocol = minProtocol;
        settings.kerberos = false;
        SmbShareAccess access(settings);
        const StreamOpening opening =
            access.openStreamWithReason(UncPath{"127.0.0.1", "D$", "Vol"}, "AFP_IdIndex");
        SmbRegistry registry(settings);
        std::unique_ptr<RegistryHive> hive;
        const RegistryError connected = registry.connect("127.0.0.1", hive);
        if (minProtocol.empty()) {
            EXPECT_EQ(opening.stream, nullptr);
            EXPECT_EQ(opening.failure, AccessFailure::Smb1Only);
            EXPECT_EQ(connected, kRegBadNetPath);
            EXPECT_EQ(registry.connectFailure("127.0.0.1"), AccessFailure::Smb1Only);
        } else {
            // Reached: the folder has no stream, which is no matter of dialect.
            EXPECT_EQ(opening.stream, nullptr);
            EXPECT_NE(opening.failure, AccessFailure::Smb1Only);
            // Reached: whatever the guest account may do there, the dialect is no reason.
            EXPECT_NE(registry.connectFailure("127.0.0.1"), AccessFailure::Smb1Only) << connected;
        }
    }
}

} // namespace
} // namespace lantrivex::smb

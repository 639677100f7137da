#include "platform/posix/SmbShareAccess.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace lantrivex::platform::posix {
namespace {

SmbSettings settingsOf(const std::map<std::string, std::string>& environment) {
    return SmbSettings::fromEnvironment([&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

TEST(SmbSettings, DefaultsWithoutEnvironment) {
    const auto s = settingsOf({});
    EXPECT_EQ(s.port, 0); // 445, then 139
    EXPECT_EQ(s.timeout, std::chrono::seconds(5));
    EXPECT_EQ(s.credentialsFile, "");
    EXPECT_EQ(s.minProtocol, "");
    EXPECT_TRUE(s.kerberos);
}

TEST(SmbSettings, ReadsEveryVariable) {
    const auto s = settingsOf({{"LANTRIVEX_SMB_PORT", "4455"},
                               {"LANTRIVEX_SMB_TIMEOUT", "2"},
                               {"LANTRIVEX_SMB_CREDENTIALS", "/etc/lantrivex/cred"},
                               {"LANTRIVEX_SMB_MIN_PROTOCOL", "NT1"}});
    EXPECT_EQ(s.port, 4455);
    EXPECT_EQ(s.timeout, std::chrono::seconds(2));
    EXPECT_EQ(s.credentialsFile, "/etc/lantrivex/cred");
    EXPECT_EQ(s.minProtocol, "NT1");
}

TEST(SmbSettings, BadNumbersFallBackToTheDefaults) {
    for (const char* bad :
         {"", "0", "65536", "-1", "44 5", "445x", "0x1bd", "99999999999999999999"}) {
        EXPECT_EQ(settingsOf({{"LANTRIVEX_SMB_PORT", bad}}).port, 0) << bad;
    }
    for (const char* bad : {"", "0", "301", "-5", "1.5", "five"}) {
        EXPECT_EQ(settingsOf({{"LANTRIVEX_SMB_TIMEOUT", bad}}).timeout,
                  SmbSettings::kDefaultTimeout)
            << bad;
    }
    EXPECT_EQ(settingsOf({{"LANTRIVEX_SMB_PORT", "65535"}}).port, 65535);
    EXPECT_EQ(settingsOf({{"LANTRIVEX_SMB_TIMEOUT", "300"}}).timeout, std::chrono::seconds(300));
}

TEST(SmbSettings, FactoryFollowsTheBuild) {
    EXPECT_EQ(makeSmbShareAccess() != nullptr, smbAccessBuiltIn());
}

} // namespace
} // namespace lantrivex::platform::posix

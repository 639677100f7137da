#include "TempFolder.h"
#include "platform/posix/SmbCredentials.h"
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

TEST(SmbSettings, ReadsEveryVariableOrTakesTheDefaults) {
    auto s = settingsOf({});
    EXPECT_EQ(s.port, 0); // 445, then 139
    EXPECT_EQ(s.timeout, std::chrono::seconds(5));
    EXPECT_EQ(s.credentialsFile + s.minProtocol, "");
    EXPECT_TRUE(s.kerberos);
    s = settingsOf({{"LANTRIVEX_SMB_PORT", "65535"},
                    {"LANTRIVEX_SMB_TIMEOUT", "300"},
                    {"LANTRIVEX_SMB_CREDENTIALS", "/etc/lantrivex/cred"},
                    {"LANTRIVEX_SMB_MIN_PROTOCOL", "NT1"}});
    EXPECT_EQ(s.port, 65535);
    EXPECT_EQ(s.timeout, std::chrono::seconds(300));
    EXPECT_EQ(s.credentialsFile, "/etc/lantrivex/cred");
    EXPECT_EQ(s.minProtocol, "NT1");
    EXPECT_EQ(makeSmbShareAccess() != nullptr, smbAccessBuiltIn());
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
}

std::string fields(const std::optional<SmbCredentials>& c) {
    return c ? c->username + "|" + c->password + "|" + c->domain : "<none>";
}

TEST(SmbCredentials, ReadsTheSmbclientAndMountCifsForms) {
    const std::pair<const char*, const char*> rows[] = {
        {"username = jdupont\npassword = s3cret\ndomain = CORP\n", "jdupont|s3cret|CORP"},
        {"# for the Mac servers\r\nUser=jdupont\r\nPASS=pw\r\n; old\r\nworkgroup=CORP\r\n",
         "jdupont|pw|CORP"},
        // Blanks inside and at the end, "=" and "#" are part of a password.
        {"username=u\npassword=  a b=c#d \n", "u|a b=c#d |"},
        // The user name carries domain and password; explicit lines win over it.
        {"username=CORP\\jdupont%pw\n", "jdupont|pw|CORP"},
        {"domain=REAL\npassword=line\nusername=CORP/jdupont%inline\n", "jdupont|line|REAL"},
        {"username=u", "u||"}, // a last line without its line end
        // No user name, no credentials.
        {"", "<none>"},
        {"password=pw\ndomain=CORP\n", "<none>"},
        {"username=\n", "<none>"},
        {"username=CORP\\\n", "<none>"},
        {"usernamejdupont\nsomething=else\n", "<none>"}};
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(fields(parseSmbCredentials(text)), expected) << text;
    }
}

TEST(SmbCredentials, FileReadOrRefused) {
    TempFolder dir;
    dir.write("cred", "username=u\npassword=p\n");
    EXPECT_EQ(fields(readSmbCredentialsFile(dir.file("cred"))), "u|p|");
    EXPECT_EQ(fields(readSmbCredentialsFile("")), "<none>");
    EXPECT_EQ(fields(readSmbCredentialsFile(dir.file("missing"))), "<none>");
    EXPECT_EQ(fields(readSmbCredentialsFile(dir.path())), "<none>"); // a folder
    // A huge file is no credentials file: not read whole, refused.
    dir.write("cred", "username=u\n" + std::string(100 * 1024, '#') + "\n");
    EXPECT_EQ(fields(readSmbCredentialsFile(dir.file("cred"))), "<none>");
}

} // namespace
} // namespace lantrivex::platform::posix

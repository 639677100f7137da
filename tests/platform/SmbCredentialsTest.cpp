#include "platform/posix/SmbCredentials.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

TEST(SmbCredentials, ReadsTheSmbclientForm) {
    const auto c = parseSmbCredentials("username = jdupont\npassword = s3cret\ndomain = CORP\n");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->username, "jdupont");
    EXPECT_EQ(c->password, "s3cret");
    EXPECT_EQ(c->domain, "CORP");
}

TEST(SmbCredentials, ReadsTheMountCifsFormWithShortKeysAndCrLf) {
    const auto c = parseSmbCredentials("# for the Mac servers\r\nUser=jdupont\r\nPASS=pw\r\n"
                                       "; old\r\nworkgroup=CORP\r\n");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->username, "jdupont");
    EXPECT_EQ(c->password, "pw");
    EXPECT_EQ(c->domain, "CORP");
}

TEST(SmbCredentials, PasswordKeepsEverythingAfterTheLeadingBlanks) {
    // Blanks inside and at the end, "=" and "#" are part of a password.
    const auto c = parseSmbCredentials("username=u\npassword=  a b=c#d \n");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->password, "a b=c#d ");
}

TEST(SmbCredentials, UserNameCarriesDomainAndPassword) {
    auto c = parseSmbCredentials("username=CORP\\jdupont%pw\n");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->username, "jdupont");
    EXPECT_EQ(c->domain, "CORP");
    EXPECT_EQ(c->password, "pw");

    // Explicit lines win over what the user name carries.
    c = parseSmbCredentials("domain=REAL\npassword=line\nusername=CORP/jdupont%inline\n");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->username, "jdupont");
    EXPECT_EQ(c->domain, "REAL");
    EXPECT_EQ(c->password, "line");
}

TEST(SmbCredentials, NoUserNameIsNoCredentials) {
    EXPECT_FALSE(parseSmbCredentials("").has_value());
    EXPECT_FALSE(parseSmbCredentials("password=pw\ndomain=CORP\n").has_value());
    EXPECT_FALSE(parseSmbCredentials("username=\n").has_value());
    EXPECT_FALSE(parseSmbCredentials("username=CORP\\\n").has_value());
    EXPECT_FALSE(parseSmbCredentials("usernamejdupont\nsomething=else\n").has_value());
    // A last line without its line end still counts.
    EXPECT_TRUE(parseSmbCredentials("username=u").has_value());
}

TEST(SmbCredentials, FileReadOrRefused) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("lantrivex-cred-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = (dir / "cred").string();
    {
        std::ofstream out(file, std::ios::binary);
        out << "username=u\npassword=p\n";
    }
    const auto c = readSmbCredentialsFile(file);
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->username, "u");
    EXPECT_EQ(c->password, "p");

    EXPECT_FALSE(readSmbCredentialsFile("").has_value());
    EXPECT_FALSE(readSmbCredentialsFile((dir / "missing").string()).has_value());
    EXPECT_FALSE(readSmbCredentialsFile(dir.string()).has_value()); // a folder

    // A huge file is no credentials file: not read whole, refused.
    {
        std::ofstream out(file, std::ios::binary);
        out << "username=u\n" << std::string(100 * 1024, '#') << '\n';
    }
    EXPECT_FALSE(readSmbCredentialsFile(file).has_value());
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace lantrivex::platform::posix

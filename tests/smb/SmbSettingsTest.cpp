// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TempFolder.h"
#include "smb/SmbCredentials.h"
#include "smb/SmbShareAccess.h"
#include "smb/SmbUrl.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/prctl.h>

namespace lantrivex::smb {
using namespace lantrivex::platform;
using platform::posix::TempFolder;
namespace {

SmbSettings settingsOf(const std::map<std::string, std::string>& environment) {
    return SmbSettings::fromEnvironment([&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

std::string describe(const SmbSettings& s) {
    return std::to_string(s.port) + "|" + std::to_string(s.timeout.count()) + "|" +
           s.credentialsFile + "|" + s.minProtocol + "|" + (s.kerberos ? "krb" : "");
}

TEST(SmbSettings, ReadsEveryVariableAndBadNumbersFallBackToTheDefaults) {
    EXPECT_EQ(describe(settingsOf({})), "0|5000|||krb"); // port 0: 445, then 139
    EXPECT_EQ(describe(settingsOf({{"LANTRIVEX_SMB_PORT", "65535"},
                                   {"LANTRIVEX_SMB_TIMEOUT", "300"},
                                   {"LANTRIVEX_SMB_CREDENTIALS", "/etc/lantrivex/cred"},
                                   {"LANTRIVEX_SMB_MIN_PROTOCOL", "NT1"}})),
              "65535|300000|/etc/lantrivex/cred|NT1|krb");
    for (const char* bad :
         {"", "0", "65536", "-1", "44 5", "445x", "0x1bd", "99999999999999999999", "five", "1.5"}) {
        EXPECT_EQ(
            describe(settingsOf({{"LANTRIVEX_SMB_PORT", bad}, {"LANTRIVEX_SMB_TIMEOUT", bad}})),
            "0|5000|||krb")
            << bad;
    }
    EXPECT_EQ(settingsOf({{"LANTRIVEX_SMB_TIMEOUT", "301"}}).timeout, SmbSettings::kDefaultTimeout);
}

// A file's accounts ("*" before any section), warnings ("?line") or error ("!line reason").
std::string fields(const SmbCredentialsFile& f) {
    if (f.error) {
        std::string out = "!";
        out += std::to_string(f.error->line);
        out += ' ';
        return out + f.error->english;
    }
    const auto account = [](const SmbCredentials& c) {
        return c.username + "|" + std::string(c.password.view()) + "|" + c.domain;
    };
    std::string out = f.anyServer ? "*=" + account(*f.anyServer) : "";
    for (const auto& [server, c] : f.servers) {
        out += " [" + server + "]=" + account(c);
    }
    for (const SmbCredentialsProblem& w : f.warnings) {
        out += " ?" + std::to_string(w.line);
    }
    return out;
}

TEST(SmbCredentials, ReadsTheSmbclientAndMountCifsFormsWithServerSectionsAndTellsWhatItCannotUse) {
    const std::pair<const char*, const char*> rows[] = {
        {"username = jdupont\npassword = s3cret\ndomain = CORP\n", "*=jdupont|s3cret|CORP"},
        {"# for the Mac servers\r\nUser=jdupont\r\nPASS=pw\r\n; old\r\nworkgroup=CORP\r\n",
         "*=jdupont|pw|CORP"},
        {"username=u\npassword=  a b=c#d \n", "*=u|a b=c#d |"},
        // Domain and password in the user name; explicit lines win over them.
        {"username=CORP\\jdupont%pw\n", "*=jdupont|pw|CORP"},
        {"domain=REAL\npassword=line\nusername=CORP/jdupont%inline\n", "*=jdupont|line|REAL"},
        {"username=u", "*=u||"}, // a last line without its line end
        {"\xEF\xBB\xBFusername=u\n", "*=u||"},
        // Accounts per server; the keys before any section serve the others.
        {"user=all\n[FileSrv]\nuser=CORP\\adm\npass=x\n[ mac2 ]\nuser=m\n",
         "*=all|| [filesrv]=adm|x|CORP [mac2]=m||"},
        {"[filesrv]\nuser=adm\n", " [filesrv]=adm||"},
        {"[SERVEUR-\xC3\x89]\nUSER=adm\n", " [serveur-\xC3\xA9]=adm||"},
        // Lines not understood are told and skipped.
        {"username=u\nusr=v\njust text\n", "*=u|| ?2 ?3"},
        // No user name: the file cannot be used.
        {"password=pw\ndomain=CORP\n", "!1 no user name (username=) is given"},
        {"usr=jdupont\npassword=pw\n", "!1 no user name (username=) is given"},
        {"username=\n", "!1 no user name (username=) is given"},
        {"username=CORP\\\n", "!1 no user name (username=) is given"},
        {"# nothing\n", "!0 no user name (username=) is given"},
        {"user=u\n[srv]\npass=p\n", "!2 no user name (username=) is given"},
        {"user=u\n[]\n", "!2 a section names no server"}};
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(fields(parseSmbCredentials(text)), expected) << text;
    }
    const SmbCredentialsFile f = parseSmbCredentials("user=all\n[FILESRV]\nuser=adm\n");
    EXPECT_EQ(f.forServer("FileSrv")->username, "adm");
    EXPECT_EQ(f.forServer("macsrv")->username, "all");
    EXPECT_EQ(parseSmbCredentials("[filesrv]\nuser=adm\n").forServer("macsrv"), nullptr);
}

TEST(SmbCredentials, FilesOnlyTheirOwnerMayReadAreRead) {
    namespace fs = std::filesystem;
    TempFolder dir;
    const std::string cred = dir.file("cred");
    struct Row {
        std::string bytes;
        fs::perms mode;
        const char* expected;
    };
    const fs::perms owner = fs::perms::owner_read | fs::perms::owner_write;
    const Row rows[] = {
        {"username=u\npassword=p\n", owner, "*=u|p|"},
        {"\xEF\xBB\xBFusername=u\n", fs::perms::owner_read, "*=u||"},
        {"username=u\n", owner | fs::perms::group_read, "!0 the file may be read or changed"},
        {"username=u\n", owner | fs::perms::others_read, "!0 the file may be read or changed"},
        // A huge file is no credentials file: not read whole, refused.
        {"username=u\n" + std::string(100 * 1024, '#') + "\n", owner, "!0 over 64 KiB"}};
    for (const Row& row : rows) {
        dir.write("cred", row.bytes);
        fs::permissions(cred, row.mode);
        EXPECT_EQ(fields(readSmbCredentialsFile(cred)).substr(0, std::strlen(row.expected)),
                  row.expected);
    }
    EXPECT_EQ(fields(readSmbCredentialsFile(dir.path())), "!0 not a regular file");
    EXPECT_EQ(fields(readSmbCredentialsFile(dir.file("none"))), "!0 No such file or directory");
    fs::permissions(cred, owner | fs::perms::group_read);
    EXPECT_NE(fields(readSmbCredentialsFile(cred)).find("chmod 600 " + cred), std::string::npos);
}

TEST(SmbCredentials, SecretsAreWipedMovedWholeAndKeepTheProcessFromDumping) {
    const std::size_t before = SecretBuffer::live();
    {
        SecretBuffer a("secret");
        EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
        SecretBuffer b = std::move(a);
        EXPECT_TRUE(a.empty()) << "the buffer moved whole, nothing left behind";
        EXPECT_EQ(b.view(), "secret");
        SecretBuffer c(b);
        c = std::move(b);
        EXPECT_EQ(c.view(), "secret");
        EXPECT_EQ(SecretBuffer::live(), before + 1);
    }
    EXPECT_EQ(SecretBuffer::live(), before);
    if (before == 0) {
        EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1) << "dumpable again without secrets";
    }
}

TEST(SmbUrl, BuiltFromTheNetworkPathPortAndStreamEncodedForTheLibraryToDecode) {
    const std::tuple<const char*, std::uint16_t, const char*, const char*> rows[] = {
        {R"(\\NTSRV1\D$\Mac Volumes\Pub)", 0, "AFP_IdIndex",
         "smb://NTSRV1/D$/Mac%20Volumes/Pub:AFP_IdIndex"},
        {R"(\\127.0.0.1\D$\Vol)", 4455, "", "smb://127.0.0.1:4455/D$/Vol"},
        // The stream of the root folder needs the root's separator, or it names another share.
        {R"(\\srv\MacVol)", 0, "", "smb://srv/MacVol"},
        {R"(\\srv\MacVol)", 0, "AFP_IdIndex", "smb://srv/MacVol/:AFP_IdIndex"},
        {R"(\\srv\Mac Share\A%20B\x#y)", 0, "AFP_IdIndex",
         "smb://srv/Mac%20Share/A%2520B/x%23y:AFP_IdIndex"},
        // Normalised as Windows does before sending: ".." never climbs above the share.
        {R"(\\srv\D$\x\..\..\Vol)", 0, "AFP_IdIndex", "smb://srv/D$/Vol:AFP_IdIndex"},
        {R"(\\srv\D$\x\..)", 0, "AFP_IdIndex", "smb://srv/D$/:AFP_IdIndex"}};
    for (const auto& [path, port, stream, url] : rows) {
        EXPECT_EQ(buildSmbUrl(*parseUncPath(path), port, stream), url);
    }
    const std::pair<std::string_view, const char*> parts[] = {
        {"a:b@c?d#e/f;g", "a%3Ab%40c%3Fd%23e%2Ff%3Bg"},
        {"+&=,'()!*[]", "%2B%26%3D%2C%27%28%29%21%2A%5B%5D"},
        {"Az09-._~$", "Az09-._~$"},
        {"Caf\xC3\xA9", "Caf%C3%A9"},
        {std::string_view("\x00\x7F\xFF", 3), "%00%7F%FF"}};
    for (const auto& [part, encoded] : parts) {
        EXPECT_EQ(percentEncodeUrlPart(part), encoded);
    }
}

} // namespace
} // namespace lantrivex::smb

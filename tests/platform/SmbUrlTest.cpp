#include "platform/posix/SmbUrl.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

UncPath unc(std::string server, std::string share, std::string rest) {
    return UncPath{std::move(server), std::move(share), std::move(rest)};
}

TEST(SmbUrl, StreamOfAVolumeRootOnAnAdministrativeShare) {
    EXPECT_EQ(buildSmbUrl(unc("NTSRV1", "D$", R"(Mac Volumes\Pub)"), 0, "AFP_IdIndex"),
              "smb://NTSRV1/D$/Mac%20Volumes/Pub:AFP_IdIndex");
    EXPECT_EQ(buildSmbUrl(unc("NTSRV1", "D$", R"(Mac Volumes\Pub)"), 0),
              "smb://NTSRV1/D$/Mac%20Volumes/Pub");
}

TEST(SmbUrl, PortWrittenOnlyWhenConfigured) {
    EXPECT_EQ(buildSmbUrl(unc("127.0.0.1", "D$", "Vol"), 4455, "AFP_IdIndex"),
              "smb://127.0.0.1:4455/D$/Vol:AFP_IdIndex");
    EXPECT_EQ(buildSmbUrl(unc("srv", "s", ""), 445), "smb://srv:445/s");
}

TEST(SmbUrl, ShareRootFolderAndItsStream) {
    EXPECT_EQ(buildSmbUrl(unc("srv", "MacVol", ""), 0), "smb://srv/MacVol");
    // The stream of the root folder needs the root's separator, or it would name another share.
    EXPECT_EQ(buildSmbUrl(unc("srv", "MacVol", ""), 0, "AFP_IdIndex"),
              "smb://srv/MacVol/:AFP_IdIndex");
}

TEST(SmbUrl, EveryNameIsEncodedSoThatTheLibraryDecodesItBack) {
    // A folder whose name looks like an escape reaches the server as written.
    EXPECT_EQ(percentEncodeUrlPart("A%20B"), "A%2520B");
    // Characters the URL syntax would take as its own: user, port, query, fragment, separators.
    EXPECT_EQ(percentEncodeUrlPart("a:b@c?d#e/f;g"), "a%3Ab%40c%3Fd%23e%2Ff%3Bg");
    EXPECT_EQ(percentEncodeUrlPart("+&=,'()!*[]"), "%2B%26%3D%2C%27%28%29%21%2A%5B%5D");
    EXPECT_EQ(percentEncodeUrlPart("Az09-._~$"), "Az09-._~$");
    // UTF-8 byte by byte, upper-case hexadecimal.
    EXPECT_EQ(percentEncodeUrlPart("Caf\xC3\xA9"), "Caf%C3%A9");
    EXPECT_EQ(percentEncodeUrlPart(std::string_view("\x00\x7F\xFF", 3)), "%00%7F%FF");

    EXPECT_EQ(buildSmbUrl(unc("srv", "Mac Share", R"(A%20B\x#y)"), 0, "AFP_IdIndex"),
              "smb://srv/Mac%20Share/A%2520B/x%23y:AFP_IdIndex");
}

TEST(SmbUrl, PathNormalisedAsWindowsDoesBeforeSending) {
    EXPECT_EQ(normalisedPathParts(R"(a\\b\.\c\)"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(normalisedPathParts(R"(a\..\b)"), (std::vector<std::string>{"b"}));
    // ".." never climbs above the share.
    EXPECT_EQ(normalisedPathParts(R"(..\..\b)"), (std::vector<std::string>{"b"}));
    EXPECT_TRUE(normalisedPathParts(R"(a\..)").empty());
    EXPECT_TRUE(normalisedPathParts("").empty());
    // Names made of more dots are ordinary names.
    EXPECT_EQ(normalisedPathParts("..."), (std::vector<std::string>{"..."}));

    EXPECT_EQ(buildSmbUrl(unc("srv", "D$", R"(x\..\..\Vol)"), 0, "AFP_IdIndex"),
              "smb://srv/D$/Vol:AFP_IdIndex");
    EXPECT_EQ(buildSmbUrl(unc("srv", "D$", R"(x\..)"), 0, "AFP_IdIndex"),
              "smb://srv/D$/:AFP_IdIndex");
}

} // namespace
} // namespace lantrivex::platform::posix

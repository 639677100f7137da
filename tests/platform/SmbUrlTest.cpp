#include "platform/posix/SmbUrl.h"

#include <gtest/gtest.h>

namespace lantrivex::platform::posix {
namespace {

TEST(SmbUrl, BuiltFromTheNetworkPathPortAndStream) {
    const struct {
        const char* server;
        const char* share;
        const char* rest;
        std::uint16_t port;
        const char* stream;
        const char* url;
    } rows[] = {
        {"NTSRV1", "D$", R"(Mac Volumes\Pub)", 0, "AFP_IdIndex",
         "smb://NTSRV1/D$/Mac%20Volumes/Pub:AFP_IdIndex"},
        {"NTSRV1", "D$", R"(Mac Volumes\Pub)", 0, "", "smb://NTSRV1/D$/Mac%20Volumes/Pub"},
        {"127.0.0.1", "D$", "Vol", 4455, "AFP_IdIndex", "smb://127.0.0.1:4455/D$/Vol:AFP_IdIndex"},
        {"srv", "s", "", 445, "", "smb://srv:445/s"},
        // The stream of the root folder needs the root's separator, or it names another share.
        {"srv", "MacVol", "", 0, "", "smb://srv/MacVol"},
        {"srv", "MacVol", "", 0, "AFP_IdIndex", "smb://srv/MacVol/:AFP_IdIndex"},
        {"srv", "Mac Share", R"(A%20B\x#y)", 0, "AFP_IdIndex",
         "smb://srv/Mac%20Share/A%2520B/x%23y:AFP_IdIndex"},
        // Normalised as Windows does before sending: ".." never climbs above the share.
        {"srv", "D$", R"(x\..\..\Vol)", 0, "AFP_IdIndex", "smb://srv/D$/Vol:AFP_IdIndex"},
        {"srv", "D$", R"(x\..)", 0, "AFP_IdIndex", "smb://srv/D$/:AFP_IdIndex"}};
    for (const auto& r : rows) {
        const UncPath unc{r.server, r.share, r.rest};
        EXPECT_EQ(buildSmbUrl(unc, r.port, r.stream), r.url);
    }
}

TEST(SmbUrl, EveryNameIsEncodedSoThatTheLibraryDecodesItBack) {
    const std::pair<std::string_view, const char*> rows[] = {
        {"A%20B", "A%2520B"}, // a name that looks like an escape
        {"a:b@c?d#e/f;g", "a%3Ab%40c%3Fd%23e%2Ff%3Bg"},
        {"+&=,'()!*[]", "%2B%26%3D%2C%27%28%29%21%2A%5B%5D"},
        {"Az09-._~$", "Az09-._~$"},
        {"Caf\xC3\xA9", "Caf%C3%A9"},
        {std::string_view("\x00\x7F\xFF", 3), "%00%7F%FF"}};
    for (const auto& [part, encoded] : rows) {
        EXPECT_EQ(percentEncodeUrlPart(part), encoded);
    }
    using Parts = std::vector<std::string>;
    EXPECT_EQ(normalisedPathParts(R"(a\\b\.\c\)"), (Parts{"a", "b", "c"}));
    EXPECT_EQ(normalisedPathParts(R"(a\..\b)"), Parts{"b"});
    EXPECT_EQ(normalisedPathParts(R"(..\..\b)"), Parts{"b"});
    EXPECT_EQ(normalisedPathParts(R"(a\..)"), Parts{});
    EXPECT_EQ(normalisedPathParts(""), Parts{});
    EXPECT_EQ(normalisedPathParts("..."), Parts{"..."}); // more dots make an ordinary name
}

} // namespace
} // namespace lantrivex::platform::posix

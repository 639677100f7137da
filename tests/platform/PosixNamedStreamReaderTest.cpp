#include "platform/posix/PosixNamedStreamReader.h"

#include "RecordingRemoteShare.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

using namespace std::string_literals;

// Everything the stream gives, read through a small buffer.
std::string readAll(ByteStream& stream) {
    std::string out;
    std::byte buffer[7];
    while (std::size_t n = stream.read(buffer, sizeof buffer)) {
        out.append(reinterpret_cast<const char*>(buffer), n);
    }
    return out;
}

struct PosixNamedStreamReaderTest : ::testing::Test {
    TempFolder temp;
    RecordingRemoteShare remote;
    // No mount but one share: resolution does not depend on this machine's mounts.
    PathResolver resolver{parseMountTable("//NTSRV1/D$ " + temp.path() + " cifs rw 0 0\n")};
    PosixNamedStreamReader reader{resolver};

    void requireAttributes() {
        if (!temp.takesUserAttributes()) {
            GTEST_SKIP() << "the temporary file system (" << temp.path()
                         << ") refuses user extended attributes";
        }
    }
};

TEST_F(PosixNamedStreamReaderTest, FindsTheStreamFileBesideTheFolder) {
    const std::string volume = temp.folder("Mac Volumes/Graphisme");
    TempFolder::writeFile(volume + ":AFP_IdIndex", "\x01W6BNMSWD\x00"s);
    for (const std::string& path :
         {volume, volume + "/", R"(\\ntsrv1\d$\Mac Volumes\Graphisme)"s}) {
        auto stream = reader.open(path, "AFP_IdIndex");
        ASSERT_NE(stream, nullptr) << path;
        EXPECT_EQ(stream->size(), 10);
        EXPECT_EQ(readAll(*stream), "\x01W6BNMSWD\x00"s);
    }
    EXPECT_EQ(reader.open(volume, "OtherStream"), nullptr);
}

TEST_F(PosixNamedStreamReaderTest, AnEmptyStreamFileHasSizeZero) {
    const std::string volume = temp.folder("Empty");
    TempFolder::writeFile(volume + ":AFP_IdIndex", "");
    auto stream = reader.open(volume, "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 0);
    std::byte b[4];
    EXPECT_EQ(stream->read(b, sizeof b), 0u);
}

TEST_F(PosixNamedStreamReaderTest, MissingStreamsAndFoldersGiveNothing) {
    const std::string volume = temp.folder("NoIndex");
    EXPECT_EQ(reader.open(volume, "AFP_IdIndex"), nullptr);
    EXPECT_EQ(reader.open(temp.path() + "/absent", "AFP_IdIndex"), nullptr);
    EXPECT_EQ(reader.open("", "AFP_IdIndex"), nullptr);
    // A folder in the place of the stream file is no stream.
    temp.folder("NoIndex:AFP_IdIndex");
    EXPECT_EQ(reader.open(volume, "AFP_IdIndex"), nullptr);
}

TEST_F(PosixNamedStreamReaderTest, ReadsTheNtfs3gAttribute) {
    requireAttributes();
    const std::string volume = temp.folder("Bureautique");
    std::string value = "\x01XLS5XCEL\x00\x01TEXTttxt"s;
    value += std::string(3000, '\x02');
    ASSERT_TRUE(TempFolder::setAttribute(volume, "user.AFP_IdIndex", value));
    auto stream = reader.open(volume, "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), static_cast<std::int64_t>(value.size()));
    EXPECT_EQ(readAll(*stream), value);
}

TEST_F(PosixNamedStreamReaderTest, ReadsTheSambaAttributeWithoutItsTrailingNul) {
    requireAttributes();
    const std::string volume = temp.folder("Prepresse");
    ASSERT_TRUE(TempFolder::setAttribute(volume, "user.DosStream.AFP_IdIndex:$DATA",
                                         "\x01XDOCXPR3\x00\x00"s));
    auto stream = reader.open(volume, "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 10);
    EXPECT_EQ(readAll(*stream), "\x01XDOCXPR3\x00"s);

    // A value without the NUL is taken whole; an empty value is an empty stream.
    const std::string other = temp.folder("Sans");
    ASSERT_TRUE(
        TempFolder::setAttribute(other, "user.DosStream.AFP_IdIndex:$DATA", "\x01XDOCXPR3"));
    EXPECT_EQ(readAll(*reader.open(other, "AFP_IdIndex")), "\x01XDOCXPR3");
    const std::string empty = temp.folder("Vide");
    ASSERT_TRUE(TempFolder::setAttribute(empty, "user.DosStream.AFP_IdIndex:$DATA", ""));
    EXPECT_EQ(reader.open(empty, "AFP_IdIndex")->size(), 0);
}

TEST_F(PosixNamedStreamReaderTest, TheConventionsAreTriedInOrder) {
    requireAttributes();
    const std::string volume = temp.folder("All");
    ASSERT_TRUE(TempFolder::setAttribute(volume, "user.DosStream.AFP_IdIndex:$DATA", "samba\0"s));
    EXPECT_EQ(readAll(*reader.open(volume, "AFP_IdIndex")), "samba");
    ASSERT_TRUE(TempFolder::setAttribute(volume, "user.AFP_IdIndex", "ntfs-3g"));
    EXPECT_EQ(readAll(*reader.open(volume, "AFP_IdIndex")), "ntfs-3g");
    TempFolder::writeFile(volume + ":AFP_IdIndex", "file");
    EXPECT_EQ(readAll(*reader.open(volume, "AFP_IdIndex")), "file");
}

TEST_F(PosixNamedStreamReaderTest, LongPathsWork) {
    std::string relative;
    while (relative.size() < 1500) {
        relative += "Un dossier au nom vraiment tres long pour le chemin/";
    }
    const std::string volume = temp.folder(relative + "Volume");
    TempFolder::writeFile(volume + ":AFP_IdIndex", "\x01W6BNMSWD");
    ASSERT_GT(volume.size(), 1500u);
    auto stream = reader.open(volume, "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream), "\x01W6BNMSWD");
}

TEST_F(PosixNamedStreamReaderTest, UnmountedSharesGoToSmbAccessWhenThereIsOne) {
    const std::string path = R"(\\NTSRV9\E$\Mac Volumes\Pub)";
    EXPECT_EQ(reader.open(path, "AFP_IdIndex"), nullptr);

    PosixNamedStreamReader withRemote(resolver, &remote);
    auto stream = withRemote.open(path, "AFP_IdIndex");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(*stream), "remote");
    ASSERT_EQ(remote.streamsAsked.size(), 1u);
    EXPECT_EQ(remote.streamsAsked[0].server, "NTSRV9");
    EXPECT_EQ(remote.streamsAsked[0].share, "E$");
    EXPECT_EQ(remote.streamsAsked[0].rest, R"(Mac Volumes\Pub)");
    EXPECT_EQ(remote.streamNames[0], "AFP_IdIndex");

    // Mounted shares and drive paths never reach it.
    temp.folder("Here");
    EXPECT_EQ(withRemote.open(R"(\\NTSRV1\D$\Here)", "AFP_IdIndex"), nullptr);
    EXPECT_EQ(withRemote.open(R"(D:\Here)", "AFP_IdIndex"), nullptr);
    EXPECT_EQ(remote.streamsAsked.size(), 1u);
}

} // namespace
} // namespace lantrivex::platform::posix

#include "platform/posix/PosixProfileFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lantrivex::platform::posix {
namespace {

TEST(PosixProfileFile, AMissingFileReadsEmptyAndIsCreatedByAWrite) {
    TempFolder folder;
    PosixProfileFile profiles;
    const std::string ini = folder.file("Lantrivex.ini");
    EXPECT_EQ(profiles.read(ini, "Positions", "Left"), "");
    EXPECT_TRUE(folder.names().empty()); // reading creates nothing

    ASSERT_TRUE(profiles.write(ini, "Positions", "Left", "1440"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Positions]\r\nLeft=1440\r\n");
    ASSERT_TRUE(profiles.write(ini, "Configuration", "Langue", "1"));
    EXPECT_EQ(folder.read("Lantrivex.ini"),
              "[Positions]\r\nLeft=1440\r\n[Configuration]\r\nLangue=1\r\n");
    EXPECT_EQ(profiles.read(ini, "POSITIONS", "left"), "1440");
    EXPECT_EQ(profiles.read(ini, "configuration", "LANGUE"), "1");
    EXPECT_EQ(profiles.read(ini, "Configuration", "ServeurMac"), "");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
}

TEST(PosixProfileFile, AWriteKeepsEveryOtherLineByteForByte) {
    TempFolder folder;
    PosixProfileFile profiles;
    // Windows-1252 bytes in a comment and in another key, mixed line ends, no final line end.
    const std::string before = "; r\xE9glages \x80 \x81\x8D\r\n"
                               "[Positions]\n"
                               "Left = 5\r\n"
                               "Top=7\r\n"
                               "\r\n"
                               "[Autre]\r\n"
                               "Nom=\xC9t\xE9";
    folder.write("Lantrivex.ini", before);
    ASSERT_TRUE(profiles.write(folder.file("Lantrivex.ini"), "positions", "LEFT", "-60"));
    std::string expected = before;
    expected.replace(expected.find("Left = 5"), 8, "Left=-60");
    EXPECT_EQ(folder.read("Lantrivex.ini"), expected);
}

TEST(PosixProfileFile, TextIsWindows1252InTheFile) {
    TempFolder folder;
    PosixProfileFile profiles;
    const std::string ini = folder.file("Lantrivex.ini");
    folder.write("Lantrivex.ini", "[Sect\xE9]\r\nCl\xE9=\x80 caf\xE9\r\n");
    EXPECT_EQ(profiles.read(ini, "SECT\xC3\xA9", "cl\xC3\xA9"), "\xE2\x82\xAC caf\xC3\xA9");
    ASSERT_TRUE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xC5\x93uvre"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
    // What the code page cannot hold is refused, and the file stays.
    EXPECT_FALSE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xE6\x97\xA5"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
    EXPECT_EQ(profiles.read(ini, "\xE6\x97\xA5", "x"), "");
}

TEST(PosixProfileFile, TruncatesTheReplyLikeTheWindowsCall) {
    TempFolder folder;
    PosixProfileFile profiles;
    const std::string ini = folder.file("Lantrivex.ini");
    folder.write("Lantrivex.ini",
                 "[S]\r\nlong=" + std::string(300, 'x') + "\r\nacc=\xE9\xE9\xE9\r\n");
    EXPECT_EQ(profiles.read(ini, "S", "long"), std::string(254, 'x'));
    EXPECT_EQ(profiles.read(ini, "S", "long", 1000), std::string(300, 'x'));
    EXPECT_EQ(profiles.read(ini, "S", "long", 1), "");
    EXPECT_EQ(profiles.read(ini, "S", "long", 0), "");
    // Characters of the code page are counted, not UTF-8 bytes.
    EXPECT_EQ(profiles.read(ini, "S", "acc", 3), "\xC3\xA9\xC3\xA9");
}

TEST(PosixProfileFile, ReplacesTheFileAtomicallyKeepingItsPermissions) {
    TempFolder folder;
    PosixProfileFile profiles;
    const std::string ini = folder.file("Lantrivex.ini");
    folder.write("Lantrivex.ini", "[Positions]\r\nLeft=1\r\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0604), 0);
    struct stat before {};
    ASSERT_EQ(::stat(ini.c_str(), &before), 0);
    ASSERT_TRUE(profiles.write(ini, "Positions", "Left", "2"));
    struct stat after {};
    ASSERT_EQ(::stat(ini.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
}

TEST(PosixProfileFile, NeverOverwritesWhatItCannotRead) {
    TempFolder folder;
    PosixProfileFile profiles;
    std::filesystem::create_directory(folder.file("Lantrivex.ini"));
    EXPECT_EQ(profiles.read(folder.file("Lantrivex.ini"), "S", "k"), "");
    EXPECT_FALSE(profiles.write(folder.file("Lantrivex.ini"), "S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("Lantrivex.ini")));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
}

TEST(PosixProfileFile, AFailedWriteReportsFalse) {
    TempFolder folder;
    PosixProfileFile profiles;
    EXPECT_FALSE(profiles.write(folder.file("missing/Lantrivex.ini"), "S", "k", "v"));
    EXPECT_FALSE(profiles.write(folder.file("Lantrivex.ini"), "S", "k", "two\r\nlines"));
    EXPECT_TRUE(folder.names().empty());
}

} // namespace
} // namespace lantrivex::platform::posix

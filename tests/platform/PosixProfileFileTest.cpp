#include "platform/posix/PosixProfileFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lantrivex::platform::posix {
namespace {

struct PosixProfileFileTest : ::testing::Test {
    TempFolder folder;
    PosixProfileFile profiles;
    const std::string ini = folder.file("Lantrivex.ini");
};

TEST_F(PosixProfileFileTest, AMissingFileReadsEmptyAndIsCreatedByAWrite) {
    EXPECT_EQ(profiles.read(ini, "Positions", "Left"), "");
    EXPECT_TRUE(folder.names().empty()); // reading creates nothing
    ASSERT_TRUE(profiles.write(ini, "Positions", "Left", "1440"));
    ASSERT_TRUE(profiles.write(ini, "Configuration", "Langue", "1"));
    EXPECT_EQ(folder.read("Lantrivex.ini"),
              "[Positions]\r\nLeft=1440\r\n[Configuration]\r\nLangue=1\r\n");
    EXPECT_EQ(profiles.read(ini, "POSITIONS", "left"), "1440");
    EXPECT_EQ(profiles.read(ini, "Configuration", "ServeurMac"), "");
}

TEST_F(PosixProfileFileTest, AWriteReplacesTheFileAtomicallyKeepingEveryOtherByte) {
    // Windows-1252 bytes in a comment and in another key, mixed line ends, no final line end.
    const std::string before = "; r\xE9glages \x80 \x81\x8D\r\n[Positions]\nLeft = 5\r\nTop=7\r\n"
                               "\r\n[Autre]\r\nNom=\xC9t\xE9";
    folder.write("Lantrivex.ini", before);
    ASSERT_EQ(::chmod(ini.c_str(), 0604), 0);
    struct stat old {};
    ASSERT_EQ(::stat(ini.c_str(), &old), 0);
    ASSERT_TRUE(profiles.write(ini, "positions", "LEFT", "-60"));
    std::string expected = before;
    EXPECT_EQ(folder.read("Lantrivex.ini"),
              expected.replace(expected.find("Left = 5"), 8, "Left=-60"));
    struct stat now {};
    ASSERT_EQ(::stat(ini.c_str(), &now), 0);
    EXPECT_NE(old.st_ino, now.st_ino);
    EXPECT_EQ(now.st_mode & 07777, 0604u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
}

TEST_F(PosixProfileFileTest, TextIsWindows1252InTheFileAndTheReplyIsTruncatedInCharacters) {
    folder.write("Lantrivex.ini",
                 "[Sect\xE9]\r\nCl\xE9=\x80 caf\xE9\r\nlong=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(profiles.read(ini, "SECT\xC3\xA9", "cl\xC3\xA9"), "\xE2\x82\xAC caf\xC3\xA9");
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", 3), "\xE2\x82\xAC "); // not bytes
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long"), std::string(254, 'x'));
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long", 1000), std::string(300, 'x'));
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long", 1), "");
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long", 0), "");
    EXPECT_EQ(profiles.read(ini, "\xE6\x97\xA5", "x"), "");

    folder.write("Lantrivex.ini", "[Sect\xE9]\r\nCl\xE9=x\r\n");
    ASSERT_TRUE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xC5\x93uvre"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
    // What the code page cannot hold is refused, and the file stays.
    EXPECT_FALSE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xE6\x97\xA5"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
}

TEST_F(PosixProfileFileTest, FailedWritesReportFalseAndNeverOverwriteWhatCannotBeRead) {
    EXPECT_FALSE(profiles.write(folder.file("missing/Lantrivex.ini"), "S", "k", "v"));
    EXPECT_FALSE(profiles.write(ini, "S", "k", "two\r\nlines"));
    EXPECT_TRUE(folder.names().empty());
    folder.folder("Lantrivex.ini");
    EXPECT_EQ(profiles.read(ini, "S", "k"), "");
    EXPECT_FALSE(profiles.write(ini, "S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(ini));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
}

} // namespace
} // namespace lantrivex::platform::posix

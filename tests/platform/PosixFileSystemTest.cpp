#include "platform/posix/PosixFileSystem.h"

#include "TempFolder.h"
#include "platform/posix/PosixProfileFile.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

struct PosixFileSystemTest : ::testing::Test {
    TempFolder folder;
    PosixFileSystem files;
    std::string error;
    PosixProfileFile profiles;
    const std::string ini = folder.file("Lantrivex.ini");

    struct stat info(const std::string& name) const {
        struct stat s {};
        EXPECT_EQ(::stat(folder.file(name).c_str(), &s), 0) << name;
        return s;
    }
};

TEST_F(PosixFileSystemTest, ExistsAndReadsOnlyRegularFiles) {
    const std::string bytes(200000, '\x07');
    folder.write("data", bytes);
    std::filesystem::create_directory(folder.file("dir"));
    std::filesystem::create_symlink(folder.file("data"), folder.file("link"));
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
    folder.write("huge", "");
    ASSERT_EQ(::truncate(folder.file("huge").c_str(), 64 * 1024 * 1024 + 1), 0); // sparse
    EXPECT_TRUE(files.fileExists(folder.file("link")));
    for (const char* name : {"dir", "fifo", "missing"}) {
        EXPECT_FALSE(files.fileExists(folder.file(name))) << name;
        EXPECT_EQ(files.readFile(folder.file(name)), std::nullopt) << name; // fifo: no waiting
    }
    EXPECT_FALSE(files.fileExists(std::string_view("a\0b", 3)));
    EXPECT_EQ(files.readFile(folder.file("data")), bytes);
    EXPECT_EQ(files.readFile(folder.file("huge")), std::nullopt); // over 64 MiB
}

TEST_F(PosixFileSystemTest, ReplaceRenamesANewFileIntoPlaceKeepingPermissionsAndLinks) {
    const mode_t old = ::umask(027);
    const bool created = files.replaceFile(folder.file("new.txt"), "first", error);
    ::umask(old);
    ASSERT_TRUE(created) << error;
    EXPECT_EQ(info("new.txt").st_mode & 07777, 0640u); // a new file follows the umask
    const ino_t before = info("new.txt").st_ino;
    ASSERT_TRUE(files.replaceFile(folder.file("new.txt"), "second", error)) << error;
    EXPECT_EQ(folder.read("new.txt"), "second");
    EXPECT_NE(info("new.txt").st_ino, before); // not rewritten in place

    folder.write("real.txt", "old");
    ASSERT_EQ(::chmod(folder.file("real.txt").c_str(), 0604), 0);
    std::filesystem::create_symlink("real.txt", folder.file("Signatures.txt"));
    ASSERT_TRUE(files.replaceFile(folder.file("Signatures.txt"), "new", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("Signatures.txt")));
    EXPECT_EQ(folder.read("real.txt"), "new");
    EXPECT_EQ(info("real.txt").st_mode & 07777, 0604u);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Signatures.txt", "new.txt", "real.txt"}));
}

TEST_F(PosixFileSystemTest, AFailedReplaceLeavesTheOldFileAndNoTemporaryFile) {
    EXPECT_FALSE(files.replaceFile(folder.file("nowhere/Signatures.txt"), "new", error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_TRUE(folder.names().empty());

    // Over a non-empty folder: the write succeeds, the rename fails.
    folder.folder("Folder.txt");
    folder.write("Folder.txt/keep", "kept");
    EXPECT_FALSE(files.replaceFile(folder.file("Folder.txt"), "new", error));
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
    EXPECT_EQ(folder.read("Folder.txt/keep"), "kept");

    // A write that stops half-way: files of this process may not grow past 16 bytes for a moment.
    folder.write("Signatures.txt", "old content");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written =
        files.replaceFile(folder.file("Signatures.txt"), std::string(4096, 'n'), error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(folder.read("Signatures.txt"), "old content");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Folder.txt", "Signatures.txt"}));
}

TEST_F(PosixFileSystemTest, ProfileWriteKeepsEveryOtherByteAndAFailedOneLosesNothing) {
    EXPECT_EQ(profiles.read(ini, "Positions", "Left"), "");
    EXPECT_FALSE(profiles.write(folder.file("missing/Lantrivex.ini"), "S", "k", "v"));
    EXPECT_FALSE(profiles.write(ini, "S", "k", "two\r\nlines"));
    EXPECT_TRUE(folder.names().empty());
    folder.folder("Lantrivex.ini");
    EXPECT_EQ(profiles.read(ini, "S", "k"), "");
    EXPECT_FALSE(profiles.write(ini, "S", "k", "v"));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
    std::filesystem::remove(ini);
    ASSERT_TRUE(profiles.write(ini, "Positions", "Left", "1440"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Positions]\r\nLeft=1440\r\n");

    // Windows-1252 bytes in a comment and in another key, mixed line ends, no final line end.
    const std::string before = "; r\xE9glages \x80 \x81\x8D\r\n[Positions]\nLeft = 5\r\nTop=7\r\n"
                               "\r\n[Autre]\r\nNom=\xC9t\xE9";
    folder.write("Lantrivex.ini", before);
    ASSERT_TRUE(profiles.write(ini, "positions", "LEFT", "-60"));
    std::string expected = before;
    EXPECT_EQ(folder.read("Lantrivex.ini"),
              expected.replace(expected.find("Left = 5"), 8, "Left=-60"));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Lantrivex.ini"});
}

TEST_F(PosixFileSystemTest, ProfileTextIsWindows1252AndTheReplyIsTruncatedInCharacters) {
    folder.write("Lantrivex.ini",
                 "[Sect\xE9]\r\nCl\xE9=\x80 caf\xE9\r\nlong=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(profiles.read(ini, "SECT\xC3\xA9", "cl\xC3\xA9"), "\xE2\x82\xAC caf\xC3\xA9");
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", 3), "\xE2\x82\xAC "); // not bytes
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long"), std::string(254, 'x'));
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long", 1000), std::string(300, 'x'));
    EXPECT_EQ(profiles.read(ini, "\xE6\x97\xA5", "x"), "");

    folder.write("Lantrivex.ini", "[Sect\xE9]\r\nCl\xE9=x\r\n");
    ASSERT_TRUE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xC5\x93uvre"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
    // What the code page cannot hold is refused, and the file stays.
    EXPECT_FALSE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xE6\x97\xA5"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
}

} // namespace
} // namespace lantrivex::platform::posix

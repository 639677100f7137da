#include "platform/posix/PosixFileSystem.h"

#include "TempFolder.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

TEST(PosixFileSystem, TellsRegularFilesFromEverythingElse) {
    TempFolder folder;
    PosixFileSystem files;
    folder.write("Signatures.txt", "x");
    std::filesystem::create_directory(folder.file("dir"));
    std::filesystem::create_symlink(folder.file("Signatures.txt"), folder.file("link"));
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);

    EXPECT_TRUE(files.fileExists(folder.file("Signatures.txt")));
    EXPECT_TRUE(files.fileExists(folder.file("link")));
    EXPECT_FALSE(files.fileExists(folder.file("dir")));
    EXPECT_FALSE(files.fileExists(folder.file("fifo")));
    EXPECT_FALSE(files.fileExists(folder.file("missing")));
    EXPECT_FALSE(files.fileExists(""));
    EXPECT_FALSE(files.fileExists(std::string_view("a\0b", 3)));
}

TEST(PosixFileSystem, ReadsAWholeFileByteForByte) {
    TempFolder folder;
    PosixFileSystem files;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes.push_back(static_cast<char>(i * 7));
    }
    folder.write("data", bytes);
    folder.write("empty", "");
    EXPECT_EQ(files.readFile(folder.file("data")), bytes);
    EXPECT_EQ(files.readFile(folder.file("empty")), "");
}

TEST(PosixFileSystem, RefusesWhatIsNotAReadableFile) {
    TempFolder folder;
    PosixFileSystem files;
    std::filesystem::create_directory(folder.file("dir"));
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(files.readFile(folder.file("missing")), std::nullopt);
    EXPECT_EQ(files.readFile(folder.file("dir")), std::nullopt);
    EXPECT_EQ(files.readFile(folder.file("fifo")), std::nullopt); // without waiting for a writer
}

TEST(PosixFileSystem, RefusesFilesOver64MiB) {
    TempFolder folder;
    PosixFileSystem files;
    const int fd = ::open(folder.file("huge").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 64 * 1024 * 1024 + 1), 0); // sparse: costs no disk
    ::close(fd);
    EXPECT_EQ(files.readFile(folder.file("huge")), std::nullopt);
}

TEST(PosixFileSystem, ReplaceCreatesAndReplacesLeavingNoTemporaryFile) {
    TempFolder folder;
    PosixFileSystem files;
    std::string error;
    ASSERT_TRUE(files.replaceFile(folder.file("Signatures.txt"), "first", error)) << error;
    EXPECT_EQ(folder.read("Signatures.txt"), "first");
    struct stat before {};
    ASSERT_EQ(::stat(folder.file("Signatures.txt").c_str(), &before), 0);

    ASSERT_TRUE(files.replaceFile(folder.file("Signatures.txt"), "second", error)) << error;
    EXPECT_EQ(folder.read("Signatures.txt"), "second");
    struct stat after {};
    ASSERT_EQ(::stat(folder.file("Signatures.txt").c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino); // a new file renamed into place, not rewritten
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Signatures.txt"});
}

TEST(PosixFileSystem, ReplaceKeepsPermissionsAndSymbolicLinks) {
    TempFolder folder;
    PosixFileSystem files;
    folder.write("real.txt", "old");
    ASSERT_EQ(::chmod(folder.file("real.txt").c_str(), 0640), 0);
    std::filesystem::create_symlink("real.txt", folder.file("Signatures.txt"));
    std::string error;
    ASSERT_TRUE(files.replaceFile(folder.file("Signatures.txt"), "new", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("Signatures.txt")));
    EXPECT_EQ(folder.read("real.txt"), "new");
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("real.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Signatures.txt", "real.txt"}));
}

TEST(PosixFileSystem, AFailedReplaceLeavesTheOldFileAndNoTemporaryFile) {
    TempFolder folder;
    PosixFileSystem files;
    // A non-empty folder cannot be renamed over: the write itself succeeds, the rename fails.
    std::filesystem::create_directory(folder.file("Signatures.txt"));
    folder.write("Signatures.txt/keep", "kept");
    std::string error;
    EXPECT_FALSE(files.replaceFile(folder.file("Signatures.txt"), "new", error));
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
    EXPECT_EQ(folder.read("Signatures.txt/keep"), "kept");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Signatures.txt"});
}

TEST(PosixFileSystem, AWriteThatFailsHalfWayLeavesTheOldFile) {
    TempFolder folder;
    PosixFileSystem files;
    folder.write("Signatures.txt", "old content");
    // Files of this process may not grow past 16 bytes for a moment: the write stops with EFBIG.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written =
        files.replaceFile(folder.file("Signatures.txt"), std::string(4096, 'n'), error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(folder.read("Signatures.txt"), "old content");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Signatures.txt"});
}

TEST(PosixFileSystem, AReplaceInAMissingFolderFailsWithTheReason) {
    TempFolder folder;
    PosixFileSystem files;
    std::string error;
    EXPECT_FALSE(files.replaceFile(folder.file("nowhere/Signatures.txt"), "new", error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_TRUE(folder.names().empty());
}

TEST(PosixFileSystem, ANewFileFollowsTheUmask) {
    TempFolder folder;
    PosixFileSystem files;
    const mode_t old = ::umask(027);
    std::string error;
    const bool written = files.replaceFile(folder.file("new.txt"), "x", error);
    ::umask(old);
    ASSERT_TRUE(written) << error;
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

} // namespace
} // namespace lantrivex::platform::posix

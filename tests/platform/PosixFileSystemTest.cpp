// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFileSystem.h"

#include "TempFolder.h"
#include "platform/posix/PosixProfileFile.h"
#include "platform/posix/io/PosixFileIo.h"

#include <array>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

using Names = std::vector<std::string>;

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
    // A replacement that must fail with `said` in its message.
    void expectRefused(const std::string& path, std::string_view said) {
        error.clear();
        EXPECT_FALSE(files.replaceFile(path, "new", error)) << path;
        EXPECT_NE(error.find(said), std::string::npos) << path << ": " << error;
    }
};

// Files of this process may not grow past `bytes`; gives the limit it replaces.
rlimit limitFileSize(rlim_t bytes) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    return saved;
}

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
    EXPECT_EQ(folder.names(), (Names{"Signatures.txt", "new.txt", "real.txt"}));
}

TEST_F(PosixFileSystemTest, AFailedReplaceLeavesTheOldFileAndNoTemporaryFile) {
    expectRefused(folder.file("nowhere/Signatures.txt"), "No such file or directory");
    EXPECT_TRUE(folder.names().empty());
    // A write that stops half-way, and one whose process is stopped by the size limit.
    folder.write("Signatures.txt", "old content");
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit saved = limitFileSize(16);
    const bool written =
        files.replaceFile(folder.file("Signatures.txt"), std::string(4096, 'n'), error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL);
        limitFileSize(16);
        files.replaceFile(folder.file("Signatures.txt"), std::string(4096, 'n'), error);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the child was not stopped by the size limit";
    EXPECT_EQ(folder.read("Signatures.txt"), "old content");
    EXPECT_EQ(folder.names(), Names{"Signatures.txt"});
}

TEST_F(PosixFileSystemTest, ProfileWriteKeepsEveryOtherByteAndAFailedOneLosesNothing) {
    EXPECT_EQ(profiles.read(ini, "Positions", "Left"), "");
    EXPECT_FALSE(profiles.write(folder.file("missing/Lantrivex.ini"), "S", "k", "v"));
    EXPECT_FALSE(profiles.write(ini, "S", "k", "two\r\nlines"));
    EXPECT_TRUE(folder.names().empty());
    folder.folder("Lantrivex.ini");
    EXPECT_EQ(profiles.read(ini, "S", "k"), "");
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
    EXPECT_EQ(folder.names(), Names{"Lantrivex.ini"});
}

TEST_F(PosixFileSystemTest, ProfileTextIsWindows1252AndTheReplyIsTruncatedInCharacters) {
    folder.write("Lantrivex.ini",
                 "[Sect\xE9]\r\nCl\xE9=\x80 caf\xE9\r\nlong=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(profiles.read(ini, "SECT\xC3\x89", "cl\xC3\xA9"), "\xE2\x82\xAC caf\xC3\xA9");
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", 3), "\xE2\x82\xAC "); // not bytes
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long"), std::string(254, 'x'));
    EXPECT_EQ(profiles.read(ini, "Sect\xC3\xA9", "long", 1000), std::string(300, 'x'));
    EXPECT_EQ(profiles.read(ini, "\xE6\x97\xA5", "x"), "");

    folder.write("Lantrivex.ini", "[Sect\xE9]\r\nCl\xE9=x\r\n");
    ASSERT_TRUE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xC5\x93uvre"));
    // What the code page cannot hold is refused, and the file stays.
    EXPECT_FALSE(profiles.write(ini, "Sect\xC3\xA9", "Cl\xC3\xA9", "\xE6\x97\xA5"));
    EXPECT_EQ(folder.read("Lantrivex.ini"), "[Sect\xE9]\r\nCl\xE9=\x9Cuvre\r\n");
}

// What the folder holds, down to each entry's identity and kind (links not followed).
std::vector<std::pair<std::string, std::pair<ino_t, mode_t>>> snapshot(const TempFolder& folder) {
    std::vector<std::pair<std::string, std::pair<ino_t, mode_t>>> out;
    for (const std::string& name : folder.names()) {
        struct stat s {};
        ::lstat(folder.file(name).c_str(), &s);
        out.push_back({name, {s.st_ino, s.st_mode}});
    }
    return out;
}

TEST_F(PosixFileSystemTest, OnlyAWritableRegularFileIsReplacedAnythingElseIsLeftAsItIs) {
    folder.folder("dir");
    ASSERT_EQ(::mknod(folder.file("fifo").c_str(), S_IFIFO | 0600, 0), 0);
    ASSERT_EQ(::mknod(folder.file("sock").c_str(), S_IFSOCK | 0600, 0), 0);
    // A device node of its own (the null device's numbers), where this process may make one.
    const bool device = ::mknod(folder.file("dev").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    // A read-only file is kept as Windows keeps it.
    folder.write("ro.ini", "[S]\r\nk=old\r\n");
    ASSERT_EQ(::chmod(folder.file("ro.ini").c_str(), 0444), 0);
    // Each entry, the node it is a symbolic link to ("" for the node itself), what is said.
    const std::array<const char*, 3> cases[] = {{"dir", "", "is a folder"},
                                                {"fifo", "", "is a pipe"},
                                                {"sock", "", "is a socket"},
                                                {"dev", "", "is a device"},
                                                {"ro.ini", "", "is read-only"},
                                                {"to-fifo", "fifo", "is a pipe"},
                                                {"to-dir", "dir", "is a folder"},
                                                {"to-dev", "dev", "is a device"},
                                                {"to-ro", "ro.ini", "is read-only"},
                                                {"dangling", "missing", "symbolic link to nothing"},
                                                {"loop-a", "loop-b", "loop of symbolic links"},
                                                {"loop-b", "loop-a", "loop of symbolic links"}};
    for (const auto& [name, linkTo, said] : cases) {
        if (*linkTo != '\0') {
            std::filesystem::create_symlink(linkTo, folder.file(name));
        }
    }
    const auto before = snapshot(folder);
    for (const auto& [name, linkTo, said] : cases) {
        if (device || std::string_view(said) != "is a device") {
            expectRefused(folder.file(name), said);
            EXPECT_NE(error.find("left as it is"), std::string::npos) << name << ": " << error;
            EXPECT_FALSE(profiles.write(folder.file(name), "S", "k", "v")) << name;
            EXPECT_EQ(snapshot(folder), before) << name;
        }
    }
    EXPECT_EQ(folder.read("ro.ini"), "[S]\r\nk=old\r\n");
    if (!device) {
        GTEST_SKIP() << "device nodes cannot be made here (needs root): the device cases were "
                        "not run";
    }
}

TEST(WriteAll, GoesOnAfterShortWritesAndFailsOnAWriteThatStoresNothing) {
    static std::string written;
    static int calls;
    written.clear(), calls = 0;
    const WriteCall oneByte = [](int, const void* data, std::size_t) -> ssize_t {
        written.push_back(*static_cast<const char*>(data));
        return 1;
    };
    const WriteCall nothing = [](int, const void*, std::size_t) -> ssize_t {
        return ++calls > 1000 ? -1 : 0; // gives up only if the caller tries for ever
    };
    int code = 0;
    EXPECT_TRUE(writeAll(-1, "abc", code, oneByte));
    EXPECT_EQ(written, "abc");
    EXPECT_FALSE(writeAll(-1, "abc", code, nothing));
    EXPECT_EQ(code, EIO);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(writeAll(-1, "", code, nothing)); // an empty file is written by no call
}

TEST_F(PosixFileSystemTest, OnAFullOrReadOnlyFileSystemTheOldFileStaysAndNoNewFileIsLeft) {
    const std::string where = folder.folder("fs");
    if (::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (the test needs root): not run";
    }
    const std::unique_ptr<const char, void (*)(const char*)> unmount(
        where.c_str(), [](const char* at) { ::umount2(at, MNT_DETACH); });
    TempFolder::writeFile(where + "/Signatures.txt", "old content");
    TempFolder::writeFile(where + "/Lantrivex.ini", "[S]\r\nk=old\r\n");
    const Names both{"Lantrivex.ini", "Signatures.txt"};
    // Full: the new content does not fit.
    EXPECT_FALSE(files.replaceFile(where + "/Signatures.txt", std::string(1 << 20, 'n'), error));
    EXPECT_NE(error.find("No space left"), std::string::npos) << error;
    EXPECT_EQ(TempFolder::namesIn(where), both);
    ASSERT_TRUE(files.replaceFile(where + "/Signatures.txt", "fits", error)) << error;
    ASSERT_TRUE(profiles.write(where + "/Lantrivex.ini", "S", "k", "tmpfs"));

    ASSERT_EQ(::mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    expectRefused(where + "/Signatures.txt", "Read-only file system");
    expectRefused(where + "/New.txt", "Read-only file system");
    EXPECT_FALSE(profiles.write(where + "/Lantrivex.ini", "S", "k", "new"));
    EXPECT_EQ(TempFolder::namesIn(where), both);
    EXPECT_EQ(files.readFile(where + "/Signatures.txt"), "fits");
    EXPECT_EQ(profiles.read(where + "/Lantrivex.ini", "S", "k"), "tmpfs");
}

} // namespace
} // namespace lantrivex::platform::posix

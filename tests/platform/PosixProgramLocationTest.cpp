#include "platform/posix/PosixProgramLocation.h"

#include "TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lantrivex::platform::posix {
namespace {

using Location = PosixProgramLocation;

TEST(PosixProgramLocation, FoldersOfPaths) {
    EXPECT_EQ(Location::folderOf("/usr/bin/lantrivex"), "/usr/bin");
    EXPECT_EQ(Location::folderOf("/lantrivex"), "/");
    EXPECT_EQ(Location::folderOf("lantrivex"), ".");
    EXPECT_EQ(Location::bundledFolder("/usr/bin"), "/usr/share/lantrivex");
    EXPECT_EQ(Location::bundledFolder("/opt/x/bin"), "/opt/x/share/lantrivex");

    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    for (const Case& c : {Case{"/cfg", "/home/a", "/cfg/lantrivex"},
                          Case{"cfg", "/home/a", "/home/a/.config/lantrivex"}, // not absolute
                          Case{"", "/home/a", "/home/a/.config/lantrivex"},
                          Case{nullptr, "/home/a", "/home/a/.config/lantrivex"},
                          Case{nullptr, "", ""}, Case{nullptr, nullptr, ""}}) {
        EXPECT_EQ(Location::userSettingsFolder(c.xdg, c.home), c.expected)
            << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

// A program laid out in a temporary folder: a build folder (bin/ holding the signature file) or an
// installed one (usr/bin/, the signature file in usr/share/lantrivex/), and the user's folder.
struct Layout {
    TempFolder root;
    std::string program, bundled, user;

    explicit Layout(bool installed) {
        program = root.folder(installed ? "usr/bin" : "build/bin");
        bundled = installed ? root.folder("usr/share/lantrivex") : program;
        TempFolder::writeFile(bundled + "/Signatures.txt", "\"TEXTttxt\",\"txt\",\"Text\"\r\n");
        user = root.file("home/.config/lantrivex");
    }
    std::string choose(bool writable, const std::string& userFolder) const {
        return Location::chooseSettingsFolder(program, writable, userFolder);
    }
    std::string userFile() const { return root.read("home/.config/lantrivex/Signatures.txt"); }
};

TEST(PosixProgramLocation, BuildFolderKeepsItsFilesUnlessItCannotBeWritten) {
    const Layout build(false);
    EXPECT_EQ(build.choose(true, build.user), build.program);
    EXPECT_FALSE(std::filesystem::exists(build.user)) << "nothing made in the user's folder";

    EXPECT_EQ(build.choose(false, build.user), build.user);
    EXPECT_EQ(build.userFile(), build.root.read("build/bin/Signatures.txt"));
    EXPECT_EQ(build.choose(false, ""), build.program) << "no user folder: read where it is";
}

TEST(PosixProgramLocation, InstalledProgramKeepsItsFilesInTheUsersFolder) {
    const Layout installed(true);
    // Even where the program's folder can be written (root), an installed program's cannot hold
    // per-user files.
    for (const bool writable : {true, false}) {
        std::filesystem::remove_all(installed.root.file("home"));
        EXPECT_EQ(installed.choose(writable, installed.user), installed.user);
        EXPECT_EQ(installed.userFile(), installed.root.read("usr/share/lantrivex/Signatures.txt"));
        struct stat info {};
        ASSERT_EQ(::stat(installed.user.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << "a new folder is the user's alone";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(installed.user), {}), 1)
            << "no partial copy left behind";
    }

    // The user's own table is never replaced; a missing one is copied again.
    TempFolder::writeFile(installed.user + "/Signatures.txt", "edited");
    EXPECT_EQ(installed.choose(false, installed.user), installed.user);
    EXPECT_EQ(installed.userFile(), "edited");
    std::filesystem::remove(installed.user + "/Signatures.txt");
    EXPECT_EQ(installed.choose(false, installed.user), installed.user);
    EXPECT_EQ(installed.userFile(), installed.root.read("usr/share/lantrivex/Signatures.txt"));
}

TEST(PosixProgramLocation, InstalledProgramWithoutAUsableUserFolderReadsItsBundledFiles) {
    const Layout installed(true);
    installed.root.write("file", "in the way");
    for (const std::string& user : {std::string(), installed.root.file("file/lantrivex")}) {
        EXPECT_EQ(installed.choose(false, user), installed.bundled) << user;
    }
    EXPECT_FALSE(Location::prepareSettingsFolder(installed.root.file("file/lantrivex"),
                                                 installed.bundled + "/Signatures.txt"));
    // Nothing bundled to copy: the folder is still made, and a missing table means the built-in
    // rows.
    EXPECT_TRUE(Location::prepareSettingsFolder(installed.user, installed.root.file("none")));
    EXPECT_TRUE(std::filesystem::is_directory(installed.user));
    EXPECT_FALSE(std::filesystem::exists(installed.user + "/Signatures.txt"));
}

} // namespace
} // namespace lantrivex::platform::posix

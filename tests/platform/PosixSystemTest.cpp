// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempFolder.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixProgramLocation.h"
#include "platform/posix/PosixShellOpen.h"
#include "platform/posix/PosixSystemVersion.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

TEST(PosixSystemVersion, TakesTheFirstThreeNumbersOfTheReleaseAndKeepsTheRest) {
    for (const std::string row :
         {"6.1.0-18-amd64|6.1.0 18-amd64", "14.0-RELEASE-p3|14.0.0 RELEASE-p3", "6|6.0.0 ",
          "|0.0.0 ", "6..1|6.0.0 1", "99999999999.1.2|4294967295.1.2 "}) {
        const OsVersionInfo i =
            PosixSystemVersion::fromUname("Linux", row.substr(0, row.find('|')));
        EXPECT_EQ(row.substr(0, row.find('|') + 1) + std::to_string(i.majorVersion) + "." +
                      std::to_string(i.minorVersion) + "." + std::to_string(i.buildNumber) + " " +
                      i.servicePack,
                  row);
        EXPECT_EQ(i.systemName, "Linux");
        EXPECT_EQ(i.platformId, OsVersionInfo::kPlatformOther);
    }
}

TEST(PosixInstanceGuard, FirstRunHoldsThePlaceUntilItEndsEvenByACrash) {
    TempFolder dir;
    const std::string lock = dir.file("lantrivex.lock");
    {
        PosixInstanceGuard first(lock);
        EXPECT_FALSE(first.anotherInstanceRunning());
        EXPECT_FALSE(first.anotherInstanceRunning()); // asking again does not find itself
        EXPECT_TRUE(PosixInstanceGuard(lock).anotherInstanceRunning());
    }
    const pid_t child = ::fork(); // a run that ends without releasing anything
    if (child == 0) {
        ::_exit(PosixInstanceGuard(lock).anotherInstanceRunning() ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(PosixInstanceGuard(lock).anotherInstanceRunning());

    // A planted link is not followed, and the start is not blocked.
    std::filesystem::create_symlink(dir.file("elsewhere"), dir.file("planted.lock"));
    EXPECT_FALSE(PosixInstanceGuard(dir.file("planted.lock")).anotherInstanceRunning());
    EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere")));
}

TEST(PosixShellOpen, TheTargetReachesTheOpenerAsOneUninterpretedArgument) {
    // A stand-in for the desktop's opener: writes its argument count and arguments to opener.out.
    TempFolder dir;
    const std::string script = dir.file("opener");
    dir.write("opener", "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } "
                        "> \"$0.tmp\"\nmv \"$0.tmp\" \"$0.out\"\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    const std::string hostile =
        "http://x.example/?a=1&b=2;$(touch " + dir.file("pwned") + ") `id` * \"q\" 'r'";
    EXPECT_TRUE(PosixShellOpen(script).open(hostile)); // returns at once, the opener runs alone
    for (int i = 0; i < 400 && !std::filesystem::exists(script + ".out"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(dir.read("opener.out"), "1\n" + hostile + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("pwned")));

    EXPECT_FALSE(PosixShellOpen("lantrivex-no-such-opener").open("http://www.lantrivex.example/"));
    EXPECT_FALSE(spawnProgram("/nonexistent/folder/opener", {}));
}

using Location = PosixProgramLocation;

TEST(PosixProgramLocation, FoldersOfPaths) {
    EXPECT_EQ(Location::folderOf("/usr/bin/lantrivex"), "/usr/bin");
    EXPECT_EQ(Location::folderOf("/lantrivex"), "/");
    EXPECT_EQ(Location::folderOf("lantrivex"), ".");
    EXPECT_EQ(Location::bundledFolder("/usr/bin"), "/usr/share/lantrivex");
    EXPECT_EQ(Location::bundledFolder("/opt/x/bin"), "/opt/x/share/lantrivex");

    // XDG_CONFIG_HOME (used only when absolute), HOME, the user's folder.
    const std::array<const char*, 3> cases[] = {{"/cfg", "/home/a", "/cfg/lantrivex"},
                                                {"cfg", "/home/a", "/home/a/.config/lantrivex"},
                                                {"", "/home/a", "/home/a/.config/lantrivex"},
                                                {nullptr, "/home/a", "/home/a/.config/lantrivex"},
                                                {nullptr, "", ""},
                                                {nullptr, nullptr, ""}};
    for (const auto& [xdg, home, expected] : cases) {
        EXPECT_EQ(Location::userSettingsFolder(xdg, home), expected)
            << (xdg ? xdg : "(unset)") << " " << (home ? home : "(unset)");
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

TEST(PosixProgramLocation, InstalledProgramKeepsItsFilesInTheUsersFolderOrReadsItsBundledOnes) {
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

    // Without a usable user's folder, the bundled files are read where they are.
    std::filesystem::remove_all(installed.root.file("home"));
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

#include "TempFolder.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixShellOpen.h"
#include "platform/posix/PosixSystemVersion.h"

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

} // namespace
} // namespace lantrivex::platform::posix

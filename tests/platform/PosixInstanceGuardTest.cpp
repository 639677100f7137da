#include "platform/posix/PosixInstanceGuard.h"

#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

struct PosixInstanceGuardTest : ::testing::Test {
    TempFolder dir;
    const std::string lock = dir.file("lantrivex.lock");
};

TEST_F(PosixInstanceGuardTest, FirstRunHoldsThePlaceUntilItEnds) {
    {
        PosixInstanceGuard first(lock);
        EXPECT_FALSE(first.anotherInstanceRunning());
        EXPECT_FALSE(first.anotherInstanceRunning()) << "asking again does not find itself";
        PosixInstanceGuard second(lock);
        EXPECT_TRUE(second.anotherInstanceRunning());
        EXPECT_TRUE(second.anotherInstanceRunning());
    }
    EXPECT_FALSE(PosixInstanceGuard(lock).anotherInstanceRunning()) << "the first run has ended";
}

TEST_F(PosixInstanceGuardTest, LockFileOfACrashedRunDoesNotBlock) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::_exit(PosixInstanceGuard(lock).anotherInstanceRunning() ? 2 : 0); // releases nothing
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(std::filesystem::exists(lock)) << "the file stays behind";
    EXPECT_FALSE(PosixInstanceGuard(lock).anotherInstanceRunning());
}

TEST_F(PosixInstanceGuardTest, AnUnusableLockPlaceDoesNotBlockTheStart) {
    EXPECT_FALSE(PosixInstanceGuard(dir.file("missing/lantrivex.lock")).anotherInstanceRunning());
    std::filesystem::create_symlink(dir.file("elsewhere"), dir.file("planted.lock"));
    EXPECT_FALSE(PosixInstanceGuard(dir.file("planted.lock")).anotherInstanceRunning());
    EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere"))) << "a planted link is followed";
    const std::string path = PosixInstanceGuard::defaultLockPath();
    EXPECT_NE(path.find("lantrivex"), std::string::npos);
    EXPECT_TRUE(path.ends_with(".lock"));
}

} // namespace
} // namespace lantrivex::platform::posix

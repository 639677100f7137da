#include "platform/posix/PosixInstanceGuard.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lantrivex::platform::posix {
namespace {

class PosixInstanceGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("lantrivex-guard-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "lantrivex.lock").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(PosixInstanceGuardTest, FirstRunHoldsThePlaceUntilItEnds) {
    {
        PosixInstanceGuard first(path_);
        EXPECT_FALSE(first.anotherInstanceRunning());
        EXPECT_FALSE(first.anotherInstanceRunning()) << "asking again does not find itself";

        PosixInstanceGuard second(path_);
        EXPECT_TRUE(second.anotherInstanceRunning());
        EXPECT_TRUE(second.anotherInstanceRunning());
    }
    PosixInstanceGuard later(path_);
    EXPECT_FALSE(later.anotherInstanceRunning()) << "the first run has ended";
}

TEST_F(PosixInstanceGuardTest, LockFileOfACrashedRunDoesNotBlock) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PosixInstanceGuard crashed(path_);
        const bool other = crashed.anotherInstanceRunning();
        ::_exit(other ? 2 : 0); // ends without releasing anything
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(std::filesystem::exists(path_)) << "the file stays behind";

    PosixInstanceGuard next(path_);
    EXPECT_FALSE(next.anotherInstanceRunning());
}

TEST_F(PosixInstanceGuardTest, AnUnusableLockPlaceDoesNotBlockTheStart) {
    PosixInstanceGuard nowhere((dir_ / "missing" / "lantrivex.lock").string());
    EXPECT_FALSE(nowhere.anotherInstanceRunning());

    std::filesystem::create_symlink(dir_ / "elsewhere", dir_ / "planted.lock");
    PosixInstanceGuard planted((dir_ / "planted.lock").string());
    EXPECT_FALSE(planted.anotherInstanceRunning());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "elsewhere")) << "a planted link is not followed";
}

TEST(PosixInstanceGuardPath, PerUserFile) {
    const std::string path = PosixInstanceGuard::defaultLockPath();
    EXPECT_NE(path.find("lantrivex"), std::string::npos);
    EXPECT_EQ(path.substr(path.size() - 5), ".lock");
}

} // namespace
} // namespace lantrivex::platform::posix

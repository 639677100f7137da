#include "fakes/FakeFileSystem.h"
#include "fakes/FakeProfileFile.h"

#include <gtest/gtest.h>

namespace lantrivex::fakes {
namespace {

// The fakes stand in for the real services in every layer's tests: they must behave like them.

TEST(FakeFileSystem, BehavesLikeTheRealOne) {
    FakeFileSystem files;
    EXPECT_FALSE(files.fileExists("/a"));
    EXPECT_EQ(files.readFile("/a"), std::nullopt);
    files.putUnreadable("/a", "secret");
    EXPECT_TRUE(files.fileExists("/a"));
    EXPECT_EQ(files.readFile("/a"), std::nullopt);

    std::string error;
    ASSERT_TRUE(files.replaceFile("/b", "new", error));
    EXPECT_EQ(files.readFile("/b"), "new");
    files.replaceFailure = "no room";
    EXPECT_FALSE(files.replaceFile("/b", "newer", error));
    EXPECT_EQ(error, "no room");
    EXPECT_EQ(files.contents("/b"), "new");
    EXPECT_EQ(files.replaced, (std::vector<std::string>{"/b", "/b"}));
}

TEST(FakeProfileFile, BehavesLikeTheRealOne) {
    FakeProfileFile profiles;
    EXPECT_EQ(profiles.read("/p.ini", "S", "k"), "");
    EXPECT_FALSE(profiles.exists("/p.ini"));
    ASSERT_TRUE(profiles.write("/p.ini", "Positions", "Left", "1440"));
    EXPECT_EQ(profiles.text("/p.ini"), "[Positions]\r\nLeft=1440\r\n");
    EXPECT_EQ(profiles.read("/p.ini", "positions", "LEFT"), "1440");
    EXPECT_EQ(profiles.read("/p.ini", "positions", "LEFT", 3), "14");
    EXPECT_EQ(profiles.read("/p.ini", "positions", "LEFT", 0), "");

    profiles.setText("/q.ini", "[S]\r\nk=caf\xC3\xA9s\r\n");
    EXPECT_EQ(profiles.read("/q.ini", "S", "k", 5), "caf\xC3\xA9"); // whole characters

    profiles.failWrites = true;
    EXPECT_FALSE(profiles.write("/p.ini", "Positions", "Left", "0"));
    EXPECT_EQ(profiles.read("/p.ini", "Positions", "Left"), "1440");
    ASSERT_EQ(profiles.writes.size(), 2u);
    EXPECT_EQ(profiles.writes[1], (FakeProfileFile::Write{"/p.ini", "Positions", "Left", "0"}));
}

} // namespace
} // namespace lantrivex::fakes

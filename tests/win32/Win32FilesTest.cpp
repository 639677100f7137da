// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsTestSupport.h"
#include "platform/win32/AnsiCodePage.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32FolderProbe.h"
#include "platform/win32/Win32NamedStreamReader.h"
#include "platform/win32/Win32ProfileFile.h"
#include "shell/Settings.h"

namespace lantrivex::test {
namespace {

using namespace std::string_literals;

std::string readIndex(const std::string& folder) {
    return streamText(platform::win32::Win32NamedStreamReader().open(folder, "AFP_IdIndex"));
}

// The index stream of a volume folder: present, empty, missing, and on a path longer than the
// 128 characters the old file functions took.
TEST(Win32NamedStreamReader, OpensPresentAndEmptyStreamsAndFailsOnMissingOnes) {
    TempFolder temp;
    const std::string longFolder = temp.folder(std::string(60, 'a') + "\\" + std::string(70, 'b'));
    const std::string bytes = "\x01TEXTttxt\x00\x01W6BNMSWD\x00"s + std::string(3000, 'z');
    const std::string whole = std::to_string(bytes.size()) + ":" + bytes;
    ASSERT_TRUE(writeStream(temp.folder("present"), "AFP_IdIndex", bytes));
    ASSERT_TRUE(writeStream(longFolder, "AFP_IdIndex", bytes));
    ASSERT_TRUE(writeStream(temp.folder("empty"), "AFP_IdIndex", ""));
    const std::pair<std::string, std::string> cases[] = {{temp.file("present"), whole},
                                                         {longFolder, whole},
                                                         {temp.file("empty"), "0:"},
                                                         {temp.folder("missing"), "<none>"},
                                                         {temp.file("no such folder"), "<none>"}};
    for (const auto& [folder, expected] : cases) {
        EXPECT_EQ(readIndex(folder), expected) << folder;
    }
    EXPECT_EQ(platform::win32::Win32NamedStreamReader().open(temp.file("present"), "Other"),
              nullptr);
}

TEST(Win32FolderProbe, FindsFoldersOnly) {
    TempFolder temp;
    temp.write("file", "x");
    platform::win32::Win32FolderProbe probe;
    EXPECT_TRUE(probe.folderExists(temp.folder("Mac Volumes\\Pub")));
    EXPECT_TRUE(probe.folderExists(temp.folder("empty")));
    EXPECT_FALSE(probe.folderExists(temp.file("missing")));
    EXPECT_FALSE(probe.folderExists(temp.file("file")));
}

// Lantrivex.ini through the private-profile functions: what the program writes reads back, other
// lines stay, absent keys and files read empty.
TEST(Win32ProfileFile, SettingsWrittenReadBack) {
    TempFolder temp;
    const std::string ini = temp.file("Lantrivex.ini");
    platform::win32::Win32ProfileFile profiles;
    EXPECT_EQ(profiles.read(ini, "Positions", "Left"), "");
    const std::string letter = localLetter(); // one the ANSI code page stores
    temp.write("Lantrivex.ini", "; kept\r\n[Configuration]\r\nNote=" +
                                    *platform::win32::toAnsi("caf" + letter) + "\r\n");

    shell::Settings settings(profiles, ini);
    const shell::WindowPlacement placement{2, 1440, -60, 9000, 7000, 3210};
    settings.writePositions(placement);
    settings.writeLangue(1);
    settings.writeServeurMac(2);
    EXPECT_EQ(settings.readPositions({}), placement);
    EXPECT_EQ(settings.readLangue(), 1);
    EXPECT_EQ(settings.readServeurMac(), 2);

    EXPECT_EQ(profiles.read(ini, "configuration", "NOTE"), "caf" + letter);
    EXPECT_EQ(profiles.read(ini, "Configuration", "Note", 3), "ca");
    EXPECT_EQ(profiles.read(ini, "Configuration", "Missing"), "");
    EXPECT_TRUE(profiles.write(ini, "Configuration", letter + "diteur", "Soci" + letter + "t"));
    EXPECT_EQ(profiles.read(ini, "Configuration", letter + "diteur"), "Soci" + letter + "t");
    EXPECT_FALSE(profiles.write(ini, "Configuration", "Bad", "two\r\nlines"));
    if (const auto foreign = foreignLetter()) { // none where the code page is UTF-8
        EXPECT_FALSE(profiles.write(ini, "Configuration", "Foreign", *foreign));
    }
    EXPECT_EQ(temp.read("Lantrivex.ini").rfind("; kept\r\n", 0), 0u);
}

// The system writes Lantrivex.ini in place (the same file, not a new one renamed over it).
TEST(Win32ProfileFile, SettingsAreWrittenInPlace) {
    TempFolder temp;
    const std::string ini = temp.file("Lantrivex.ini");
    temp.write("Lantrivex.ini", "[Positions]\r\nLeft=1\r\n");
    const auto fileIndex = [&] {
        platform::win32::UniqueHandle file(
            ::CreateFileA(ini.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        ::GetFileInformationByHandle(file.get(), &info);
        return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    };
    const std::uint64_t before = fileIndex();
    EXPECT_TRUE(platform::win32::Win32ProfileFile().write(ini, "Positions", "Left", "1440"));
    EXPECT_NE(temp.read("Lantrivex.ini").find("Left=1440\r\n"), std::string::npos);
    EXPECT_EQ(fileIndex(), before);
    EXPECT_EQ(temp.names(), std::vector<std::string>{"Lantrivex.ini"}); // nothing beside it
}

TEST(Win32FileSystem, ReplacesWholeFilesAndKeepsTheOldOneOnFailure) {
    TempFolder temp;
    platform::win32::Win32FileSystem files;
    const std::string path = temp.file("Signatures.txt");
    std::string error;
    EXPECT_FALSE(files.fileExists(path));
    EXPECT_EQ(files.readFile(path), std::nullopt);
    ASSERT_TRUE(files.replaceFile(path, "first\r\n", error)) << error;
    ASSERT_TRUE(files.replaceFile(path, std::string("second\0\xE9", 8), error)) << error;
    EXPECT_TRUE(files.fileExists(path));
    EXPECT_EQ(files.readFile(path), std::string("second\0\xE9", 8));

    const std::string folder = temp.folder("a folder");
    EXPECT_FALSE(files.fileExists(folder));
    EXPECT_EQ(files.readFile(folder), std::nullopt);
    EXPECT_FALSE(files.replaceFile(folder, "over a folder", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(files.replaceFile(temp.file("missing\\x.txt"), "nowhere", error));
    EXPECT_EQ(temp.names(), (std::vector<std::string>{"Signatures.txt", "a folder"}));
}

} // namespace
} // namespace lantrivex::test

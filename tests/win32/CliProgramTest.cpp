// SPDX-License-Identifier: GPL-3.0-or-later
// lantrivex-cli.exe run as a Windows program, as a user runs it: on a volume folder's index stream
// and on this computer's registry.

#include "WindowsTestSupport.h"
#include "cli/CliContext.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32ProgramLocation.h"

#include <gmock/gmock.h>

namespace lantrivex::test {
namespace {

using namespace std::string_literals;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string run(const std::string& arguments, int& status) {
    return runProgram("\"" + platform::win32::Win32ProgramLocation().programFolder() +
                          R"(\..\bin\lantrivex-cli.exe" )" + arguments,
                      status);
}

TEST(CliProgram, ScanReadsTheIndexStreamOfEachVolume) {
    TempFolder temp;
    const std::string volume = temp.folder("Mac volume");
    ASSERT_TRUE(writeStream(volume, "AFP_IdIndex",
                            "\x01TEXTttxt\0\x01XDOCXPR3\0\x01TEXTttxt\0\x01textTTXT\0"s));
    int status = 0;
    const std::string out =
        run("scan --format csv \"" + volume + "\" \"" + temp.file("none") + "\"", status);
    EXPECT_EQ(status, cli::kExitSomeUnread) << out;
    // The table after the message or before it.
    EXPECT_THAT(out, HasSubstr("volume,count,percent,signature,description\r\n" + volume +
                               ",3,75,TEXTttxt,"));
    EXPECT_THAT(out, HasSubstr("\r\n" + volume + ",1,25,XDOCXPR3,"));
    EXPECT_THAT(out, HasSubstr("Lantrivex: Unknown Macintosh volume index\n  Volume: " +
                               temp.file("none") + "\n"));
}

// A volume named with a letter beyond ASCII, given on the command line as a user types it: the
// program reads its arguments as wide characters, whatever the ANSI code page.
TEST(CliProgram, ScanTakesAVolumeNamedBeyondAscii) {
    TempFolder temp;
    const std::string volume = temp.file("Z" + localLetter() + "bre");
    ASSERT_TRUE(::CreateDirectoryW(wide(volume).c_str(), nullptr))
        << volume << " " << ::GetLastError();
    const std::string bytes = "\x01XDOCXPR3\0"s;
    {
        platform::win32::UniqueHandle stream(::CreateFileW(wide(volume + ":AFP_IdIndex").c_str(),
                                                           GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(stream.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr));
    }
    int status = 0;
    const std::string out = run("scan --format csv \"" + volume + "\"", status);
    EXPECT_EQ(status, cli::kExitOk) << out;
    EXPECT_THAT(out, HasSubstr("\r\n" + volume + ",1,100,XDOCXPR3,"));
}

TEST(CliProgram, CatalogueOfThisComputerFromItsRegistry) {
    const ProductData& macFile = productData().front();
    ScratchRegistry scratch({macFile.root});
    scratch.setString(macFile.serverKey, "ServerName", "Serveur Mac");
    scratch.setMultiString(macFile.volumesKey, "Pub", {R"(Path=C:\Pub)"});
    SKIP_UNLESS_READY(scratch);
    int status = 0;
    const std::string out = run("catalogue", status);
    EXPECT_EQ(status, cli::kExitOk) << out;
    const std::string host = computerName();
    EXPECT_THAT(out, StartsWith("Product: Microsoft SFM (MacFile)\n\n" + host +
                                "\n  Macintosh server: Serveur Mac\n"));
    EXPECT_THAT(out, HasSubstr(" Pub "));
    EXPECT_THAT(out, HasSubstr(" \\\\" + host + "\\C$\\Pub\n"));
}

} // namespace
} // namespace lantrivex::test

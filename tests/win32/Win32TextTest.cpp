// SPDX-License-Identifier: GPL-3.0-or-later
// Text at the edges of the Windows program: the ANSI code page (which may be UTF-8), the command
// line, the console's code page.

#include "WindowsTestSupport.h"
#include "platform/win32/AnsiCodePage.h"
#include "platform/win32/Win32CommandLine.h"
#include "platform/win32/Win32ConsoleCodePage.h"

#include <cstdlib>

namespace lantrivex::test {
namespace {

using platform::win32::fromAnsi;
using platform::win32::toAnsi;

// The flags that each kind of code page accepts: those that store every character refuse
// WC_NO_BEST_FIT_CHARS and a "default character used" report.
TEST(Win32AnsiCodePage, FlagsThatEachCodePageAccepts) {
    const std::tuple<unsigned, unsigned long, bool> cases[] = {
        {1252, WC_NO_BEST_FIT_CHARS, true},
        {1251, WC_NO_BEST_FIT_CHARS, true},
        {932, WC_NO_BEST_FIT_CHARS, true},
        {CP_UTF8, WC_ERR_INVALID_CHARS, false},
        {54936, WC_ERR_INVALID_CHARS, false}};
    for (const auto& [codePage, flags, reportsDefault] : cases) {
        const auto how = platform::win32::wideToAnsiFlags(codePage);
        EXPECT_EQ(std::tie(how.flags, how.reportsDefault), std::tie(flags, reportsDefault))
            << codePage;
    }
}

// Conversions in the system's code page, whichever it is (the suite runs again with UTF-8 as the
// ANSI code page: LANTRIVEX_TEST_ACP names the code page it must then find).
TEST(Win32AnsiCodePage, ConvertsInTheSystemsCodePage) {
    if (const char* asked = std::getenv("LANTRIVEX_TEST_ACP")) {
        ASSERT_EQ(::GetACP(), std::strtoul(asked, nullptr, 10));
    }
    const std::string text = "Z" + localLetter() + std::string("bre\0x", 5);
    const auto ansi = toAnsi(text);
    ASSERT_TRUE(ansi);
    EXPECT_EQ(fromAnsi(*ansi), text);
    if (const auto foreign = foreignLetter()) {
        EXPECT_EQ(toAnsi("Z" + *foreign), std::nullopt) << *foreign;
    }
    EXPECT_EQ(toAnsi("Z\xE8"
                     "bre"),
              std::nullopt);                         // not UTF-8
    EXPECT_EQ(toAnsi("\xED\xA0\x80"), std::nullopt); // a lone surrogate
}

// The command line in UTF-8 whatever the code page, split as the system splits it.
TEST(Win32CommandLine, ArgumentsInUtf8) {
    using Strings = std::vector<std::string>;
    EXPECT_EQ(platform::win32::argumentsOfCommandLine(LR"(lantrivex-cli.exe scan "C:\Mac Volumes\Z)"
                                                      L"\u00e8"
                                                      LR"(bre" \\SRV\D$\Pub a\"b "" )"
                                                      L"\u4e2d\u03a9"),
              (Strings{"scan", R"(C:\Mac Volumes\Zèbre)", R"(\\SRV\D$\Pub)", "a\"b", "", "中Ω"}));
    EXPECT_EQ(platform::win32::argumentsOfCommandLine(L"lantrivex-cli.exe"), Strings{});
}

HANDLE interrupted = nullptr;
BOOL WINAPI keepRunning(DWORD) {
    return ::SetEvent(interrupted);
}

// Ctrl+C ends a console program without running its destructors: the console's code page is
// given back by the interrupt itself. The event reaches every process of the console, so this runs
// only where the test is alone on one (on a terminal under Wine: tools/run-windows-tests.sh).
TEST(Win32ConsoleCodePage, GivenBackWhenTheConsoleInterrupts) {
    DWORD processes[4] = {};
    const DWORD attached = ::GetConsoleProcessList(processes, 4);
    if (::GetConsoleOutputCP() == 0 || attached != 1) {
        if (std::getenv("LANTRIVEX_TEST_CONSOLE") != nullptr) {
            FAIL() << "no console of this test's own";
        }
        GTEST_SKIP() << "no console of this test's own";
    }
    const UINT before = ::GetConsoleOutputCP() == 850 ? 437 : 850;
    ASSERT_TRUE(::SetConsoleOutputCP(before));
    // Registered first, called last: it keeps the test running after the interrupt.
    interrupted = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(::SetConsoleCtrlHandler(keepRunning, TRUE));
    {
        platform::win32::Win32ConsoleCodePage console;
        EXPECT_EQ(::GetConsoleOutputCP(), CP_UTF8);
        ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
        ASSERT_EQ(::WaitForSingleObject(interrupted, 30000), WAIT_OBJECT_0);
        EXPECT_EQ(::GetConsoleOutputCP(), before);
        ::SetConsoleOutputCP(CP_UTF8);
    }
    EXPECT_EQ(::GetConsoleOutputCP(), before); // and when it goes
    ::SetConsoleCtrlHandler(keepRunning, FALSE);
    ::CloseHandle(interrupted);
}

} // namespace
} // namespace lantrivex::test

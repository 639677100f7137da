// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliMain.h"
#include "platform/HostPlatform.h"

#include <clocale>
#include <cstdio>
#include <iostream>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const char* point = std::localeconv()->decimal_point;

    const auto system = lantrivex::platform::makeHostPlatform();
    lantrivex::platform::Platform platform = system->platform();
    lantrivex::cli::CliContext ctx{platform, std::cout, std::cerr,
                                   platform.location.settingsFolder(),
                                   (point && point[0] && !point[1]) ? point[0] : '.'};
#if defined(_WIN32)
    ctx.errIsTerminal = _isatty(_fileno(stderr)) != 0;
#else
    ctx.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
#endif
    return lantrivex::cli::runCli(lantrivex::platform::programArguments(argc, argv), ctx);
}

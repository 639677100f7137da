#include "cli/CliMain.h"
#include "platform/posix/PosixPlatform.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const char* point = std::localeconv()->decimal_point;

    lantrivex::platform::posix::PosixPlatform system;
    lantrivex::platform::Platform platform = system.platform();
    lantrivex::cli::CliContext ctx{platform, std::cout, std::cerr,
                                   platform.location.programFolder(),
                                   (point && point[0] && !point[1]) ? point[0] : '.'};
    return lantrivex::cli::runCli(std::vector<std::string>(argv + 1, argv + argc), ctx);
}

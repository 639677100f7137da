// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliMain.h"

#include "cli/CatalogueCommand.h"
#include "cli/ScanCommand.h"
#include "common/Language.h"

namespace lantrivex::cli {
namespace {

const char* const kUsage = R"(Usage: lantrivex-cli COMMAND [OPTIONS] [ARGUMENTS]

Reads Macintosh volume indexes (the AFP_IdIndex stream of a volume's root folder) and counts the
Type/Creator signatures in them. Reads only: nothing on the examined machines is ever written.

Commands:
  scan        count the signatures of volume indexes (lantrivex-cli scan --help)
  catalogue   the machines, Macintosh servers and volumes the window shows (catalogue --help)
  drives      the lines of the drives dialog (lantrivex-cli drives --help)
  -h, --help  this text
  --version   the program's version
)";

} // namespace

int runCli(const std::vector<std::string>& args, CliContext& ctx) {
    if (args.empty()) {
        ctx.err << kUsage;
        return kExitUsage;
    }
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "-h" || command == "--help" || command == "help") {
        ctx.out << kUsage;
        return kExitOk;
    }
    if (command == "--version") {
        ctx.out << "lantrivex-cli " << kProductVersion << '\n';
        return kExitOk;
    }
    if (command == "scan") {
        return runScanCommand(rest, ctx);
    }
    if (command == "catalogue") {
        return runCatalogueCommand(rest, ctx);
    }
    if (command == "drives") {
        return runDrivesCommand(rest, ctx);
    }
    ctx.err << "lantrivex-cli: unknown command '" << command << "'\n\n" << kUsage;
    return kExitUsage;
}

} // namespace lantrivex::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CliContext.h"

#include <string>
#include <vector>

namespace lantrivex::cli {

// The command-line reader: `args` are the words after the program's name. Returns the exit code.
int runCli(const std::vector<std::string>& args, CliContext& ctx);

} // namespace lantrivex::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CliContext.h"

#include <string>
#include <vector>

namespace lantrivex::cli {

// lantrivex-cli scan [--signatures FILE] [--format table|csv|json] [--lang en|fr] [--raw] PATH...
// `args` are the words after "scan".
int runScanCommand(const std::vector<std::string>& args, CliContext& ctx);

extern const char* const kScanUsage;

} // namespace lantrivex::cli

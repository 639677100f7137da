// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CliContext.h"

#include <string>
#include <vector>

namespace lantrivex::cli {

// lantrivex-cli catalogue [--product 0|1|2] [--format text|json]: the machines this computer is
// connected to, their Macintosh servers and volumes, as the window's catalogue shows them.
// `args` are the words after "catalogue".
int runCatalogueCommand(const std::vector<std::string>& args, CliContext& ctx);

// lantrivex-cli drives [--lang en|fr]: the lines of the drives dialog.
int runDrivesCommand(const std::vector<std::string>& args, CliContext& ctx);

// The registry's problems since the last call on standard error: each export that could not be
// read, with its file and line, and the SMB credentials file's (only those with
// `credentialsOnly`).
void tellRegistryProblems(CliContext& ctx, LanguageFlag language, bool credentialsOnly = false);

extern const char* const kCatalogueUsage;
extern const char* const kDrivesUsage;

} // namespace lantrivex::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/FileSystem.h"
#include "platform/Notifier.h"
#include "signatures/SignatureTable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lantrivex::signatures {

// Replaces the whole table by the three default rows (in memory only; nSignatures unchanged).
void SetDefaultSignatures(SignatureTable& table);

// The corrupted-file message: the path and the number of rows counted before the damaged record.
std::string CorruptedFileText(LanguageFlag nLangue, std::string_view path, std::int32_t rowsRead);

// Empties the table and fills it from table.sSignaturesFile: the defaults, silently, when no file
// exists; a message per duplicate signature for the first ten, then one saying how many more
// there were; the corrupted-file message and the defaults when a
// record cannot be read through; a critical message and the defaults when the file exists but
// cannot be opened.
void LoadSignatures(SignatureTable& table, platform::FileSystem& files,
                    platform::Notifier& notifier, LanguageFlag nLangue);

} // namespace lantrivex::signatures

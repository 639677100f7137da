// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/IndexScanner.h"
#include "common/Language.h"
#include "platform/NamedStreamReader.h"
#include "platform/Notifier.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace lantrivex::analysis {

// The name of a Macintosh volume's index stream on its root folder.
inline constexpr std::string_view kIndexStreamName = "AFP_IdIndex";

// The reading half of AnalyseMacVolumeIndex: opens the index stream of the volume root, queries its
// size, reads it in bounded chunks and scans it. An unknown index (stream missing, unreachable or
// of size 0) is told through the notifier ("Unknown Macintosh volume index" / "Index de volume
// Macintosh inconnu", no icon) and gives nullopt; a short read is told ("Error reading file ...")
// and what was read is still counted.
//
// `progress`, when given, is told on the calling thread after each piece read how many bytes
// have been read of the stream's size.
using ReadProgress = std::function<void(std::uint64_t bytesRead, std::int64_t size)>;
std::optional<ScanResult> ReadVolumeIndex(std::string_view volumeRoot,
                                          platform::NamedStreamReader& streams,
                                          platform::Notifier& notifier, LanguageFlag nLangue,
                                          const ReadProgress& progress = {});

} // namespace lantrivex::analysis

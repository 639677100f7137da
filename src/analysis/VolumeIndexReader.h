// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/IndexScanner.h"
#include "common/Language.h"
#include "platform/NamedStreamReader.h"
#include "platform/Notifier.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::analysis {

// The name of a Macintosh volume's index stream on its root folder.
inline constexpr std::string_view kIndexStreamName = "AFP_IdIndex";

// The reading half of AnalyseMacVolumeIndex: opens the index stream of the volume root, queries its
// size, reads it in bounded chunks and scans it. An unknown index (stream missing, unreachable or
// of size 0) is told through the notifier ("Unknown Macintosh volume index" / "Index de volume
// Macintosh inconnu", no icon) and gives nullopt; a short read is told ("Error reading file ...")
// and what was read is still counted. Either message goes on, on its following lines, with the
// volume root and, when the stream tells it, why it could not be read.
//
// `progress`, when given, is told on the calling thread after each piece read how many bytes
// have been read of the stream's size.
using ReadProgress = std::function<void(std::uint64_t bytesRead, std::int64_t size)>;
std::optional<ScanResult> ReadVolumeIndex(std::string_view volumeRoot,
                                          platform::NamedStreamReader& streams,
                                          platform::Notifier& notifier, LanguageFlag nLangue,
                                          const ReadProgress& progress = {});

// The same reading, telling whether the stream was read whole.
struct VolumeIndexReading {
    std::optional<ScanResult> result; // nullopt: the index is unknown
    bool whole = false;               // the stream was read to its end
    platform::AccessFailure failure = platform::AccessFailure::None; // why not, when known
};
VolumeIndexReading ReadWholeVolumeIndex(std::string_view volumeRoot,
                                        platform::NamedStreamReader& streams,
                                        platform::Notifier& notifier, LanguageFlag nLangue,
                                        const ReadProgress& progress = {});

// The lines that follow a reading message: the volume root and the reason, when there is one
// ("\r\n" before each).
std::string VolumeFailureLines(std::string_view volumeRoot, platform::AccessFailure failure,
                               LanguageFlag nLangue);

} // namespace lantrivex::analysis

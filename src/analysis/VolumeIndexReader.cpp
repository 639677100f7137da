// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/VolumeIndexReader.h"

#include <algorithm>
#include <vector>

namespace lantrivex::analysis {
namespace {

// The stream is read through a buffer of this size whatever its length, so memory stays bounded.
constexpr std::size_t kReadChunk = std::size_t{1} << 20;

} // namespace

std::optional<ScanResult> ReadVolumeIndex(std::string_view volumeRoot,
                                          platform::NamedStreamReader& streams,
                                          platform::Notifier& notifier, LanguageFlag nLangue,
                                          const ReadProgress& progress) {
    std::unique_ptr<platform::ByteStream> stream = streams.open(volumeRoot, kIndexStreamName);
    const std::int64_t size = stream ? stream->size() : -1;
    if (size <= 0) {
        notifier.message(
            tr(nLangue, "Index de volume Macintosh inconnu", "Unknown Macintosh volume index"),
            platform::MessageIcon::None);
        return std::nullopt;
    }

    IndexScanner scanner;
    std::vector<std::byte> buffer(static_cast<std::size_t>(
        std::min<std::int64_t>(size, static_cast<std::int64_t>(kReadChunk))));
    std::int64_t remaining = size;
    while (remaining > 0) {
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(remaining, static_cast<std::int64_t>(buffer.size())));
        // A stream that claims more than it was asked for is held to what was asked.
        const std::size_t got = std::min(stream->read(buffer.data(), wanted), wanted);
        if (got == 0) {
            break;
        }
        scanner.feed(std::span<const std::byte>(buffer.data(), got));
        remaining -= static_cast<std::int64_t>(got);
        if (progress) {
            progress(static_cast<std::uint64_t>(size - remaining), size);
        }
    }
    stream.reset();

    if (remaining > 0) {
        notifier.message("Error reading file ...", platform::MessageIcon::None);
    }
    return scanner.takeResult();
}

} // namespace lantrivex::analysis

// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/VolumeIndexReader.h"

#include <algorithm>
#include <vector>

namespace lantrivex::analysis {
namespace {

// The stream is read through a buffer of this size whatever its length, so memory stays bounded.
constexpr std::size_t kReadChunk = std::size_t{1} << 20;

} // namespace

std::string VolumeFailureLines(std::string_view volumeRoot, platform::AccessFailure failure,
                               LanguageFlag nLangue) {
    std::string lines = "\r\n";
    lines += tr(nLangue, "Volume : ", "Volume: ");
    lines += volumeRoot;
    // A reader that cannot tell why gives Unreachable, which a missing stream gives too: only
    // the reasons that are known are told.
    if (failure != platform::AccessFailure::None &&
        failure != platform::AccessFailure::Unreachable) {
        lines += "\r\n";
        lines += platform::accessFailureText(failure, nLangue);
    }
    return lines;
}

VolumeIndexReading ReadWholeVolumeIndex(std::string_view volumeRoot,
                                        platform::NamedStreamReader& streams,
                                        platform::Notifier& notifier, LanguageFlag nLangue,
                                        const ReadProgress& progress) {
    VolumeIndexReading reading;
    platform::StreamOpening opening = streams.openStream(volumeRoot, kIndexStreamName);
    std::unique_ptr<platform::ByteStream> stream = std::move(opening.stream);
    reading.failure = opening.failure;
    const std::int64_t size = stream ? stream->size() : -1;
    if (size <= 0) {
        if (stream && size < 0) {
            reading.failure = stream->failure();
        }
        notifier.message(std::string(tr(nLangue, "Index de volume Macintosh inconnu",
                                        "Unknown Macintosh volume index")) +
                             VolumeFailureLines(volumeRoot, reading.failure, nLangue),
                         platform::MessageIcon::None);
        return reading;
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
            reading.failure = stream->failure();
            break;
        }
        scanner.feed(std::span<const std::byte>(buffer.data(), got));
        remaining -= static_cast<std::int64_t>(got);
        if (progress) {
            progress(static_cast<std::uint64_t>(size - remaining), size);
        }
    }
    stream.reset();

    reading.whole = remaining == 0;
    if (!reading.whole) {
        notifier.message("Error reading file ..." +
                             VolumeFailureLines(volumeRoot, reading.failure, nLangue),
                         platform::MessageIcon::None);
    }
    reading.result = scanner.takeResult();
    return reading;
}

std::optional<ScanResult> ReadVolumeIndex(std::string_view volumeRoot,
                                          platform::NamedStreamReader& streams,
                                          platform::Notifier& notifier, LanguageFlag nLangue,
                                          const ReadProgress& progress) {
    return ReadWholeVolumeIndex(volumeRoot, streams, notifier, nLangue, progress).result;
}

} // namespace lantrivex::analysis

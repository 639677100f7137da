// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NamedStreamReader.h"

namespace lantrivex::cli {

// Reads a plain file as if it were the named stream: for scanning an index stream that was dumped
// to a file. The stream name is ignored.
class RawFileStreamReader : public platform::NamedStreamReader {
public:
    std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                               std::string_view streamName) override;
};

} // namespace lantrivex::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowsPath.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::smb {

// The port that SMB servers listen on when nothing else is said.
inline constexpr std::uint16_t kDefaultSmbPort = 445;

// Percent-encodes one part of a URL (a server name, a share name, one folder name): every byte but
// the ASCII letters, the digits, "-", ".", "_", "~" and "$" becomes %XX, so that a folder named
// "A%20B" reaches the server as "A%20B" and a blank as a blank. UTF-8 is encoded byte by byte.
std::string percentEncodeUrlPart(std::string_view part);

// The URL libsmbclient opens for `path`:
//   smb://SERVER[:PORT]/SHARE[/part...]        the folder or file itself (no stream name)
//   smb://SERVER[:PORT]/SHARE/part...:STREAM   the stream STREAM of the last folder or file
//   smb://SERVER[:PORT]/SHARE/:STREAM          a stream of the share's root folder
// PORT is written only when `port` is not 0; every name is percent-encoded; the folders below the
// share are normalised (platform::normalisedPathParts).
std::string buildSmbUrl(const platform::UncPath& path, std::uint16_t port,
                        std::string_view streamName = {});

} // namespace lantrivex::smb

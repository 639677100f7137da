// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NamedStreamReader.h"
#include "platform/WindowsPath.h"

#include <memory>
#include <string_view>

namespace lantrivex::smb {

// Reaches Windows shares that no mount of this system covers, by the SMB protocol itself. The
// POSIX stream reader and folder probe hand it every \\SERVER\SHARE\... path the mount table does
// not resolve; without it such paths cannot be reached.
class RemoteShareAccess {
public:
    virtual ~RemoteShareAccess() = default;

    // The stream `streamName` of the file or folder `path` on the share; nullptr on any failure.
    virtual std::unique_ptr<platform::ByteStream> openStream(const platform::UncPath& path,
                                                             std::string_view streamName) = 0;

    // The same, with the reason when it cannot be opened.
    virtual platform::StreamOpening openStreamWithReason(const platform::UncPath& path,
                                                         std::string_view streamName) {
        platform::StreamOpening opening{openStream(path, streamName),
                                        platform::AccessFailure::None};
        if (!opening.stream) {
            opening.failure = platform::AccessFailure::Unreachable;
        }
        return opening;
    }

    // The folder `path` exists on the share and can be listed.
    virtual bool folderExists(const platform::UncPath& path) = 0;
};

} // namespace lantrivex::smb

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NamedStreamReader.h"
#include "platform/posix/PathResolver.h"
#include "smb/RemoteShareAccess.h"

#include <memory>
#include <string>
#include <string_view>

namespace lantrivex::platform::posix {

// Named streams on a POSIX system. The path is resolved by PathResolver; a share that no mount
// covers is handed to `remote` when one was given, else it cannot be reached. On this system's
// own files, the stream NAME of a file or folder is found, in this order, as:
//  1. the file "<path>:NAME" (an NTFS volume mounted by ntfs-3g with streams_interface=windows),
//     only when it lies on the file system of the file or folder itself: beside a mount point it
//     is a file of the folder above, so the root folder of a mount has no such form;
//  2. for a folder, "<path>/:NAME", the same stream as ntfs-3g's windows form names it from
//     inside the folder: the only form of the root folder of such a mount;
//  3. the extended attribute "user.NAME" (ntfs-3g's default, streams_interface=xattr);
//  4. the extended attribute "user.DosStream.NAME:$DATA" (a Samba server's vfs_streams_xattr),
//     whose value ends in one NUL byte that is not part of the stream.
// An extended attribute is read whole, in a buffer of its own size. The kernel gives no attribute
// over 64 KiB (XATTR_SIZE_MAX): a larger stream of an xattr-mode mount is refused (E2BIG), and
// told as AccessFailure::StreamTooLarge; nothing without the rights to read the raw device reads
// it whole there. When none of them gives the stream of a folder on an SMB mount (a kernel SMB
// mount shows no named streams), the mount's server is asked through `remote`.
class PosixNamedStreamReader : public NamedStreamReader {
public:
    explicit PosixNamedStreamReader(smb::RemoteShareAccess* remote = nullptr);
    explicit PosixNamedStreamReader(PathResolver resolver,
                                    smb::RemoteShareAccess* remote = nullptr);

    std::unique_ptr<ByteStream> open(std::string_view path, std::string_view streamName) override;
    StreamOpening openStream(std::string_view path, std::string_view streamName) override;

    // The stream of a local file or folder, by the four conventions above; `mountRoot`: the
    // folder is known to be the root folder of a mount.
    static StreamOpening openLocal(const std::string& path, std::string_view streamName,
                                   bool mountRoot = false);

private:
    PathResolver resolver_;
    smb::RemoteShareAccess* remote_;
};

} // namespace lantrivex::platform::posix

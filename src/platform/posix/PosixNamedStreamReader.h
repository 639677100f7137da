#pragma once

#include "platform/NamedStreamReader.h"
#include "platform/posix/PathResolver.h"
#include "platform/posix/RemoteShareAccess.h"

#include <memory>
#include <string>
#include <string_view>

namespace lantrivex::platform::posix {

// Named streams on a POSIX system. The path is resolved by PathResolver; a share that no mount
// covers is handed to `remote` when one was given, else it cannot be reached. On this system's
// own files, the stream NAME of a file or folder is found, in this order, as:
//  1. the file "<path>:NAME" (an NTFS volume mounted by ntfs-3g with streams_interface=windows);
//  2. the extended attribute "user.NAME" (ntfs-3g's default);
//  3. the extended attribute "user.DosStream.NAME:$DATA" (a Samba server's vfs_streams_xattr),
//     whose value ends in one NUL byte that is not part of the stream.
// An extended attribute is read whole, in a buffer of its own size.
class PosixNamedStreamReader : public NamedStreamReader {
public:
    explicit PosixNamedStreamReader(RemoteShareAccess* remote = nullptr);
    explicit PosixNamedStreamReader(PathResolver resolver, RemoteShareAccess* remote = nullptr);

    std::unique_ptr<ByteStream> open(std::string_view path, std::string_view streamName) override;

    // The stream of a local file or folder, by the three conventions above.
    static std::unique_ptr<ByteStream> openLocal(const std::string& path,
                                                 std::string_view streamName);

private:
    PathResolver resolver_;
    RemoteShareAccess* remote_;
};

} // namespace lantrivex::platform::posix

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real NTFS file system that tests/ntfs/real-ntfs.sh makes and mounts before the RealNtfs
// tests (ctest's fixture RealNtfs): its folder, named by LANTRIVEX_REAL_NTFS, holds the mounts
// `windows` and `xattr` of one image and the list of its index streams.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lantrivex::test {

// One index stream of the image: its folder below the mount ("" for the root folder, "/" between
// names), the one signature it repeats, and its size.
struct RealNtfsStream {
    std::string folder;
    std::string signature;
    std::int64_t size = 0;
};

// The stream's bytes as the script writes them: 16-byte records, each the marker 0x01, the
// signature and seven NUL bytes, cut at `size`.
inline std::string realNtfsBytes(const RealNtfsStream& stream) {
    const std::string record = "\x01" + stream.signature + std::string(7, '\0');
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(stream.size) + record.size());
    while (bytes.size() < static_cast<std::size_t>(stream.size)) {
        bytes += record;
    }
    bytes.resize(static_cast<std::size_t>(stream.size));
    return bytes;
}

// How many signatures a scan finds in it: every record whose marker lies at least ten bytes
// before the end.
inline std::int64_t realNtfsCount(const RealNtfsStream& stream) {
    return stream.size < 10 ? 0 : (stream.size - 10) / 16 + 1;
}

struct RealNtfs {
    std::string folder; // as this program names it
    std::vector<RealNtfsStream> streams;
    std::string unavailable; // why the tests skip; "" when the mounts are there
};

// The fixture's folder and streams, or why there are none (no streams and no reason: the fixture
// did not run, which is a failure). `native` turns the folder the variable
// names into this program's form (under Wine, a Windows path on drive Z:).
template <typename NativePath> RealNtfs realNtfs(NativePath native) {
    RealNtfs ntfs;
    const char* folder = std::getenv("LANTRIVEX_REAL_NTFS");
    if (folder == nullptr || *folder == '\0') {
        ntfs.unavailable = "LANTRIVEX_REAL_NTFS is not set: run through ctest -R RealNtfs, whose "
                           "fixture mounts the NTFS image";
        return ntfs;
    }
    ntfs.folder = native(folder);
    if (std::ifstream why(native(std::string(folder) + "/unavailable")); why) {
        std::getline(why, ntfs.unavailable);
        return ntfs;
    }
    std::ifstream layout(native(std::string(folder) + "/layout"));
    for (std::string line; std::getline(layout, line);) {
        std::istringstream fields(line);
        RealNtfsStream stream;
        std::string size;
        std::getline(fields, stream.folder, '\t');
        std::getline(fields, stream.signature, '\t');
        std::getline(fields, size);
        stream.size = std::atoll(size.c_str());
        ntfs.streams.push_back(stream);
    }
    return ntfs;
}

} // namespace lantrivex::test

// SPDX-License-Identifier: GPL-3.0-or-later
// Windows paths. A network path taken apart and put together again takes apart the same; its
// resolution, through a mount or to SMB, never leads above the share's root and resolves again to
// itself; the SMB address built from it holds no "." or ".." step.

#include "FuzzSupport.h"
#include "platform/WindowsPath.h"
#include "platform/posix/PathResolver.h"
#include "smb/SmbUrl.h"

using namespace lantrivex;
using namespace lantrivex::platform;
using namespace lantrivex::platform::posix;
using namespace lantrivex::smb;

namespace {

const std::vector<MountEntry>& mounts() {
    static const std::vector<MountEntry> table = {
        {"//NTSRV/D$", "/mnt/ntsrv-d", "cifs", "rw"},
        {"//ntsrv/Pub/Sub", "/mnt/sub", "cifs", "rw"}, // below a share: not the share itself
        {"//MacSrv/Root", "/", "smb3", "rw"},
    };
    return table;
}

std::string joined(const UncPath& unc) {
    std::string path = "\\\\" + unc.server + "\\" + unc.share;
    if (!unc.rest.empty()) {
        path += "\\" + unc.rest;
    }
    return path;
}

bool isStep(std::string_view name) {
    return name.empty() || name == "." || name == "..";
}

// Every name between the separators is a real name: no empty, "." or ".." one.
bool onlyNames(std::string_view path, char separator) {
    if (path.empty()) {
        return true;
    }
    for (;;) {
        const std::size_t end = path.find(separator);
        if (isStep(path.substr(0, end))) {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        path.remove_prefix(end + 1);
    }
}

bool sameUnc(const UncPath& a, const UncPath& b) {
    return a.server == b.server && a.share == b.share && a.rest == b.rest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view path = fuzz::asText(data, size);
    const std::optional<UncPath> unc = parseUncPath(path);
    const ResolvedPath resolved = resolvePath(path, mounts());
    if (!unc) {
        LANTRIVEX_FUZZ_CHECK(
            resolved.kind ==
            (hasDriveLetter(path) ? ResolvedPath::Kind::Unreachable : ResolvedPath::Kind::Local));
        LANTRIVEX_FUZZ_CHECK(resolved.kind != ResolvedPath::Kind::Local ||
                             resolved.localPath == path);
        return 0;
    }

    LANTRIVEX_FUZZ_CHECK(unc->server.find_first_of("\\/") == std::string::npos &&
                         !isStep(unc->server));
    LANTRIVEX_FUZZ_CHECK(unc->share.find_first_of("\\/") == std::string::npos &&
                         !isStep(unc->share));
    LANTRIVEX_FUZZ_CHECK(unc->rest.find('/') == std::string::npos &&
                         (unc->rest.empty() || unc->rest.front() != '\\'));
    const std::optional<UncPath> again = parseUncPath(joined(*unc));
    LANTRIVEX_FUZZ_CHECK(again && sameUnc(*again, *unc));

    // The names below the share, normalised.
    std::string below;
    for (const std::string& name : normalisedPathParts(unc->rest)) {
        below += (below.empty() ? "" : "\\") + name;
    }

    if (resolved.kind == ResolvedPath::Kind::Smb) {
        LANTRIVEX_FUZZ_CHECK(resolved.unc.server == unc->server &&
                             resolved.unc.share == unc->share);
        LANTRIVEX_FUZZ_CHECK(resolved.unc.rest == below && onlyNames(below, '\\'));
        const ResolvedPath twice = resolvePath(joined(resolved.unc), mounts());
        LANTRIVEX_FUZZ_CHECK(twice.kind == ResolvedPath::Kind::Smb &&
                             sameUnc(twice.unc, resolved.unc));
        const std::string url = buildSmbUrl(resolved.unc, 0, "AFP_IdIndex");
        LANTRIVEX_FUZZ_CHECK(
            url.find("/./") == std::string::npos && url.find("/../") == std::string::npos &&
            url.find("/.:") == std::string::npos && url.find("/..:") == std::string::npos);
        return 0;
    }

    LANTRIVEX_FUZZ_CHECK(resolved.kind == ResolvedPath::Kind::Local);
    const std::optional<MountEntry> mount = findSmbMount(mounts(), unc->server, unc->share);
    LANTRIVEX_FUZZ_CHECK(mount.has_value());
    const std::string& root = mount->mountPoint;
    LANTRIVEX_FUZZ_CHECK(resolved.localPath.compare(0, root.size(), root) == 0);
    std::string_view rest = std::string_view(resolved.localPath).substr(root.size());
    if (!rest.empty() && root.back() != '/') {
        LANTRIVEX_FUZZ_CHECK(rest.front() == '/');
        rest.remove_prefix(1);
    }
    std::string expected = below;
    for (char& c : expected) {
        c = c == '\\' ? '/' : c;
    }
    LANTRIVEX_FUZZ_CHECK(rest == expected && onlyNames(rest, '/'));
    const ResolvedPath twice =
        resolvePath(joined(UncPath{unc->server, unc->share, below}), mounts());
    LANTRIVEX_FUZZ_CHECK(twice.kind == ResolvedPath::Kind::Local &&
                         twice.localPath == resolved.localPath);
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Mount tables: whatever the text, every entry read has its three first fields, the table written
// back the way the kernel escapes it reads the same, and every whole-share SMB mount in it is found
// by its server and share.

#include "FuzzSupport.h"
#include "common/LetterCase.h"
#include "platform/WindowsPath.h"
#include "platform/posix/MountTable.h"

using namespace lantrivex;
using namespace lantrivex::platform::posix;

namespace {

// The kernel's octal escapes, for every byte that would end a field or a line; a '#' that would
// start a line is escaped too.
std::string escaped(std::string_view field, bool startsLine) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\\' ||
            (c == '#' && i == 0 && startsLine)) {
            out.push_back('\\');
            out.push_back(static_cast<char>('0' + (c >> 6)));
            out.push_back(static_cast<char>('0' + ((c >> 3) & 7)));
            out.push_back(static_cast<char>('0' + (c & 7)));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

bool sameEntry(const MountEntry& a, const MountEntry& b) {
    return a.source == b.source && a.mountPoint == b.mountPoint && a.fsType == b.fsType &&
           a.options == b.options;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<MountEntry> table = parseMountTable(fuzz::asText(data, size));

    std::string written;
    for (const MountEntry& entry : table) {
        LANTRIVEX_FUZZ_CHECK(!entry.source.empty() && !entry.mountPoint.empty() &&
                             !entry.fsType.empty());
        written += escaped(entry.source, true) + ' ' + escaped(entry.mountPoint, false) + ' ' +
                   escaped(entry.fsType, false);
        written += entry.options.empty() ? "\n" : ' ' + escaped(entry.options, false) + " 0 0\n";
    }
    const std::vector<MountEntry> reread = parseMountTable(written);
    LANTRIVEX_FUZZ_CHECK(reread.size() == table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        LANTRIVEX_FUZZ_CHECK(sameEntry(reread[i], table[i]));
    }

    for (const MountEntry& entry : table) {
        const std::optional<platform::UncPath> source = platform::parseUncPath(entry.source);
        if (!isSmbMount(entry) || !source || !source->rest.empty()) {
            continue;
        }
        const std::optional<MountEntry> found = findSmbMount(table, source->server, source->share);
        LANTRIVEX_FUZZ_CHECK(found.has_value());
        const std::optional<platform::UncPath> foundSource = platform::parseUncPath(found->source);
        LANTRIVEX_FUZZ_CHECK(foundSource && isSmbMount(*found) &&
                             equalsIgnoreLetterCase(foundSource->server, source->server) &&
                             equalsIgnoreLetterCase(foundSource->share, source->share));
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixProfileFile.h"

#include "platform/IniDocument.h"
#include "platform/TextCodec.h"
#include "platform/posix/io/PosixFileIo.h"

namespace lantrivex::platform::posix {

// The file is Windows-1252; the document holds it as UTF-8, so that its names fold as the
// program's own. Every byte has a character and comes back as itself, so lines the program never
// touches go back to the file exactly as they came.

std::string PosixProfileFile::read(std::string_view filePath, std::string_view section,
                                   std::string_view key, std::size_t maxChars) {
    if (maxChars == 0) {
        return {};
    }
    if (!utf8ToAnsi(section) || !utf8ToAnsi(key)) {
        return {}; // a name the file cannot hold is in no file
    }
    const WholeFile file = readWholeFile(filePath);
    if (file.status != WholeFile::Status::Read) {
        return {};
    }
    std::string value = utf8ToAnsiLossy(IniDocument(ansiToUtf8(file.bytes)).get(section, key));
    // The reply buffer holds maxChars characters with the terminating NUL.
    if (value.size() > maxChars - 1) {
        value.resize(maxChars - 1);
    }
    return ansiToUtf8(value);
}

bool PosixProfileFile::write(std::string_view filePath, std::string_view section,
                             std::string_view key, std::string_view value) {
    if (!utf8ToAnsi(section) || !utf8ToAnsi(key) || !utf8ToAnsi(value)) {
        return false; // what the file cannot hold
    }
    const WholeFile file = readWholeFile(filePath);
    if (file.status == WholeFile::Status::Unreadable) {
        return false; // never replace a file whose content could not be kept
    }
    IniDocument document(ansiToUtf8(file.bytes));
    if (!document.set(section, key, value)) {
        return false;
    }
    std::string error;
    return replaceFileAtomically(filePath, utf8ToAnsiLossy(document.text()), error);
}

} // namespace lantrivex::platform::posix

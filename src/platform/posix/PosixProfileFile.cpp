// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixProfileFile.h"

#include "platform/IniDocument.h"
#include "platform/TextCodec.h"
#include "platform/posix/io/PosixFileIo.h"

namespace lantrivex::platform::posix {

// The document is kept in the file's own bytes (Windows-1252): the names looked for are converted
// to it, and only the value read is converted back, so lines the program never touches go back to
// the file exactly as they came.

std::string PosixProfileFile::read(std::string_view filePath, std::string_view section,
                                   std::string_view key, std::size_t maxChars) {
    if (maxChars == 0) {
        return {};
    }
    const auto ansiSection = utf8ToAnsi(section);
    const auto ansiKey = utf8ToAnsi(key);
    if (!ansiSection || !ansiKey) {
        return {}; // a name the file cannot hold is in no file
    }
    const WholeFile file = readWholeFile(filePath);
    if (file.status != WholeFile::Status::Read) {
        return {};
    }
    std::string value = IniDocument(file.bytes).get(*ansiSection, *ansiKey);
    // The reply buffer holds maxChars characters with the terminating NUL.
    if (value.size() > maxChars - 1) {
        value.resize(maxChars - 1);
    }
    return ansiToUtf8(value);
}

bool PosixProfileFile::write(std::string_view filePath, std::string_view section,
                             std::string_view key, std::string_view value) {
    const auto ansiSection = utf8ToAnsi(section);
    const auto ansiKey = utf8ToAnsi(key);
    const auto ansiValue = utf8ToAnsi(value);
    if (!ansiSection || !ansiKey || !ansiValue) {
        return false;
    }
    const WholeFile file = readWholeFile(filePath);
    if (file.status == WholeFile::Status::Unreadable) {
        return false; // never replace a file whose content could not be kept
    }
    IniDocument document(file.bytes);
    if (!document.set(*ansiSection, *ansiKey, *ansiValue)) {
        return false;
    }
    std::string error;
    return replaceFileAtomically(filePath, document.text(), error);
}

} // namespace lantrivex::platform::posix

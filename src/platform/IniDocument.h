// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::platform {

// The text of an INI file, read and changed one key at a time the way the Windows private-profile
// functions do it:
// - "[name]" lines open sections; "key=value" lines inside a section are its keys (a line without
//   "=" is a key with an empty value); lines whose first non-blank character is ";" are comments;
//   lines before the first section belong to none.
// - Sections and keys are found without regard to letter case (the letters of Windows-1252, as
//   LetterCase.h folds them), the first one of a name wins; names and values are read with the
//   blanks around them removed, and a value enclosed in matching double or single quotes is read
//   without them.
// - Setting a key rewrites that key's line only; every other line, with its own line end, and a
//   missing line end at the end of the text, stays byte for byte as it was. A missing key is added
//   after the last non-blank line of its section, a missing section at the end of the text.
// The text is UTF-8; other bytes are kept as they are, and compare as themselves.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // The value of `key` in `section`; "" when the section or the key is absent or the value empty.
    std::string get(std::string_view section, std::string_view key) const;

    // `section` holds `key` (with or without a value).
    bool contains(std::string_view section, std::string_view key) const;

    // Sets `key`=`value` in `section`, adding the section or the key when missing. False, and the
    // document unchanged, when the texts cannot be stored as one line that reads back: an empty
    // section or key, a line break in any of them, or a key that holds "=" or begins with "[" or
    // ";".
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // The whole text as it now stands.
    std::string text() const;

private:
    struct Line {
        std::string content; // without its line end
        std::string end;     // "\r\n", "\n", or "" for a last line without one
    };

    // The lines of one section: its header line and the index one past its last line.
    struct SectionSpan {
        std::size_t header;
        std::size_t end;
    };
    // The first section named `section`; false when there is none.
    bool findSection(std::string_view section, SectionSpan& span) const;
    // Index of the first line of `span` holding `key`, or npos.
    std::size_t findKey(const SectionSpan& span, std::string_view key) const;
    void insertLine(std::size_t at, std::string content);
    std::string_view newLine() const;

    std::vector<Line> lines_;
};

} // namespace lantrivex::platform

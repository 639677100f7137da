// SPDX-License-Identifier: GPL-3.0-or-later
#include "regfile/RegFile.h"

#include "common/Ascii.h"
#include "common/LetterCase.h"
#include "common/Utf8.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace lantrivex::regfile {

using namespace lantrivex::platform;
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kLocalMachineShort = "HKLM";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

class Parser {
public:
    Parser(std::string_view text, bool unicode) : text_(text), unicode_(unicode) {}

    bool run(std::vector<RegFileKey>& keys, std::string& error) {
        std::string_view line;
        if (!nextLine(line) || (trimBlanks(line) != kHeader4 && trimBlanks(line) != kHeader5)) {
            lineNumber_ = 1;
            return fail(error, "not a registry export (no REGEDIT4 or version 5.00 header)");
        }
        std::size_t current = kNone;
        bool skipping = true; // values before any key, or of a key outside HKEY_LOCAL_MACHINE
        while (nextLine(line)) {
            std::string_view t = trimBlanks(line);
            if (t.empty() || t.front() == ';') {
                continue;
            }
            if (t.front() == '[') {
                if (t.back() != ']') {
                    return fail(error, "unterminated key name");
                }
                std::string_view path = t.substr(1, t.size() - 2);
                current = kNone;
                skipping = true;
                if (!path.empty() && path.front() == '-') {
                    continue; // a key to delete: nothing to read
                }
                std::string_view below;
                if (!belowLocalMachine(path, below)) {
                    continue;
                }
                current = keyAt(keys, below);
                skipping = false;
                continue;
            }
            RegFileValue value;
            bool deleted = false;
            if (!parseValue(t, value, deleted, error)) {
                return false;
            }
            if (skipping || current == kNone || deleted) {
                continue;
            }
            store(keys[current], std::move(value));
        }
        return true;
    }

private:
    bool fail(std::string& error, std::string_view what) {
        error = "line " + std::to_string(lineNumber_) + ": " + std::string(what);
        failLine_ = lineNumber_;
        failReason_ = what;
        return false;
    }

public:
    // Where and why the text was refused.
    std::size_t failLine() const noexcept { return failLine_; }
    std::string_view failReason() const noexcept { return failReason_; }

private:
    bool nextLine(std::string_view& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        auto end = text_.find('\n', pos_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++lineNumber_;
        return true;
    }

    static bool belowLocalMachine(std::string_view path, std::string_view& below) {
        // The root's name is a word of the format, ASCII; the key names below it fold as names.
        for (std::string_view root : {kLocalMachine, kLocalMachineShort}) {
            if (path.size() >= root.size() &&
                equalsIgnoreAsciiCase(path.substr(0, root.size()), root)) {
                std::string_view rest = path.substr(root.size());
                if (rest.empty()) {
                    below = rest;
                    return true;
                }
                if (rest.front() == '\\') {
                    below = rest.substr(1);
                    return true;
                }
            }
        }
        return false;
    }

    std::size_t keyAt(std::vector<RegFileKey>& keys, std::string_view path) {
        // A key listed twice: its values are merged, as an import does.
        auto [it, added] = keyIndex_.try_emplace(foldLetterCase(path), keys.size());
        if (added) {
            keys.push_back(RegFileKey{std::string(path), {}, {}});
        }
        return it->second;
    }

    static void store(RegFileKey& key, RegFileValue value) {
        auto [it, added] =
            key.valueIndex.try_emplace(foldLetterCase(value.name), key.values.size());
        if (added) {
            key.values.push_back(std::move(value));
        } else {
            key.values[it->second] = std::move(value);
        }
    }

    // A quoted text at the start of `t` (escapes \\ and \"); `t` is left after the closing quote.
    bool parseQuoted(std::string_view& t, std::string& out, std::string& error) {
        if (t.empty() || t.front() != '"') {
            return fail(error, "a quoted text was expected");
        }
        std::size_t i = 1;
        out.clear();
        while (i < t.size()) {
            const char c = t[i];
            if (c == '"') {
                t.remove_prefix(i + 1);
                return true;
            }
            if (c == '\\' && i + 1 < t.size() && (t[i + 1] == '\\' || t[i + 1] == '"')) {
                out.push_back(t[i + 1]);
                i += 2;
                continue;
            }
            out.push_back(c);
            ++i;
        }
        return fail(error, "unterminated quoted text");
    }

    bool parseValue(std::string_view t, RegFileValue& value, bool& deleted, std::string& error) {
        if (t.front() == '@') {
            value.name.clear();
            t.remove_prefix(1);
        } else if (!parseQuoted(t, value.name, error)) {
            return false;
        }
        t = trimBlanks(t);
        if (t.empty() || t.front() != '=') {
            return fail(error, "'=' expected after the value name");
        }
        t = trimBlanks(t.substr(1));
        if (t == "-") {
            deleted = true;
            return true;
        }
        if (!t.empty() && t.front() == '"') {
            std::string text;
            if (!parseQuoted(t, text, error)) {
                return false;
            }
            if (!trimBlanks(t).empty()) {
                return fail(error, "text after the closing quote");
            }
            value.type = 1; // REG_SZ
            value.data = std::move(text);
            value.data.push_back('\0');
            return true;
        }
        // "dword:" and "hex" are words of the format, ASCII in any letter case.
        if (t.size() >= 6 && equalsIgnoreAsciiCase(t.substr(0, 6), "dword:")) {
            std::string_view digits = trimBlanks(t.substr(6));
            if (digits.empty() || digits.size() > 8) {
                return fail(error, "bad dword value");
            }
            std::uint32_t number = 0;
            for (char c : digits) {
                const int d = hexDigitValue(c);
                if (d < 0) {
                    return fail(error, "bad dword value");
                }
                number = number * 16 + static_cast<std::uint32_t>(d);
            }
            value.type = 4; // REG_DWORD
            value.data.clear();
            for (int i = 0; i < 4; ++i) {
                value.data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
            }
            return true;
        }
        if (t.size() >= 3 && equalsIgnoreAsciiCase(t.substr(0, 3), "hex")) {
            return parseHex(t.substr(3), value, error);
        }
        return fail(error, "unknown value form");
    }

    bool parseHex(std::string_view t, RegFileValue& value, std::string& error) {
        std::uint32_t type = 3; // REG_BINARY
        if (!t.empty() && t.front() == '(') {
            const auto close = t.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9) {
                return fail(error, "bad hex type");
            }
            std::uint32_t n = 0;
            for (char c : t.substr(1, close - 1)) {
                const int d = hexDigitValue(c);
                if (d < 0) {
                    return fail(error, "bad hex type");
                }
                n = n * 16 + static_cast<std::uint32_t>(d);
            }
            type = n;
            t.remove_prefix(close + 1);
        }
        if (t.empty() || t.front() != ':') {
            return fail(error, "':' expected after hex");
        }
        t.remove_prefix(1);

        // The bytes, over continuation lines (a line ending in a backslash goes on on the next).
        std::string bytes;
        std::string_view piece = t;
        while (true) {
            piece = trimBlanks(piece);
            const bool continued = !piece.empty() && piece.back() == '\\';
            if (continued) {
                piece.remove_suffix(1);
            }
            if (!readHexBytes(piece, bytes, error)) {
                return false;
            }
            if (!continued) {
                break;
            }
            std::string_view nextPiece;
            if (!nextLine(nextPiece)) {
                return fail(error, "file ends inside a hex value");
            }
            piece = nextPiece;
        }

        value.type = type;
        if (type == 1 || type == 2 || type == 7) {
            // String types: UTF-16LE in version 5 files, the ANSI code page in REGEDIT4 ones.
            if (unicode_) {
                auto text = utf16leToUtf8(bytes);
                if (!text) {
                    return fail(error, "string data is not UTF-16LE");
                }
                value.data = std::move(*text);
            } else {
                value.data = ansiToUtf8(bytes);
            }
        } else {
            value.data = std::move(bytes);
        }
        return true;
    }

    // Comma-separated two-digit hex bytes; a trailing comma is allowed.
    bool readHexBytes(std::string_view piece, std::string& bytes, std::string& error) {
        std::size_t i = 0;
        while (i < piece.size()) {
            while (i < piece.size() && isBlank(piece[i])) {
                ++i;
            }
            if (i >= piece.size()) {
                break;
            }
            if (i + 1 >= piece.size() || hexDigitValue(piece[i]) < 0 ||
                hexDigitValue(piece[i + 1]) < 0) {
                return fail(error, "bad hex digits");
            }
            bytes.push_back(
                static_cast<char>(hexDigitValue(piece[i]) * 16 + hexDigitValue(piece[i + 1])));
            i += 2;
            while (i < piece.size() && isBlank(piece[i])) {
                ++i;
            }
            if (i < piece.size()) {
                if (piece[i] != ',') {
                    return fail(error, "bad hex digits");
                }
                ++i;
            }
        }
        return true;
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::string_view text_;
    bool unicode_;
    std::unordered_map<std::string, std::size_t> keyIndex_;
    std::size_t pos_ = 0;
    std::size_t lineNumber_ = 0;
    std::size_t failLine_ = 0;
    std::string_view failReason_;
};

// The line of `text` at `offset` (1 for the first).
std::size_t lineAt(std::string_view text, std::size_t offset) {
    const std::string_view before = text.substr(0, offset);
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

// The French words of each reason a file is refused for.
constexpr std::pair<std::string_view, std::string_view> kFrenchReasons[] = {
    {"not a registry export (no REGEDIT4 or version 5.00 header)",
     "pas un export du registre (ni REGEDIT4 ni version 5.00 en en-tête)"},
    {"unterminated key name", "nom de clé sans fin"},
    {"a quoted text was expected", "un texte entre guillemets était attendu"},
    {"unterminated quoted text", "texte entre guillemets sans fin"},
    {"'=' expected after the value name", "'=' attendu après le nom de la valeur"},
    {"text after the closing quote", "texte après le guillemet fermant"},
    {"bad dword value", "valeur dword incorrecte"},
    {"unknown value form", "forme de valeur inconnue"},
    {"bad hex type", "type hex incorrect"},
    {"':' expected after hex", "':' attendu après hex"},
    {"file ends inside a hex value", "le fichier finit dans une valeur hex"},
    {"string data is not UTF-16LE", "texte qui n'est pas en UTF-16LE"},
    {"bad hex digits", "chiffres hexadécimaux incorrects"},
    {"file too large for a registry export", "fichier trop grand pour un export du registre"},
    {"broken UTF-16LE text (odd byte count or broken surrogate pair)",
     "texte UTF-16LE cassé (nombre impair d'octets ou paire de substitution "
     "cassée)"},
    {"NUL character in the text", "caractère NUL dans le texte"},
    {"broken UTF-8 text after a UTF-8 byte-order mark",
     "texte UTF-8 cassé après une marque d'ordre des octets UTF-8"},
};

bool refuse(RegFileError& error, std::size_t line, std::string_view english) {
    error.line = line;
    error.english = std::string(english);
    error.french = english;
    for (const auto& [en, fr] : kFrenchReasons) {
        if (en == english) {
            error.french = fr;
        }
    }
    return false;
}

} // namespace

std::string RegFileError::text() const {
    return line == 0 ? english : "line " + std::to_string(line) + ": " + english;
}

std::optional<RegFile> RegFile::parse(std::string_view bytes, std::string* error) {
    RegFileError why;
    std::optional<RegFile> file = read(bytes, why);
    if (!file && error != nullptr) {
        *error = why.text();
    }
    return file;
}

RegFileError RegFile::tooLargeError() {
    RegFileError error;
    refuse(error, 0, "file too large for a registry export");
    return error;
}

std::optional<RegFile> RegFile::read(std::string_view bytes, RegFileError& error) {
    if (bytes.size() > kMaxFileSize) {
        error = tooLargeError();
        return std::nullopt;
    }
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (!utf16leToUtf8(bytes.substr(2), text)) {
            refuse(error, lineAt(text, text.size()),
                   "broken UTF-16LE text (odd byte count or broken surrogate pair)");
            return std::nullopt;
        }
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        if (!isValidUtf8(bytes.substr(3))) {
            refuse(error, 0, "broken UTF-8 text after a UTF-8 byte-order mark");
            return std::nullopt;
        }
        text = std::string(bytes.substr(3));
    } else if (isValidUtf8(bytes)) {
        // Plain ASCII, or a file written by hand on a system whose text is UTF-8.
        text = std::string(bytes);
    } else {
        text = ansiToUtf8(bytes);
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        refuse(error, lineAt(text, nul), "NUL character in the text");
        return std::nullopt;
    }
    RegFile file;
    // Version 5 exports hold their string data in UTF-16LE whatever the file's own encoding.
    const auto firstLineEnd = text.find('\n');
    file.unicode_ = trimBlanks(std::string_view(text).substr(0, firstLineEnd)) == kHeader5;
    Parser parser(text, file.unicode_);
    std::string ignored;
    if (!parser.run(file.keys_, ignored)) {
        refuse(error, parser.failLine(), parser.failReason());
        return std::nullopt;
    }
    for (std::size_t i = 0; i < file.keys_.size(); ++i) {
        file.index_.emplace(foldLetterCase(file.keys_[i].path), i);
    }
    return file;
}

const RegFileValue* RegFileKey::findValue(std::string_view name) const {
    const auto it = valueIndex.find(foldLetterCase(name));
    return it == valueIndex.end() ? nullptr : &values[it->second];
}

const RegFileKey* RegFile::findKey(std::string_view path) const {
    const auto it = index_.find(foldLetterCase(path));
    return it == index_.end() ? nullptr : &keys_[it->second];
}

} // namespace lantrivex::regfile

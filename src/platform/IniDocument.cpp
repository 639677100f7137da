// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IniDocument.h"

#include "common/LetterCase.h"

namespace lantrivex::platform {
namespace {

constexpr std::string_view kBlanks = " \t\v\f\r";

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// What one line of the file is.
struct LineMeaning {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed, quotes still on
};

LineMeaning meaningOf(std::string_view content) {
    LineMeaning meaning;
    const std::string_view line = trim(content);
    if (line.empty() || line.front() == ';') {
        return meaning;
    }
    if (line.front() == '[') {
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos) {
            meaning.kind = LineMeaning::Section;
            meaning.name = trim(line.substr(1, close - 1));
        }
        return meaning;
    }
    meaning.kind = LineMeaning::Key;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        meaning.name = line;
    } else {
        meaning.name = trim(line.substr(0, equals));
        meaning.value = trim(line.substr(equals + 1));
    }
    return meaning;
}

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(1, '=').append(value);
    return line;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

IniDocument::IniDocument(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines_.push_back(Line{std::string(text.substr(start)), ""});
            break;
        }
        std::size_t contentEnd = lf;
        if (contentEnd > start && text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        lines_.push_back(Line{std::string(text.substr(start, contentEnd - start)),
                              std::string(text.substr(contentEnd, lf + 1 - contentEnd))});
        start = lf + 1;
    }
}

bool IniDocument::findSection(std::string_view section, SectionSpan& span) const {
    const std::string_view wanted = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineMeaning meaning = meaningOf(lines_[i].content);
        if (meaning.kind != LineMeaning::Section || !equalsIgnoreLetterCase(meaning.name, wanted)) {
            continue;
        }
        span.header = i;
        span.end = i + 1;
        while (span.end < lines_.size() &&
               meaningOf(lines_[span.end].content).kind != LineMeaning::Section) {
            ++span.end;
        }
        return true;
    }
    return false;
}

std::size_t IniDocument::findKey(const SectionSpan& span, std::string_view key) const {
    const std::string_view wanted = trim(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const LineMeaning meaning = meaningOf(lines_[i].content);
        if (meaning.kind == LineMeaning::Key && equalsIgnoreLetterCase(meaning.name, wanted)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string IniDocument::get(std::string_view section, std::string_view key) const {
    SectionSpan span{};
    if (!findSection(section, span)) {
        return {};
    }
    const std::size_t at = findKey(span, key);
    if (at == std::string_view::npos) {
        return {};
    }
    return std::string(unquote(meaningOf(lines_[at].content).value));
}

bool IniDocument::contains(std::string_view section, std::string_view key) const {
    SectionSpan span{};
    return findSection(section, span) && findKey(span, key) != std::string_view::npos;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sectionName = trim(section);
    const std::string_view keyName = trim(key);
    if (sectionName.empty() || keyName.empty() || hasLineBreak(section) || hasLineBreak(key) ||
        hasLineBreak(value) || keyName.find('=') != std::string_view::npos ||
        keyName.front() == '[' || keyName.front() == ';') {
        return false;
    }

    SectionSpan span{};
    if (!findSection(sectionName, span)) {
        std::string header(1, '[');
        header.append(sectionName).push_back(']');
        insertLine(lines_.size(), std::move(header));
        insertLine(lines_.size(), keyLine(keyName, value));
        return true;
    }
    const std::size_t at = findKey(span, keyName);
    if (at != std::string_view::npos) {
        // The key keeps the spelling it has in the file.
        const std::string_view stored = meaningOf(lines_[at].content).name;
        lines_[at].content = keyLine(stored, value);
        return true;
    }
    std::size_t after = span.header + 1;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (!trim(lines_[i].content).empty()) {
            after = i + 1;
        }
    }
    insertLine(after, keyLine(keyName, value));
    return true;
}

std::string IniDocument::text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.content;
        out += line.end;
    }
    return out;
}

std::string_view IniDocument::newLine() const {
    for (const Line& line : lines_) {
        if (!line.end.empty()) {
            return line.end;
        }
    }
    return "\r\n"; // what Windows writes
}

void IniDocument::insertLine(std::size_t at, std::string content) {
    Line line{std::move(content), std::string(newLine())};
    if (at == lines_.size() && !lines_.empty() && lines_.back().end.empty()) {
        // The text ended without a line end: the line before gets one, the new last line keeps
        // the text ending as it did.
        lines_.back().end = line.end;
        line.end.clear();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

} // namespace lantrivex::platform

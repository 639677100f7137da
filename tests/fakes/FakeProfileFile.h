// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/IniDocument.h"
#include "platform/ProfileFile.h"

#include <map>

namespace lantrivex::fakes {

struct FakeProfileFile : platform::ProfileFile {
    struct Write {
        std::string file, section, key, value;
        friend bool operator==(const Write&, const Write&) = default;
    };
    std::map<std::string, platform::IniDocument> files;
    std::vector<Write> writes; // every write asked for, failed ones included

    void setText(const std::string& filePath, std::string_view text) {
        files[filePath] = platform::IniDocument(text);
    }
    std::string read(std::string_view filePath, std::string_view section, std::string_view key,
                     std::size_t maxChars = 255) override {
        const auto it = files.find(std::string(filePath));
        if (it == files.end() || maxChars == 0) {
            return {};
        }
        std::string value = it->second.get(section, key);
        for (std::size_t i = 0, chars = 0; i < value.size(); ++i) {
            if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80 && chars++ == maxChars - 1) {
                value.resize(i);
            }
        }
        return value; // at most maxChars - 1 characters, never cutting a UTF-8 sequence
    }
    bool write(std::string_view filePath, std::string_view section, std::string_view key,
               std::string_view value) override {
        writes.push_back(Write{std::string(filePath), std::string(section), std::string(key),
                               std::string(value)});
        const auto it = files.find(std::string(filePath));
        platform::IniDocument document = it != files.end() ? it->second : platform::IniDocument();
        if (!document.set(section, key, value)) {
            return false;
        }
        files[std::string(filePath)] = std::move(document);
        return true;
    }
};

} // namespace lantrivex::fakes

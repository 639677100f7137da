#pragma once

#include "platform/IniDocument.h"
#include "platform/ProfileFile.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lantrivex::fakes {

// In-memory settings files with the behaviour of the real ones (IniDocument), recording every
// write. Writes can be made to fail (the file then stays as it was).
class FakeProfileFile : public platform::ProfileFile {
public:
    struct Write {
        std::string file, section, key, value;
        friend bool operator==(const Write&, const Write&) = default;
    };

    // Puts a file with the given text (UTF-8).
    void setText(const std::string& filePath, std::string_view text) {
        files[filePath] = platform::IniDocument(text);
    }
    // The whole text of a file, or nullopt when it does not exist.
    std::optional<std::string> text(const std::string& filePath) const {
        const auto it = files.find(filePath);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second.text());
    }
    bool exists(const std::string& filePath) const { return files.count(filePath) != 0; }

    std::string read(std::string_view filePath, std::string_view section, std::string_view key,
                     std::size_t maxChars = 255) override {
        ++readCount;
        const auto it = files.find(std::string(filePath));
        if (it == files.end() || maxChars == 0) {
            return {};
        }
        std::string value = it->second.get(section, key);
        // At most maxChars - 1 characters, never cutting a UTF-8 sequence.
        for (std::size_t i = 0, chars = 0; i < value.size(); ++i) {
            if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80 && chars++ == maxChars - 1) {
                value.resize(i);
            }
        }
        return value;
    }

    bool write(std::string_view filePath, std::string_view section, std::string_view key,
               std::string_view value) override {
        writes.push_back(Write{std::string(filePath), std::string(section), std::string(key),
                               std::string(value)});
        const auto it = files.find(std::string(filePath));
        platform::IniDocument document = it != files.end() ? it->second : platform::IniDocument();
        if (failWrites || !document.set(section, key, value)) {
            return false;
        }
        files[std::string(filePath)] = std::move(document);
        return true;
    }

    std::map<std::string, platform::IniDocument> files;
    std::vector<Write> writes; // every write asked for, failed ones included
    bool failWrites = false;   // set: every write fails and changes nothing
    int readCount = 0;
};

} // namespace lantrivex::fakes

// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/RegistryValue.h"

#include <cstdint>
#include <string>

namespace lantrivex::discovery {

std::string StripNull(std::string_view text) {
    const auto nul = text.find('\0');
    return std::string(nul == std::string_view::npos ? text : text.substr(0, nul));
}

platform::RegistryError QueryRegValue(platform::RegistryKey& key, std::string_view valueName,
                                      std::string& value) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    platform::RegistryError answer = key.queryValueInfo(valueName, type, size);
    if (answer != platform::kRegOk) {
        return answer;
    }
    if (type == platform::kRegSz || type == platform::kRegMultiSz) {
        if (size > kMaxValueData) {
            value.clear();
            return platform::kRegNotEnoughMemory;
        }
        std::string data;
        std::uint32_t gotType = 0;
        answer = key.queryValueData(valueName, size, gotType, data);
        if (answer == platform::kRegOk) {
            // The buffer held `size` characters: what the data filled, NULs after it.
            data.resize(size, '\0');
            value = std::move(data);
        } else {
            value.clear();
        }
        return answer;
    }
    if (type == platform::kRegDword) {
        std::string data;
        std::uint32_t gotType = 0;
        answer = key.queryValueData(valueName, 4, gotType, data);
        if (answer == platform::kRegOk) {
            std::uint32_t number = 0;
            for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
                number |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i]))
                          << (8 * i);
            }
            value = std::to_string(static_cast<std::int32_t>(number));
        }
        return answer;
    }
    return kUnsupportedValueType;
}

} // namespace lantrivex::discovery

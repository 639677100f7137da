// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/IndexScanner.h"
#include "common/Ascii.h"

#include <map>
#include <ostream>
#include <string>

namespace lantrivex::analysis {

// The scan written as plainly as possible, position by position, for comparison.
inline ScanResult referenceScan(std::span<const std::byte> bytes) {
    ScanResult result;
    std::map<std::string, std::size_t> positions; // folded signature -> index in result
    for (std::size_t i = 0; i + 9 <= bytes.size(); ++i) {
        std::string signature;
        for (std::size_t k = 1; k <= 8 && bytes[i] == std::byte{0x01}; ++k) {
            const auto b = std::to_integer<unsigned>(bytes[i + k]);
            if (b <= 0x20 || b >= 0x80) {
                break;
            }
            signature.push_back(static_cast<char>(b));
        }
        if (signature.size() == 8) {
            ++result.total;
            const auto [it, added] =
                positions.try_emplace(asciiToLower(signature), result.signatures.size());
            if (added) {
                result.signatures.push_back(SignatureCount{signature, 0});
            }
            ++result.signatures[it->second].count;
        }
    }
    return result;
}

inline bool operator==(const SignatureCount& a, const SignatureCount& b) {
    return a.signature == b.signature && a.count == b.count;
}
inline bool operator==(const ScanResult& a, const ScanResult& b) {
    return a.total == b.total && a.signatures == b.signatures;
}
inline std::ostream& operator<<(std::ostream& out, const ScanResult& r) {
    out << "total " << r.total << ":";
    for (const auto& s : r.signatures) {
        out << " " << s.signature << "=" << s.count;
    }
    return out;
}

inline std::vector<std::byte> toBytes(std::string_view text) {
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return {data, data + text.size()};
}

} // namespace lantrivex::analysis

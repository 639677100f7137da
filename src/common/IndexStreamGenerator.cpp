// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/IndexStreamGenerator.h"

#include "common/Ascii.h"
#include "common/LetterCase.h"

#include <algorithm>
#include <array>
#include <set>

namespace lantrivex {
namespace {

constexpr std::array<std::string_view, 48> kClassic = {
    "TEXTttxt", "W6BNMSWD", "XLS5XCEL", "XDOCXPR3", "8BPS8BIM", "APPLaust", "TEXTR*ch", "W8BNMSWD",
    "XLS8XCEL", "JPEG8BIM", "TIFF8BIM", "EPSF8BIM", "PICTttxt", "SLD8PPT3", "WDBNMSWD", "XTMPXPR3",
    "GIFf8BIM", "ALB6ALD6", "FMP3FMP3", "CWWPBOBO", "CWSSBOBO", "MW2DMWII", "SITDSIT!", "SIT5SIT!",
    "TEXTMOSS", "EPSFART5", "PICT8BIM", "MooVTVOD", "APPLMSWD", "APPLXCEL", "APPLXPR3", "APPL8BIM",
    "PPT3PPT3", "XLS4XCEL", "rsrcRSED", "ttrottxt", "TEXTMSWD", "TEXTXCEL", "sEXTSIT!", "APPLMOSS",
    "PNTGMPNT", "TIFFogle", "JPEGogle", "PICTogle", "WORDMSWD", "XLS3XCEL", "FFILDMOV", "CWDBBOBO",
};

// Mac file names: letters, digits and a few signs, with blanks and the odd accented MacRoman byte.
constexpr std::string_view kNameChars =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ._-()";
constexpr std::array<std::uint8_t, 6> kMacRomanAccents = {0x8E, 0x8F, 0x88, 0x9A, 0x82, 0xA5};

std::uint64_t splitMix(std::uint64_t& x) noexcept {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

bool isSignatureByte(char c) noexcept {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x21 && b <= 0x7F;
}

} // namespace

std::span<const std::string_view> classicSignatures() {
    return kClassic;
}

IndexStreamGenerator::IndexStreamGenerator(IndexStreamOptions options)
    : options_(std::move(options)) {
    std::uint64_t seed = options_.seed;
    for (auto& word : state_) {
        word = splitMix(seed);
    }

    std::set<std::string> seen;
    auto take = [&](std::string_view s) {
        if (pool_.size() < options_.distinctSignatures && s.size() == 8 &&
            std::all_of(s.begin(), s.end(), isSignatureByte) &&
            seen.insert(foldLetterCase(s)).second) {
            pool_.emplace_back(s);
        }
    };
    if (!options_.signatures.empty()) {
        for (const std::string& s : options_.signatures) {
            take(s);
        }
    } else {
        for (std::string_view s : classicSignatures()) {
            take(s);
        }
    }
    // Made-up codes when more are asked for than the classic ones: four capitals and four small
    // letters.
    while (options_.signatures.empty() && pool_.size() < options_.distinctSignatures) {
        std::string s(8, 'A');
        for (std::size_t i = 0; i < 8; ++i) {
            s[i] = static_cast<char>((i < 4 ? 'A' : 'a') + below(26));
        }
        take(s);
    }
    double sum = 0;
    for (std::size_t k = 0; k < pool_.size(); ++k) {
        sum += 1.0 / static_cast<double>(k + 1);
        cumulative_.push_back(sum);
    }
    planIndex_.assign(pool_.size(), -1);
}

std::uint64_t IndexStreamGenerator::next() noexcept {
    // xoshiro256**: the same sequence on every system and compiler.
    const std::uint64_t result = ((state_[1] * 5) << 7 | (state_[1] * 5) >> 57) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = (state_[3] << 45) | (state_[3] >> 19);
    return result;
}

std::uint64_t IndexStreamGenerator::below(std::uint64_t bound) noexcept {
    return bound == 0 ? 0 : next() % bound;
}

bool IndexStreamGenerator::chance(double rate) noexcept {
    return static_cast<double>(next() >> 11) * 0x1.0p-53 < rate;
}

void IndexStreamGenerator::appendU32(std::uint32_t value) {
    // Node numbers and lengths stay below 2^24, so the last byte of every number is 0: a 0x01
    // inside a number is always followed by a 0 within three bytes.
    value &= 0x00FFFFFFu;
    for (int i = 0; i < 4; ++i) {
        record_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void IndexStreamGenerator::appendName() {
    const auto length = static_cast<std::size_t>(1 + below(31));
    record_.push_back(static_cast<std::uint8_t>(length));
    for (std::size_t i = 0; i < length; ++i) {
        if (below(40) == 0) {
            record_.push_back(kMacRomanAccents[below(kMacRomanAccents.size())]);
        } else {
            record_.push_back(static_cast<std::uint8_t>(kNameChars[below(kNameChars.size())]));
        }
    }
}

void IndexStreamGenerator::buildRecord() {
    record_.clear();
    recordPosition_ = 0;
    pending_ = false;

    const bool folder = chance(options_.folderRate);
    appendU32(nextNode_++);
    appendU32(static_cast<std::uint32_t>(2 + below(nextNode_)));
    record_.push_back(folder ? 0x00 : 0x02); // flags
    record_.push_back(0x00);
    appendName();

    if (folder) {
        appendU32(static_cast<std::uint32_t>(below(200))); // valence
    } else {
        std::string signature;
        const bool nearMiss = pool_.empty() || chance(options_.nearMissRate);
        if (!nearMiss) {
            const double pick = static_cast<double>(next() >> 11) * 0x1.0p-53 * cumulative_.back();
            pendingPool_ = static_cast<std::size_t>(
                std::upper_bound(cumulative_.begin(), cumulative_.end(), pick) -
                cumulative_.begin());
            pendingPool_ = std::min(pendingPool_, pool_.size() - 1);
            signature = pool_[pendingPool_];
            if (chance(options_.caseVariantRate)) {
                for (char& c : signature) {
                    if (below(2) == 0) {
                        c = (c >= 'a' && c <= 'z') ? asciiUpper(c) : asciiLower(c);
                    }
                }
            }
            pendingSpelling_ = signature;
            pending_ = true;
            if (below(100) == 0) {
                record_.push_back(0x01); // a doubled marker: only the second one is followed by
            }                            // the signature
        } else {
            // Near misses: a marker followed by what almost is a signature.
            signature = pool_.empty() ? std::string("PDF CARO") : pool_[below(pool_.size())];
            switch (below(4)) {
            case 0: // a three-letter type padded with a blank, as "PDF CARO"
                signature[3] = ' ';
                break;
            case 1: // a byte of 0x80 or more
                signature[below(8)] = static_cast<char>(0x80 + below(0x80));
                break;
            case 2: // a control byte
                signature[below(8)] = static_cast<char>(below(2) == 0 ? 0x09 : 0x0D);
                break;
            default: // cut short by a 0
                signature[7] = '\0';
                break;
            }
        }
        record_.push_back(0x01);
        record_.insert(record_.end(), signature.begin(), signature.end());
        appendU32(static_cast<std::uint32_t>(below(1u << 22))); // data fork length
        appendU32(static_cast<std::uint32_t>(below(1u << 16))); // resource fork length
    }
    while (record_.size() % 4 != 0) {
        record_.push_back(0x00);
    }
}

void IndexStreamGenerator::commitRecord() {
    ++records_;
    if (!pending_) {
        return;
    }
    ++plannedTotal_;
    std::ptrdiff_t& at = planIndex_[pendingPool_];
    if (at < 0) {
        at = static_cast<std::ptrdiff_t>(planned_.size());
        planned_.push_back(PlannedSignature{pendingSpelling_, 0});
    }
    ++planned_[static_cast<std::size_t>(at)].count;
}

std::size_t IndexStreamGenerator::generate(std::span<std::byte> out) {
    std::size_t written = 0;
    while (written < out.size() && produced_ < options_.size) {
        if (recordPosition_ >= record_.size()) {
            buildRecord();
            if (record_.size() > options_.size - produced_) {
                // No room for a whole record: the rest of the stream is zeros.
                record_.assign(static_cast<std::size_t>(options_.size - produced_), 0x00);
                pending_ = false;
            } else {
                commitRecord();
            }
        }
        const std::size_t n = std::min(out.size() - written, record_.size() - recordPosition_);
        std::copy_n(reinterpret_cast<const std::byte*>(record_.data()) + recordPosition_, n,
                    out.begin() + static_cast<std::ptrdiff_t>(written));
        recordPosition_ += n;
        written += n;
        produced_ += n;
    }
    return written;
}

std::vector<std::byte> generateIndexStream(const IndexStreamOptions& options,
                                           std::vector<PlannedSignature>* plan) {
    IndexStreamGenerator generator(options);
    std::vector<std::byte> bytes(static_cast<std::size_t>(options.size));
    generator.generate(bytes);
    if (plan != nullptr) {
        *plan = generator.planned();
    }
    return bytes;
}

void writePackedRecords(std::span<std::byte> out, std::uint64_t offset, std::uint64_t distinct) {
    std::uint64_t record = offset / 9;
    std::size_t at = static_cast<std::size_t>(offset % 9);
    std::array<std::byte, 9> bytes{};
    const auto fill = [&] {
        // The number, spread over 48 bits by an odd factor (one to one), in base 64 digits from
        // '!' to '`': no small letters, so no two numbers differ in letter case only.
        std::uint64_t n = ((distinct == 0 ? record : record % distinct) * 0x9E3779B97F4A7ULL) &
                          ((std::uint64_t{1} << 48) - 1);
        bytes[0] = std::byte{0x01};
        for (std::size_t k = 1; k < 9; ++k, n >>= 6) {
            bytes[k] = static_cast<std::byte>(0x21 + (n & 63));
        }
    };
    fill();
    for (std::byte& b : out) {
        b = bytes[at];
        if (++at == 9) {
            at = 0;
            ++record;
            fill();
        }
    }
}

} // namespace lantrivex

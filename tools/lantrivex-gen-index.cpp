// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a synthetic Macintosh volume index stream (AFP_IdIndex), deterministic from its seed, for
// tests, samples and benchmarks. The signatures it planted (what a scan must find) can be written
// beside it as CSV.

#include "common/IndexStreamGenerator.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "usage: lantrivex-gen-index [options] --output FILE\n"
    "Writes a synthetic volume index stream: records with a 0x01 marker and a Macintosh\n"
    "type/creator signature amid other binary data, with near misses.\n"
    "\n"
    "  --output FILE          the stream's file (\"-\": standard output)\n"
    "  --seed N               seed of the generator (default 1); same options, same bytes\n"
    "  --size BYTES           length of the stream (default 1048576); K, M, G suffixes allowed\n"
    "  --distinct N           number of distinct signatures (default 40, at most 1000000)\n"
    "  --signatures A,B,...   the signatures to use, most frequent first (default: classic codes)\n"
    "  --case-variants RATE   share of occurrences written in another letter case (default 0)\n"
    "  --near-misses RATE     share of file records with a broken signature (default 0.05)\n"
    "  --folders RATE         share of records that are folders (default 0.15)\n"
    "  --plan FILE            also write what a scan must find: signature,count per line,\n"
    "                         in the order of first occurrence, then total,N\n"
    "  --packed               records of a marker and a signature only, back to back, as a\n"
    "                         hostile server could send: --distinct N signatures in turn\n"
    "                         (0, the default here: every record a new one); no plan\n"
    "  --help                 this text\n";

int usageError(const std::string& message) {
    std::cerr << "lantrivex-gen-index: " << message << "\n" << kUsage;
    return 2;
}

bool parseCount(std::string_view text, std::uint64_t& value) {
    std::uint64_t factor = 1;
    if (!text.empty()) {
        switch (text.back()) {
        case 'K':
        case 'k':
            factor = 1ULL << 10;
            break;
        case 'M':
        case 'm':
            factor = 1ULL << 20;
            break;
        case 'G':
        case 'g':
            factor = 1ULL << 30;
            break;
        default:
            break;
        }
        if (factor != 1) {
            text.remove_suffix(1);
        }
    }
    std::uint64_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        n > UINT64_MAX / factor) {
        return false;
    }
    value = n * factor;
    return true;
}

bool parseRate(const std::string& text, double& value) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno != 0 ||
        !(v >= 0.0 && v <= 1.0)) {
        return false;
    }
    value = v;
    return true;
}

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        out.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// A CSV field, quoted when it holds a comma or a quote.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    lantrivex::IndexStreamOptions options;
    std::string output;
    std::string planFile;
    bool distinctGiven = false;
    bool packed = false;
    std::uint64_t packedDistinct = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--packed") {
            packed = true;
            continue;
        }
        if (i + 1 >= argc) {
            return usageError("unknown option or missing value: " + arg);
        }
        const std::string value = argv[++i];
        std::uint64_t n = 0;
        if (arg == "--output") {
            output = value;
        } else if (arg == "--plan") {
            planFile = value;
        } else if (arg == "--seed") {
            if (!parseCount(value, n)) {
                return usageError("bad seed: " + value);
            }
            options.seed = n;
        } else if (arg == "--size") {
            if (!parseCount(value, n)) {
                return usageError("bad size: " + value);
            }
            options.size = n;
        } else if (arg == "--distinct") {
            if (!parseCount(value, n)) {
                return usageError("bad number of signatures: " + value);
            }
            packedDistinct = n;
            if (n > 1000000) {
                n = 1000000; // checked below, unless the stream is packed
            }
            options.distinctSignatures = static_cast<std::size_t>(n);
            distinctGiven = true;
        } else if (arg == "--signatures") {
            options.signatures = splitList(value);
            for (const std::string& s : options.signatures) {
                const bool ok = s.size() == 8 && std::all_of(s.begin(), s.end(), [](char c) {
                                    return static_cast<unsigned char>(c) >= 0x21 &&
                                           static_cast<unsigned char>(c) <= 0x7F;
                                });
                if (!ok) {
                    return usageError("not a signature (eight characters from '!' to '~'): " + s);
                }
            }
        } else if (arg == "--case-variants") {
            if (!parseRate(value, options.caseVariantRate)) {
                return usageError("bad rate (0 to 1): " + value);
            }
        } else if (arg == "--near-misses") {
            if (!parseRate(value, options.nearMissRate)) {
                return usageError("bad rate (0 to 1): " + value);
            }
        } else if (arg == "--folders") {
            if (!parseRate(value, options.folderRate)) {
                return usageError("bad rate (0 to 1): " + value);
            }
        } else {
            return usageError("unknown option: " + arg);
        }
    }
    if (output.empty()) {
        return usageError("--output is required");
    }
    if (!options.signatures.empty() && !distinctGiven) {
        options.distinctSignatures = options.signatures.size();
    }
    if (!packed && packedDistinct > 1000000) {
        return usageError("bad number of signatures (at most 1000000): " +
                          std::to_string(packedDistinct));
    }
    if (packed && !planFile.empty()) {
        return usageError("--plan is not written for a packed stream");
    }

    std::FILE* out = output == "-" ? stdout : std::fopen(output.c_str(), "wb");
    if (out == nullptr) {
        std::cerr << "lantrivex-gen-index: cannot create " << output << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    if (packed) {
        options.distinctSignatures = 0; // the generator's own records are not used
    }
    lantrivex::IndexStreamGenerator generator(options);
    std::vector<std::byte> buffer(1 << 20);
    bool failed = false;
    for (std::uint64_t at = 0; packed && at < options.size && !failed; at += buffer.size()) {
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), options.size - at));
        lantrivex::writePackedRecords(std::span(buffer).first(n), at, packedDistinct);
        failed = std::fwrite(buffer.data(), 1, n, out) != n;
    }
    while (!packed && !generator.done()) {
        const std::size_t n = generator.generate(buffer);
        if (std::fwrite(buffer.data(), 1, n, out) != n) {
            failed = true;
            break;
        }
    }
    if (std::fflush(out) != 0 || (out != stdout && std::fclose(out) != 0)) {
        failed = true;
    }
    if (failed) {
        std::cerr << "lantrivex-gen-index: cannot write " << output << "\n";
        return 1;
    }

    if (!planFile.empty()) {
        std::ofstream plan(planFile, std::ios::binary | std::ios::trunc);
        for (const auto& s : generator.planned()) {
            plan << csvField(s.signature) << ',' << s.count << '\n';
        }
        plan << "total," << generator.plannedTotal() << '\n';
        if (!plan.flush()) {
            std::cerr << "lantrivex-gen-index: cannot write " << planFile << "\n";
            return 1;
        }
    }
    return 0;
}

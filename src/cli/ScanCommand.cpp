// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ScanCommand.h"

#include "analysis/SignatureWord.h"
#include "analysis/VolumeIndexReader.h"
#include "cli/CatalogueCommand.h"
#include "cli/RawFileStreamReader.h"
#include "cli/StreamNotifier.h"
#include "cli/TextOutput.h"
#include "cli/VerboseLogons.h"
#include "common/PercentText.h"
#include "signatures/SignatureLoader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <iomanip>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

namespace lantrivex::cli {

const char* const kScanUsage =
    R"(Usage: lantrivex-cli scan [--signatures FILE] [--format table|csv|json] [--lang en|fr]
                          [--verbose] VOLUME_ROOT...
       lantrivex-cli scan --raw [options] FILE...

Reads the index stream AFP_IdIndex of each Macintosh volume's root folder and prints, per volume,
the total number of signature occurrences and one row per Type/Creator signature: count, percent,
signature and description, by count descending (equal counts in order of first occurrence).

VOLUME_ROOT is a folder in Windows network form (\\SERVER\SHARE\folder: reached through the SMB
mounts of the mount table, or directly over SMB) or a local folder. Nothing is ever written.

Options:
  --signatures FILE   signature table to take descriptions from (default: Signatures.txt in the
                      settings folder, the program's own or ~/.config/lantrivex for an
                      installed program; missing file: three built-in rows)
  --format FORMAT     table (default; the locale's decimal separator), csv or json ("." always)
  --lang en|fr        language of the messages on standard error (default en)
  --raw               the operands are files holding a dumped index stream
  --verbose           tell on standard error, per server reached over SMB, the account used:
                      a Kerberos ticket (its principal), an account of the credentials file
                      (DOMAIN\USER and the file) or guest
  -h, --help          this text

csv:  volume,count,percent,signature,description (RFC 4180)
json: {"volumes":[{"volume":...,"total":N,"signatures":[{"signature":...,"count":N,
       "percent":"12.5","description":...}]}]}

Several volumes are read at the same time and printed in the order given. On a terminal, a
reading that takes more than a second shows the bytes read and the rate on standard error.

Exit status: 0 every volume was read, 1 some volume's index was unknown or could not be read
whole (told on standard error with the volume and the reason; that volume is not printed, the
others are), 2 usage error.
)";

namespace {

enum class Format { Table, Csv, Json };

struct ScanOptions {
    std::string signaturesFile;
    Format format = Format::Table;
    LanguageFlag language = kEnglish;
    bool raw = false;
    bool verbose = false;
    std::vector<std::string> operands;
};

struct VolumeReport {
    std::string volume;
    analysis::ScanResult result;
};

int usageError(CliContext& ctx, const std::string& problem) {
    ctx.err << "lantrivex-cli scan: " << problem << "\n\n" << kScanUsage;
    return kExitUsage;
}

// Parses the words after "scan"; nullopt (with the usage printed) on a mistake, or for --help.
std::optional<ScanOptions> parseOptions(const std::vector<std::string>& args, CliContext& ctx,
                                        int& exitCode) {
    ScanOptions options;
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string word = args[i];
        if (operandsOnly || word.empty() || word[0] != '-' || word == "-") {
            options.operands.push_back(word);
            continue;
        }
        if (word == "--") {
            operandsOnly = true;
            continue;
        }
        if (word == "-h" || word == "--help") {
            ctx.out << kScanUsage;
            exitCode = kExitOk;
            return std::nullopt;
        }
        if (word == "--raw") {
            options.raw = true;
            continue;
        }
        if (word == "--verbose") {
            options.verbose = true;
            continue;
        }
        std::string value;
        const auto equals = word.find('=');
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
            word.resize(equals);
        } else if (word == "--signatures" || word == "--format" || word == "--lang") {
            if (i + 1 >= args.size()) {
                exitCode = usageError(ctx, word + " needs a value");
                return std::nullopt;
            }
            value = args[++i];
        }
        if (word == "--signatures") {
            options.signaturesFile = value;
        } else if (word == "--format") {
            if (value == "table") {
                options.format = Format::Table;
            } else if (value == "csv") {
                options.format = Format::Csv;
            } else if (value == "json") {
                options.format = Format::Json;
            } else {
                exitCode = usageError(ctx, "unknown format '" + value + "'");
                return std::nullopt;
            }
        } else if (word == "--lang") {
            const auto language = languageOption(value);
            if (!language) {
                exitCode = usageError(ctx, "unknown language '" + value + "'");
                return std::nullopt;
            }
            options.language = *language;
        } else {
            exitCode = usageError(ctx, "unknown option '" + word + "'");
            return std::nullopt;
        }
    }
    if (options.operands.empty()) {
        exitCode = usageError(ctx, options.raw ? "no file given" : "no volume root given");
        return std::nullopt;
    }
    return options;
}

void printTable(CliContext& ctx, const std::vector<VolumeReport>& reports,
                const signatures::SignatureTable& table) {
    bool first = true;
    for (const VolumeReport& report : reports) {
        if (!first) {
            ctx.out << '\n';
        }
        first = false;
        ctx.out << visibleText(report.volume) << '\n' << "Total: " << report.result.total << '\n';
        std::size_t countWidth = 1;
        std::size_t percentWidth = 1;
        std::size_t signatureWidth = displayWidth("Signature");
        for (const auto& entry : report.result.signatures) {
            countWidth = std::max(countWidth, std::to_string(entry.count).size());
            percentWidth = std::max(
                percentWidth,
                percentText(entry.count, report.result.total, ctx.decimalSeparator).size());
            signatureWidth = std::max(signatureWidth, displayWidth(visibleText(entry.signature)));
        }
        const auto pad = [](std::string_view text, std::size_t width) {
            return std::string(width - std::min(width, displayWidth(text)), ' ');
        };
        const auto line = [&](std::string_view count, std::string_view percent,
                              std::string_view signature, std::string_view description) {
            ctx.out << pad(count, countWidth) << count << "  " << pad(percent, percentWidth)
                    << percent << "  " << signature << pad(signature, signatureWidth) << "  "
                    << description << '\n';
        };
        line("#", "%", "Signature", "Type");
        for (const auto& entry : report.result.signatures) {
            line(std::to_string(entry.count),
                 percentText(entry.count, report.result.total, ctx.decimalSeparator),
                 visibleText(entry.signature), visibleText(table.description(entry.signature)));
        }
    }
}

// The descriptions of the table's eight-character signatures by their eight bytes with ASCII
// letters made small: what table.description() finds for a signature of a scan (eight characters
// from 0x21 to 0x7F), without making a text for each of millions of rows. An open-addressing table
// of at least twice as many places as keys: a row whose signature has no description (most, in a
// large index) costs one or two looks at places held in the cache.
class DescriptionIndex {
public:
    explicit DescriptionIndex(const signatures::SignatureTable& table) : table_(table) {
        std::size_t keys = 0;
        for (const auto& entry : table.colDescriptions.entries()) {
            keys += entry.key.size() == analysis::Signature::kLength ? 1 : 0;
        }
        std::size_t placeCount = 16;
        while (placeCount < 2 * keys) {
            placeCount *= 2;
        }
        places_.resize(placeCount);
        seen_.assign(kSeenBits / 64, 0);
        for (const auto& entry : table.colDescriptions.entries()) {
            // Keys with other bytes than 0x21..0x7F never match a scanned signature.
            const std::uint64_t word = entry.key.size() == analysis::Signature::kLength
                                           ? analysis::loadSignatureWord(entry.key.data())
                                           : 0;
            if (!analysis::isSignatureWord(word)) {
                continue;
            }
            const std::uint64_t key = analysis::foldSignatureWord(word);
            std::size_t i = placeOf(key);
            while (places_[i].key != 0 && places_[i].key != key) {
                i = (i + 1) & (places_.size() - 1);
            }
            if (places_[i].key == 0) { // the first of equal keys wins, as in the table
                places_[i] = Place{key, entry.item};
                const std::size_t bit = seenBit(key);
                seen_[bit / 64] |= std::uint64_t{1} << (bit % 64);
            }
        }
    }
    std::string_view find(const analysis::Signature& signature) const {
        const std::uint64_t word = analysis::loadSignatureWord(signature.text().data());
        if (!analysis::isSignatureWord(word)) {
            return table_.description(signature);
        }
        const std::uint64_t key = analysis::foldSignatureWord(word);
        const std::size_t bit = seenBit(key);
        if ((seen_[bit / 64] >> (bit % 64) & 1) == 0) {
            return {};
        }
        for (std::size_t i = placeOf(key);; i = (i + 1) & (places_.size() - 1)) {
            if (places_[i].key == key) {
                return places_[i].description;
            }
            if (places_[i].key == 0) {
                return {};
            }
        }
    }

private:
    struct Place {
        std::uint64_t key = 0; // 0: free (a signature's bytes are never 0)
        std::string_view description;
    };
    // One bit per hash of a key, set for the table's keys: most signatures of a large index have
    // no description, and their bit (in 8 KiB that stay in the cache) says so without a search.
    static constexpr std::size_t kSeenBits = std::size_t{1} << 16;
    static std::size_t seenBit(std::uint64_t key) {
        return static_cast<std::size_t>((key * 0xC2B2AE3D27D4EB4FULL) >> 48);
    }
    std::size_t placeOf(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & (places_.size() - 1);
    }
    const signatures::SignatureTable& table_;
    std::vector<Place> places_;
    std::vector<std::uint64_t> seen_;
};

// The CSV lines of the rows [first, last) of a volume, written straight into `text`.
std::string csvRows(const VolumeReport& report, std::string_view volume,
                    const DescriptionIndex& descriptions, std::size_t first, std::size_t last) {
    std::string text(64 * (last - first), '\0');
    std::size_t used = 0;
    // Rows come by count: the start of the line (volume, count, percent) is made once for each
    // run of equal counts (a stream of distinct signatures is one long run).
    std::int64_t shownCount = -1;
    std::string lineStart;
    for (std::size_t row = first; row < last; ++row) {
        const analysis::SignatureCount& entry = report.result.signatures[row];
        if (entry.count != shownCount) {
            shownCount = entry.count;
            lineStart = std::string(volume) + ',' + std::to_string(entry.count) + ',' +
                        percentText(entry.count, report.result.total, '.') + ',';
        }
        const std::string_view description = descriptions.find(entry.signature);
        constexpr std::size_t kSignatureField = 2 * analysis::Signature::kLength + 2;
        const std::size_t most = lineStart.size() + kSignatureField + 2 * description.size() + 5;
        if (used + most > text.size()) {
            text.resize(2 * text.size() + most);
        }
        char* at = std::copy(lineStart.begin(), lineStart.end(), text.data() + used);
        // A scanned signature has no blank, CR or LF: it is quoted only for a comma or a double
        // quote.
        const std::uint64_t word = analysis::loadSignatureWord(entry.signature.text().data());
        if (analysis::isSignatureWord(word) && !analysis::signatureWordHasByte(word, ',') &&
            !analysis::signatureWordHasByte(word, '"')) {
            std::memcpy(at, &word, sizeof word);
            at += sizeof word;
        } else {
            at = putCsvField(at, entry.signature.text());
        }
        *at++ = ',';
        if (!description.empty()) {
            at = putCsvField(at, description);
        }
        *at++ = '\r';
        *at++ = '\n';
        used = static_cast<std::size_t>(at - text.data());
    }
    text.resize(used);
    return text;
}

void printCsv(CliContext& ctx, const std::vector<VolumeReport>& reports,
              const signatures::SignatureTable& table) {
    const DescriptionIndex descriptions(table);
    ctx.out << "volume,count,percent,signature,description\r\n";
    // Rows are written in pieces of kPieceRows; with a second processor, the second piece of each
    // pair is made on another thread while this one makes the first.
    constexpr std::size_t kPieceRows = std::size_t{1} << 15;
    const bool twoThreads = std::thread::hardware_concurrency() > 1;
    const auto write = [&ctx](const std::string& text) {
        ctx.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    };
    for (const VolumeReport& report : reports) {
        const std::string volume = csvField(report.volume);
        const std::size_t rows = report.result.signatures.size();
        for (std::size_t first = 0; first < rows; first += 2 * kPieceRows) {
            const std::size_t middle = std::min(rows, first + kPieceRows);
            const std::size_t last = std::min(rows, middle + kPieceRows);
            std::future<std::string> second;
            if (twoThreads && middle < last) {
                second = std::async(std::launch::async, [&, middle, last] {
                    return csvRows(report, volume, descriptions, middle, last);
                });
            }
            write(csvRows(report, volume, descriptions, first, middle));
            write(second.valid() ? second.get()
                                 : csvRows(report, volume, descriptions, middle, last));
        }
    }
}

void printJson(CliContext& ctx, const std::vector<VolumeReport>& reports,
               const signatures::SignatureTable& table) {
    ctx.out << "{\"volumes\":[";
    for (std::size_t v = 0; v < reports.size(); ++v) {
        const VolumeReport& report = reports[v];
        ctx.out << (v ? "," : "") << "{\"volume\":" << jsonString(report.volume)
                << ",\"total\":" << report.result.total << ",\"signatures\":[";
        for (std::size_t s = 0; s < report.result.signatures.size(); ++s) {
            const auto& entry = report.result.signatures[s];
            ctx.out << (s ? "," : "") << "{\"signature\":" << jsonString(entry.signature)
                    << ",\"count\":" << entry.count << ",\"percent\":"
                    << jsonString(percentText(entry.count, report.result.total, '.'))
                    << ",\"description\":" << jsonString(table.description(entry.signature)) << '}';
        }
        ctx.out << "]}";
    }
    ctx.out << "]}\n";
}

// One volume read: what was read, and the messages its reading gave (told in the order of the
// operands once all are read).
struct VolumeReading {
    std::string volume;
    analysis::VolumeIndexReading reading;
    std::string messages;
};

// The bytes read so far of every volume, shown on a terminal as one line on standard error once
// the reading has taken more than a second, and taken off again at the end.
class ReadMeter {
public:
    ReadMeter(std::ostream& err, bool shown) : err_(err), shown_(shown) {
        if (shown_) {
            painter_ = std::thread([this] { paintUntilDone(); });
        }
    }
    ~ReadMeter() {
        if (!shown_) {
            return;
        }
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        painter_.join();
    }
    ReadMeter(const ReadMeter&) = delete;
    ReadMeter& operator=(const ReadMeter&) = delete;

    void add(std::uint64_t bytes) { bytes_ += bytes; }

private:
    void paintUntilDone() {
        using namespace std::chrono_literals;
        const auto start = std::chrono::steady_clock::now();
        bool painted = false;
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, 200ms, [this] { return done_; })) {
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (seconds < 1.0) {
                continue;
            }
            const double read = static_cast<double>(bytes_.load());
            std::ostringstream line;
            line << std::fixed << std::setprecision(1) << "\r" << read / (1024 * 1024)
                 << " MiB read, " << read / 1024 / seconds << " KiB/s\x1b[K";
            err_ << line.str() << std::flush;
            painted = true;
        }
        if (painted) {
            err_ << "\r\x1b[K" << std::flush;
        }
    }

    std::ostream& err_;
    const bool shown_;
    std::atomic<std::uint64_t> bytes_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread painter_;
};

// Reads every volume, up to kVolumesReadAtOnce at a time; the results in the order given.
constexpr std::size_t kVolumesReadAtOnce = 8;

std::vector<VolumeReading> readVolumes(const std::vector<std::string>& volumes,
                                       platform::NamedStreamReader& streams, LanguageFlag language,
                                       CliContext& ctx) {
    std::vector<VolumeReading> readings(volumes.size());
    ReadMeter meter(ctx.err, ctx.errIsTerminal);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < volumes.size(); i = next++) {
            std::ostringstream messages;
            StreamNotifier notifier(messages);
            std::uint64_t counted = 0;
            readings[i].volume = volumes[i];
            readings[i].reading =
                analysis::ReadWholeVolumeIndex(volumes[i], streams, notifier, language,
                                               [&](std::uint64_t bytesRead, std::int64_t) {
                                                   meter.add(bytesRead - counted);
                                                   counted = bytesRead;
                                               });
            readings[i].messages = messages.str();
        }
    };
    const std::size_t workers = std::min(volumes.size(), kVolumesReadAtOnce);
    if (workers <= 1) {
        work();
        return readings;
    }
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers; ++w) {
        threads.emplace_back(work);
    }
    for (std::thread& t : threads) {
        t.join();
    }
    return readings;
}

} // namespace

int runScanCommand(const std::vector<std::string>& args, CliContext& ctx) {
    int exitCode = kExitOk;
    const auto options = parseOptions(args, ctx, exitCode);
    if (!options) {
        return exitCode;
    }

    StreamNotifier notifier(ctx.err);
    signatures::SignatureTable table;
    table.sSignaturesFile =
        options->signaturesFile.empty()
            ? ctx.settingsFolder + ctx.platform.location.pathSeparator() + "Signatures.txt"
            : options->signaturesFile;
    signatures::LoadSignatures(table, ctx.platform.files, notifier, options->language);

    RawFileStreamReader rawFiles;
    platform::NamedStreamReader& streams =
        options->raw ? static_cast<platform::NamedStreamReader&>(rawFiles) : ctx.platform.streams;

    std::vector<VolumeReport> reports;
    const VerboseLogons logons(options->verbose, ctx.err, options->language);
    for (VolumeReading& reading : readVolumes(options->operands, streams, options->language, ctx)) {
        ctx.err << reading.messages;
        if (!reading.reading.result || !reading.reading.whole) {
            exitCode = kExitSomeUnread; // told above, with the volume and the reason
            continue;
        }
        // By count, descending; equal counts keep the order of first occurrence.
        analysis::SortByCountDescending(reading.reading.result->signatures);
        reports.push_back(VolumeReport{reading.volume, std::move(*reading.reading.result)});
    }

    if (exitCode != kExitOk) { // refused over SMB, perhaps for a credentials file it cannot use
        tellRegistryProblems(ctx, options->language, true);
    }

    switch (options->format) {
    case Format::Table:
        printTable(ctx, reports, table);
        break;
    case Format::Csv:
        printCsv(ctx, reports, table);
        break;
    case Format::Json:
        printJson(ctx, reports, table);
        break;
    }
    ctx.out.flush();
    return exitCode;
}

} // namespace lantrivex::cli

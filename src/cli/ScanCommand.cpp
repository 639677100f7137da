#include "cli/ScanCommand.h"

#include "analysis/VolumeIndexReader.h"
#include "cli/RawFileStreamReader.h"
#include "cli/StreamNotifier.h"
#include "cli/TextOutput.h"
#include "common/PercentText.h"
#include "signatures/SignatureLoader.h"

#include <algorithm>
#include <iomanip>
#include <optional>
#include <unordered_map>

namespace lantrivex::cli {

const char* const kScanUsage =
    R"(Usage: lantrivex-cli scan [--signatures FILE] [--format table|csv|json] [--lang en|fr]
                          VOLUME_ROOT...
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
  -h, --help          this text

csv:  volume,count,percent,signature,description (RFC 4180)
json: {"volumes":[{"volume":...,"total":N,"signatures":[{"signature":...,"count":N,
       "percent":"12.5","description":...}]}]}

Exit status: 0 every volume was read, 1 some volume's index was unknown (the others are
printed), 2 usage error.
)";

namespace {

enum class Format { Table, Csv, Json };

struct ScanOptions {
    std::string signaturesFile;
    Format format = Format::Table;
    LanguageFlag language = kEnglish;
    bool raw = false;
    std::vector<std::string> operands;
};

// Output is written in pieces of about this size.
constexpr std::size_t kOutputPiece = std::size_t{1} << 16;

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

// The descriptions of the table's eight-character signatures under their eight bytes with ASCII
// letters made small: what table.description() finds for a signature of a scan (eight characters
// from 0x21 to 0x7F), without making a text for each of millions of rows.
class DescriptionIndex {
public:
    explicit DescriptionIndex(const signatures::SignatureTable& table) {
        for (const auto& entry : table.colDescriptions.entries()) {
            if (entry.key.size() == analysis::Signature::kLength) {
                byKey_.emplace(folded(entry.key), entry.item);
            }
        }
    }
    std::string_view find(std::string_view signature) const {
        const auto it = byKey_.find(folded(signature));
        return it == byKey_.end() ? std::string_view() : std::string_view(it->second);
    }

private:
    static std::uint64_t folded(std::string_view eight) {
        std::uint64_t key = 0;
        for (std::size_t i = 0; i < analysis::Signature::kLength && i < eight.size(); ++i) {
            auto c = static_cast<unsigned char>(eight[i]);
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<unsigned char>(c + ('a' - 'A'));
            }
            key = key << 8 | c;
        }
        return key;
    }
    std::unordered_map<std::uint64_t, std::string_view> byKey_;
};

void printCsv(CliContext& ctx, const std::vector<VolumeReport>& reports,
              const signatures::SignatureTable& table) {
    const DescriptionIndex descriptions(table);
    // Lines are gathered in a buffer of bounded size and written in large pieces.
    std::string buffer = "volume,count,percent,signature,description\r\n";
    for (const VolumeReport& report : reports) {
        const std::string volume = csvField(report.volume);
        // Rows come by count: the count and percent texts are made once for each run of equal
        // counts (a stream of distinct signatures is one long run).
        std::int64_t shownCount = -1;
        std::string countAndPercent;
        for (const auto& entry : report.result.signatures) {
            if (entry.count != shownCount) {
                shownCount = entry.count;
                countAndPercent = ',' + std::to_string(entry.count) + ',' +
                                  percentText(entry.count, report.result.total, '.') + ',';
            }
            buffer += volume;
            buffer += countAndPercent;
            appendCsvField(buffer, entry.signature);
            buffer += ',';
            appendCsvField(buffer, descriptions.find(entry.signature));
            buffer += "\r\n";
            if (buffer.size() >= kOutputPiece) {
                ctx.out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                buffer.clear();
            }
        }
    }
    ctx.out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
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
    for (const std::string& operand : options->operands) {
        auto result = analysis::ReadVolumeIndex(operand, streams, notifier, options->language);
        if (!result) {
            exitCode = kExitSomeUnread;
            ctx.err << "  (" << visibleText(operand) << ")\n";
            continue;
        }
        // By count, descending; equal counts keep the order of first occurrence.
        analysis::SortByCountDescending(result->signatures);
        reports.push_back(VolumeReport{operand, std::move(*result)});
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CatalogueCommand.h"

#include "analysis/CatalogueModel.h"
#include "cli/TextOutput.h"
#include "cli/VerboseLogons.h"
#include "discovery/ConnectedMachines.h"
#include "discovery/DriveItems.h"
#include "discovery/MacServerLookup.h"
#include "shell/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace lantrivex::cli {

const char* const kCatalogueUsage =
    R"(Usage: lantrivex-cli catalogue [--product 0|1|2] [--format text|json] [--lang en|fr]
                              [--verbose]

Prints the catalogue that the window builds: this computer and every machine it is connected to
(the SMB mounts of the mount table), with its connections, the name of its Macintosh file server
when its registry names one, and that server's volumes with their network root, whether the root
folder was found (tree image 3) or not (image 8), and their panel number. Machines and volumes
come in the tree's order: by name, letter case aside, accented letters among their plain ones.
Nothing is ever written.

Options:
  --product CODE   the Macintosh file server product whose registry keys are read:
                   0 Microsoft SFM (MacFile), 1 Cyan Software MacServerIP,
                   2 Intergraph ExtremeZ-IP (default: the setting "ServeurMac" of
                   Lantrivex.ini in the settings folder, else 0)
  --format FORMAT  text (default) or json
  --lang en|fr     language of the text form's headings and of the messages on standard
                   error (default en)
  --verbose        tell on standard error, per server, the account each registry was read
                   with: a Kerberos ticket (its principal), an account of the credentials file
                   (DOMAIN\USER and the file) or guest
  -h, --help       this text

A registry export that is there but cannot be read, or is damaged, is told on standard error with
its file and line; its machine cannot be reached, and the rest is printed as usual. Each machine
whose registry could not tell its Macintosh server or volumes is told on standard error with the
reason (no answer in time, connection refused, unknown name, a server that speaks only SMB1,
logon refused, access denied, no key of the product, a damaged export).

json: {"machines":[{"name":...,"connections":...,"reason":null or "timed-out",
       "server":null or {"name":...,"volumes":[{"name":...,"root":...,"found":true,
       "panel":1}]}}]}
      reason: timed-out, connection-refused, name-not-found, smb1-only, logon-refused,
      access-denied, no-product-key, damaged-export, credentials-unusable,
      ticket-cache-empty, ticket-cache-corrupt, ticket-expired, ticket-refused,
      server-by-address, unreachable

Environment:
  LANTRIVEX_REGISTRY_DIR  folder of the registry exports, one per machine (NTSRV.reg);
                          default: Registry in the settings folder. A machine without an
                          export cannot be reached.
  LANTRIVEX_MOUNTS        mount table to read instead of /proc/self/mounts (same format)

The settings folder is the program's own folder; an installed Linux program's is
~/.config/lantrivex ($XDG_CONFIG_HOME/lantrivex).

Exit status: 0 (also when some export could not be read), or 2 for a usage error.
)";

const char* const kDrivesUsage = R"(Usage: lantrivex-cli drives [--lang en|fr]

Prints the lines of the drives dialog: every mounted file system that holds data, by its mount
point, a tab, and its kind (Local drive, Removable drive, CD-Rom, Virtual drive, Network drive),
or for a network drive mounted from a Windows share, the share (server\share). Nothing is ever
written.

Options:
  --lang en|fr  language of the kind texts (default en)
  -h, --help    this text

Environment:
  LANTRIVEX_MOUNTS  mount table to read instead of /proc/self/mounts (same format)

Exit status: 0, or 2 for a usage error.
)";

namespace {

enum class Format { Text, Json };

struct Options {
    std::optional<discovery::ProductCode> product;
    Format format = Format::Text;
    LanguageFlag language = kEnglish;
    bool verbose = false;
};

int usageError(CliContext& ctx, const char* command, const char* usage,
               const std::string& problem) {
    ctx.err << "lantrivex-cli " << command << ": " << problem << "\n\n" << usage;
    return kExitUsage;
}

// Reads --name VALUE and --name=VALUE options; nullopt (exit code set) on a mistake or --help.
std::optional<Options> parseOptions(const std::vector<std::string>& args, CliContext& ctx,
                                    const char* command, const char* usage,
                                    const std::vector<std::string>& known, int& exitCode) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string word = args[i];
        if (word == "-h" || word == "--help") {
            ctx.out << usage;
            exitCode = kExitOk;
            return std::nullopt;
        }
        if (word == "--verbose" && std::find(known.begin(), known.end(), word) != known.end()) {
            options.verbose = true;
            continue;
        }
        std::string value;
        const auto equals = word.find('=');
        if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = word.substr(equals + 1);
            word.resize(equals);
        } else if (std::find(known.begin(), known.end(), word) != known.end()) {
            if (i + 1 >= args.size()) {
                exitCode = usageError(ctx, command, usage, word + " needs a value");
                return std::nullopt;
            }
            value = args[++i];
        }
        if (std::find(known.begin(), known.end(), word) == known.end()) {
            exitCode = usageError(ctx, command, usage,
                                  (word.rfind("-", 0) == 0 ? "unknown option '" : "unexpected '") +
                                      word + "'");
            return std::nullopt;
        }
        if (word == "--product") {
            if (value != "0" && value != "1" && value != "2") {
                exitCode = usageError(ctx, command, usage, "unknown product '" + value + "'");
                return std::nullopt;
            }
            options.product = static_cast<discovery::ProductCode>(value[0] - '0');
        } else if (word == "--format") {
            if (value == "text") {
                options.format = Format::Text;
            } else if (value == "json") {
                options.format = Format::Json;
            } else {
                exitCode = usageError(ctx, command, usage, "unknown format '" + value + "'");
                return std::nullopt;
            }
        } else if (word == "--lang") {
            const auto language = languageOption(value);
            if (!language) {
                exitCode = usageError(ctx, command, usage, "unknown language '" + value + "'");
                return std::nullopt;
            }
            options.language = *language;
        }
    }
    return options;
}

// The product setting "ServeurMac" of Lantrivex.ini in the settings folder, read as the window
// reads it.
discovery::ProductCode productSetting(CliContext& ctx) {
    const std::string iniPath = ctx.settingsFolder + ctx.platform.location.pathSeparator() +
                                std::string(shell::kSettingsFileName);
    return shell::Settings(ctx.platform.profiles, iniPath).readServeurMac();
}

std::string pad(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t w = displayWidth(text);
    if (w < width) {
        out.append(width - w, ' ');
    }
    return out;
}

void printText(CliContext& ctx, const analysis::Catalogue& catalogue,
               discovery::ProductCode product, LanguageFlag language) {
    const auto t = [language](std::string_view french, std::string_view english) {
        return tr(language, french, english);
    };
    const std::string_view found = t("trouvé", "found");
    const std::string_view missing = t("absent", "missing");
    const std::string_view folder = t("Dossier", "Folder");
    const std::size_t folderWidth =
        std::max({displayWidth(folder), displayWidth(found), displayWidth(missing)});
    ctx.out << t("Produit: ", "Product: ") << discovery::productCaption(product) << '\n';
    for (std::size_t m : catalogue.childrenInTreeOrder(-1)) {
        const analysis::CatalogueNode& machine = catalogue.nodes[m];
        ctx.out << '\n' << visibleText(machine.text);
        if (!machine.tag.empty()) {
            ctx.out << t("  connexions: ", "  connections: ") << visibleText(machine.tag);
        }
        ctx.out << '\n';
        const auto servers = catalogue.childrenInTreeOrder(static_cast<int>(m));
        if (servers.empty()) {
            ctx.out << t("  pas de serveur Macintosh\n", "  no Macintosh server\n");
        }
        for (std::size_t s : servers) {
            ctx.out << t("  Serveur Macintosh: ", "  Macintosh server: ")
                    << visibleText(catalogue.nodes[s].text) << '\n';
            const auto volumes = catalogue.childrenInTreeOrder(static_cast<int>(s));
            if (volumes.empty()) {
                ctx.out << t("    aucun volume\n", "    no volume\n");
                continue;
            }
            const std::string_view panel = t("Panneau", "Panel");
            const std::string_view name = "Volume";
            std::size_t nameWidth = displayWidth(name);
            std::size_t panelWidth = displayWidth(panel);
            for (std::size_t v : volumes) {
                nameWidth = std::max(nameWidth, displayWidth(visibleText(catalogue.nodes[v].text)));
                panelWidth = std::max(panelWidth, std::to_string(catalogue.nodes[v].panel).size());
            }
            ctx.out << "    " << pad(panel, panelWidth) << "  " << pad(folder, folderWidth) << "  "
                    << pad(name, nameWidth) << "  " << t("Racine", "Root") << '\n';
            for (std::size_t v : volumes) {
                const analysis::CatalogueNode& volume = catalogue.nodes[v];
                ctx.out << "    " << pad(std::to_string(volume.panel), panelWidth) << "  "
                        << pad(volume.image == analysis::kImageVolume ? found : missing,
                               folderWidth)
                        << "  " << pad(visibleText(volume.text), nameWidth) << "  "
                        << visibleText(volume.key) << '\n';
            }
        }
    }
}

} // namespace

void tellRegistryProblems(CliContext& ctx, LanguageFlag language, bool credentialsOnly) {
    for (const platform::RegistryProblem& problem : ctx.platform.registry.takeProblems()) {
        if (credentialsOnly && !problem.credentials) {
            continue;
        }
        ctx.err << "Lantrivex: "
                << (problem.credentials
                        ? (problem.damaged
                               ? tr(language, "Fichier d'identification SMB inutilisable: ",
                                    "Unusable SMB credentials file: ")
                               : tr(language,
                                    "Fichier d'identification SMB: ", "SMB credentials file: "))
                    : problem.damaged
                        ? tr(language,
                             "Export du registre endommagé: ", "Damaged registry export: ")
                        : tr(language,
                             "Export du registre illisible: ", "Unreadable registry export: "))
                << visibleText(problem.file);
        if (problem.line > 0) {
            ctx.err << tr(language, ", ligne ", ", line ") << problem.line;
        }
        ctx.err << ": " << visibleText(language == kFrench ? problem.french : problem.english)
                << '\n';
    }
}

namespace {

// Each machine whose registry could not tell its server or volumes, with the reason.
void tellMachineFailures(CliContext& ctx, const analysis::Catalogue& catalogue,
                         LanguageFlag language) {
    for (const analysis::CatalogueNode& node : catalogue.nodes) {
        if (node.kind == analysis::CatalogueNodeKind::Machine &&
            node.failure != platform::AccessFailure::None) {
            ctx.err << "Lantrivex: " << visibleText(node.text) << ": "
                    << platform::accessFailureText(node.failure, language) << '\n';
        }
    }
}

void printJson(CliContext& ctx, const analysis::Catalogue& catalogue) {
    ctx.out << "{\"machines\":[";
    bool firstMachine = true;
    for (std::size_t m : catalogue.childrenInTreeOrder(-1)) {
        const analysis::CatalogueNode& machine = catalogue.nodes[m];
        ctx.out << (firstMachine ? "" : ",") << "{\"name\":" << jsonString(machine.text)
                << ",\"connections\":" << jsonString(machine.tag) << ",\"reason\":"
                << (machine.failure == platform::AccessFailure::None
                        ? std::string("null")
                        : jsonString(platform::accessFailureId(machine.failure)))
                << ",\"server\":";
        firstMachine = false;
        const auto servers = catalogue.childrenInTreeOrder(static_cast<int>(m));
        if (servers.empty()) {
            ctx.out << "null}";
            continue;
        }
        const std::size_t s = servers.front(); // a machine has one Macintosh server node
        ctx.out << "{\"name\":" << jsonString(catalogue.nodes[s].text) << ",\"volumes\":[";
        bool firstVolume = true;
        for (std::size_t v : catalogue.childrenInTreeOrder(static_cast<int>(s))) {
            const analysis::CatalogueNode& volume = catalogue.nodes[v];
            ctx.out << (firstVolume ? "" : ",") << "{\"name\":" << jsonString(volume.text)
                    << ",\"root\":" << jsonString(volume.key)
                    << ",\"found\":" << (volume.image == analysis::kImageVolume ? "true" : "false")
                    << ",\"panel\":" << volume.panel << '}';
            firstVolume = false;
        }
        ctx.out << "]}}";
    }
    ctx.out << "]}\n";
}

} // namespace

int runCatalogueCommand(const std::vector<std::string>& args, CliContext& ctx) {
    int exitCode = kExitOk;
    const auto options = parseOptions(args, ctx, "catalogue", kCatalogueUsage,
                                      {"--product", "--format", "--lang", "--verbose"}, exitCode);
    if (!options) {
        return exitCode;
    }
    const discovery::ProductCode product =
        discovery::effectiveProduct(options->product.value_or(productSetting(ctx)));

    const VerboseLogons logons(options->verbose, ctx.err, options->language);
    discovery::ConnectedMachines machines;
    discovery::EnumConnectedDrives(ctx.platform.connections, machines);
    discovery::MacServerLookup lookup(ctx.platform.registry, product);
    ctx.platform.registry.takeProblems(); // what earlier work met is not this rebuild's
    const analysis::Catalogue catalogue =
        analysis::BuildCatalogue(machines, lookup, ctx.platform.folders);
    tellRegistryProblems(ctx, options->language);
    tellMachineFailures(ctx, catalogue, options->language);

    if (options->format == Format::Json) {
        printJson(ctx, catalogue);
    } else {
        printText(ctx, catalogue, product, options->language);
    }
    ctx.out.flush();
    return kExitOk;
}

int runDrivesCommand(const std::vector<std::string>& args, CliContext& ctx) {
    int exitCode = kExitOk;
    const auto options = parseOptions(args, ctx, "drives", kDrivesUsage, {"--lang"}, exitCode);
    if (!options) {
        return exitCode;
    }
    discovery::ConnectedMachines machines;
    discovery::EnumConnectedDrives(ctx.platform.connections, machines);
    for (const std::string& item :
         discovery::DriveItems(ctx.platform.drives, machines.lstDrives, options->language)) {
        ctx.out << item << '\n';
    }
    ctx.out.flush();
    return kExitOk;
}

} // namespace lantrivex::cli

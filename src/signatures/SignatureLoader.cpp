// SPDX-License-Identifier: GPL-3.0-or-later
#include "signatures/SignatureLoader.h"

#include "signatures/SignatureFile.h"

#include <string>

namespace lantrivex::signatures {
namespace {

using platform::MessageIcon;

struct DefaultRow {
    std::string_view signature;
    std::string_view extension;
    std::string_view description;
};

constexpr DefaultRow kDefaultRows[] = {
    {"W6BNMSWD", "doc", "Word 6 Document"},
    {"WDBNMSWD", "doc", "Word 3/4/5 Macintosh Document"},
    {"XDOCXPR3", "qxd", "Quark XPress Document"},
};

void showDuplicate(platform::Notifier& notifier, LanguageFlag nLangue, std::string_view signature) {
    std::string text(tr(
        nLangue, "Doublon dans le fichier des Signatures: ", "Duplicate key in Signatures file: "));
    text += signature;
    notifier.message(text, MessageIcon::Exclamation);
}

// A file of many duplicates would otherwise ask for as many clicks: after this many boxes, one
// closing box tells how many more there were.
constexpr std::int64_t kDuplicateBoxes = 10;

void showMoreDuplicates(platform::Notifier& notifier, LanguageFlag nLangue, std::int64_t more) {
    std::string text(tr(nLangue, "Autres doublons dans le fichier des Signatures: ",
                        "More duplicate keys in Signatures file: "));
    text += std::to_string(more);
    notifier.message(text, MessageIcon::Exclamation);
}

void showUnreadable(platform::Notifier& notifier, LanguageFlag nLangue, std::string_view path) {
    std::string text(tr(nLangue, "Fichier Signatures illisible:", "Unreadable Signatures file:"));
    text += "\r\n";
    text += path;
    notifier.message(text, MessageIcon::Critical);
}

} // namespace

std::string CorruptedFileText(LanguageFlag nLangue, std::string_view path, std::int32_t rowsRead) {
    std::string text(tr(nLangue, "Fichier Signatures endommagé:", "Corrupted Signatures file:"));
    text += "\r\n";
    text += path;
    text += "\r\n";
    text += tr(nLangue, "Ligne:", "Line:");
    text += std::to_string(rowsRead);
    return text;
}

void SetDefaultSignatures(SignatureTable& table) {
    table.clear();
    for (const DefaultRow& row : kDefaultRows) {
        table.colExtensions.add(row.signature, row.extension);
        table.colDescriptions.add(row.signature, row.description);
    }
}

void LoadSignatures(SignatureTable& table, platform::FileSystem& files,
                    platform::Notifier& notifier, LanguageFlag nLangue) {
    table.nSignatures = 0;
    table.clear();

    if (!files.fileExists(table.sSignaturesFile)) {
        SetDefaultSignatures(table);
        return;
    }
    const auto bytes = files.readFile(table.sSignaturesFile);
    if (!bytes) {
        // The file is there but locked or forbidden: say so, work with the defaults, and leave
        // the file alone.
        showUnreadable(notifier, nLangue, table.sSignaturesFile);
        SetDefaultSignatures(table);
        return;
    }

    const SignatureFileContent content = parseSignatureFile(*bytes);
    std::int64_t duplicates = 0;
    for (const SignatureRecord& record : content.records) {
        // Both collections hold the same keys, so the extension side answers for both.
        if (!table.colExtensions.add(record.signature, record.extension)) {
            if (++duplicates <= kDuplicateBoxes) {
                showDuplicate(notifier, nLangue, record.signature);
            }
            continue;
        }
        table.colDescriptions.add(record.signature, record.description);
        ++table.nSignatures;
    }
    if (duplicates > kDuplicateBoxes) {
        showMoreDuplicates(notifier, nLangue, duplicates - kDuplicateBoxes);
    }
    if (!content.complete) {
        notifier.message(CorruptedFileText(nLangue, table.sSignaturesFile, table.nSignatures),
                         MessageIcon::Critical);
        SetDefaultSignatures(table);
    }
}

} // namespace lantrivex::signatures

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SignatureManager.h"

#include "common/LetterCase.h"
#include "common/Utf8.h"
#include "signatures/SignatureLoader.h"

#include <algorithm>

namespace lantrivex::shell {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The characters a Windows file name, and so an extension, cannot hold.
bool hasForbiddenExtensionCharacter(std::string_view extension) {
    return extension.find_first_of("\\/:*?<>|\"") != std::string_view::npos;
}

std::string rowKey(std::string_view signature) {
    std::string key = "K";
    key += signature;
    return key;
}

// The list's text order: letter case ignored (as the keys ignore it), then the exact text (so the
// order is total).
int compareText(std::string_view a, std::string_view b) {
    const int folded = foldLetterCase(a).compare(foldLetterCase(b));
    if (folded != 0) {
        return folded < 0 ? -1 : 1;
    }
    const int exact = a.compare(b);
    return exact < 0 ? -1 : (exact > 0 ? 1 : 0);
}

// The refusals of a text that the file cannot hold.
std::string storableMessage(LanguageFlag nLangue, signatures::RecordProblem problem) {
    if (problem == signatures::RecordProblem::DoubleQuote) {
        return std::string(
            tr(nLangue, "Caractère invalide (guillemet) dans la signature ou le type Macintosh",
               "Invalid character (double quote) in signature or Macintosh type"));
    }
    return std::string(tr(nLangue, "Caractère non admis dans le fichier des Signatures",
                          "Character not allowed in Signatures file"));
}

const std::string& columnText(const SignatureRow& row, int column) {
    switch (column) {
    case 1:
        return row.extension;
    case 2:
        return row.description;
    default:
        return row.signature;
    }
}

} // namespace

SignatureManagerCaptions signatureManagerCaptions(LanguageFlag nLangue) {
    SignatureManagerCaptions c;
    if (isFrench(nLangue)) {
        c.lblSignature = "Type/Créateur\r\n[obligatoire]";
        c.lblExtension = "Extension\r\n[facultative]";
        c.lblType = "Type Macintosh (libellé)\r\n[obligatoire]";
        c.cmdAjouter = "&Ajouter/Modifier";
        c.cmdSupprimer = "&Effacer";
        c.cmdOK = "&Sauvegarder";
        c.cmdAnnuler = "Annuler";
    } else {
        c.lblSignature = "Type/Creator\r\n[mandatory]";
        c.lblExtension = "Extension\r\n[optional}";
        c.lblType = "Macintosh Type (description)\r\n[mandatory]";
        c.cmdAjouter = "&Add/Modify";
        c.cmdSupprimer = "&Remove";
        c.cmdOK = "&Save";
        c.cmdAnnuler = "&Cancel";
    }
    return c;
}

SignatureFieldLayout alignSignatureFields(int listWidth, int column1Width, int column2Width,
                                          int frameWidth) {
    SignatureFieldLayout l;
    l.column3Width = listWidth - column1Width - column2Width - 300;
    const int column1Left = 0;
    const int column2Left = column1Left + column1Width;
    const int column3Left = column2Left + column2Width;
    l.signatureLeft = column1Left + 100;
    l.signatureWidth = column1Width - 100;
    l.extensionLeft = column2Left;
    l.extensionWidth = column2Width;
    l.typeLeft = column3Left;
    l.typeWidth = frameWidth - (l.extensionLeft + l.extensionWidth) - 100;
    return l;
}

SignatureManager::SignatureManager(signatures::SignatureTable& table, platform::FileSystem& files,
                                   platform::Notifier& notifier, LanguageFlag nLangue)
    : table_(table), files_(files), notifier_(notifier), nLangue_(nLangue) {}

std::string SignatureManager::openingTitle(LanguageFlag nLangue, std::int64_t count) {
    return std::string(kProductName) +
           std::string(tr(nLangue, " - Signatures Macintosh (", " - Macintosh signatures (")) +
           std::to_string(count) + ")";
}

std::string SignatureManager::changedTitle(LanguageFlag nLangue, std::int64_t count) {
    return std::string(kProductName) +
           std::string(tr(nLangue, " - Signatures Macintosh (", " - Macintosh Signatures (")) +
           std::to_string(count) + ")";
}

void SignatureManager::open() {
    table_.nSignatures = 0;
    rows_.clear();
    keys_.clear();
    selected_.reset();
    message_.clear();
    sorted_ = false;
    sortColumn_ = 0;
    sortDescending_ = false;

    const std::string& path = table_.sSignaturesFile;
    if (files_.fileExists(path)) {
        const std::optional<std::string> bytes = files_.readFile(path);
        if (!bytes) {
            // The list starts empty; a save would replace the file with what it then holds.
            notifier_.message(std::string(tr(nLangue_, "Lecture impossible du fichier Signatures:",
                                             "Cannot read Signatures file:")) +
                                  std::string(kCrLf) + path,
                              platform::MessageIcon::Exclamation);
        } else {
            signatures::SignatureFileContent content = signatures::parseSignatureFile(*bytes);
            for (signatures::SignatureRecord& record : content.records) {
                std::string key = rowKey(record.signature);
                // A second record of a signature (in any letter case) is left out, as the table
                // leaves it out: the first one wins.
                if (!keys_.insert(foldLetterCase(key)).second) {
                    continue;
                }
                rows_.push_back(SignatureRow{std::move(key), std::move(record.signature),
                                             std::move(record.extension),
                                             std::move(record.description)});
                ++table_.nSignatures;
            }
            if (!content.complete) {
                // The rows before the damaged record stay listed; the user is warned that a save
                // keeps only those.
                notifier_.message(signatures::CorruptedFileText(nLangue_, path, table_.nSignatures),
                                  platform::MessageIcon::Exclamation);
            }
        }
    }

    title_ = openingTitle(nLangue_, table_.nSignatures);
    flagModified_ = false;
}

std::optional<std::size_t> SignatureManager::findRow(std::string_view signature) const {
    const std::string key = rowKey(signature);
    if (keys_.count(foldLetterCase(key)) == 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (equalsIgnoreLetterCase(rows_[i].key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

void SignatureManager::select(std::optional<std::size_t> row) {
    selected_ = (row && *row < rows_.size()) ? row : std::nullopt;
}

void SignatureManager::showError(std::string text) {
    message_ = std::move(text);
    messageKind_ = MessageKind::Error;
    notifier_.beep();
}

void SignatureManager::showResult(std::string text) {
    message_ = std::move(text);
    messageKind_ = MessageKind::Result;
}

void SignatureManager::titleAfterChange() {
    title_ = changedTitle(nLangue_, static_cast<std::int64_t>(rows_.size()));
}

SignatureManager::AddOutcome SignatureManager::addOrModify(std::string_view signature,
                                                           std::string_view extension,
                                                           std::string_view description) {
    message_.clear();

    if (utf8CharacterCount(signature) != 8) {
        showError(std::string(tr(nLangue_, "La signature Type/Créateur doit comporter 8 caractères",
                                 "Type/Creator signature must be 8 characters")));
        return AddOutcome::Refused;
    }
    if (utf8CharacterCount(extension) > 3) {
        showError(
            std::string(tr(nLangue_, "L'extension Windows doit comporter 3 caractères au plus",
                           "Windows extension must be 3 characters or less")));
        return AddOutcome::Refused;
    }
    if (hasForbiddenExtensionCharacter(extension)) {
        showError(std::string(tr(nLangue_, "Caractère invalide dans une extension Windows",
                                 "Invalid character in Windows extension")));
        return AddOutcome::Refused;
    }
    if (description.empty()) {
        showError(std::string(
            tr(nLangue_, "Le type Macintosh est obligatoire", "Macintosh type is mandatory")));
        return AddOutcome::Refused;
    }
    // The file can hold neither a double quote inside a field nor a character of another code
    // page: such a row would come back damaged, or not at all.
    const signatures::SignatureRecord record{std::string(signature), std::string(extension),
                                             std::string(description)};
    if (const auto problem = signatures::checkStorable(record);
        problem != signatures::RecordProblem::None) {
        showError(storableMessage(nLangue_, problem));
        return AddOutcome::Refused;
    }

    AddOutcome outcome;
    std::size_t index = 0;
    if (const auto found = findRow(signature); !found) {
        std::string key = rowKey(signature);
        keys_.insert(foldLetterCase(key));
        rows_.push_back(
            SignatureRow{std::move(key), record.signature, record.extension, record.description});
        index = rows_.size() - 1;
        showResult(std::string(tr(nLangue_, "Signature ajoutée: ", "Added Signature: ")) +
                   record.signature);
        outcome = AddOutcome::Added;
    } else {
        index = *found;
        SignatureRow& row = rows_[index];
        if (row.signature == signature && row.extension == extension &&
            row.description == description) {
            showError(
                std::string(tr(nLangue_, "Signature inchangée: ", "Signature not modified: ")) +
                record.signature);
            return AddOutcome::Unchanged;
        }
        row.signature = record.signature;
        row.extension = record.extension;
        row.description = record.description;
        showResult(std::string(tr(nLangue_, "Signature modifié: ", "Modified Signature: ")) +
                   record.signature);
        outcome = AddOutcome::Modified;
    }
    titleAfterChange();

    // A sorted list stays sorted: the row goes to its place.
    selected_ = index;
    if (sorted_) {
        sortRows(); // the selection follows the row
    }
    flagModified_ = true;
    return outcome;
}

bool SignatureManager::removeSelected() {
    if (!selected_) {
        showError(std::string(tr(nLangue_, "Sélectionner une signature à supprimer",
                                 "Select a signature to remove")));
        return false;
    }
    const std::size_t index = *selected_;
    const std::string signature = rows_[index].signature;
    keys_.erase(foldLetterCase(rows_[index].key));
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    showResult(std::string(tr(nLangue_, "Signature supprimée: ", "Removed Signature: ")) +
               signature);
    titleAfterChange();
    selected_.reset();
    flagModified_ = true;
    return true;
}

std::optional<signatures::SignatureRecord> SignatureManager::clickList() {
    message_.clear();
    if (!selected_) {
        return std::nullopt;
    }
    const SignatureRow& row = rows_[*selected_];
    return signatures::SignatureRecord{row.signature, row.extension, row.description};
}

void SignatureManager::clickHeader(int column) {
    if (column < 0 || column > 2) {
        return;
    }
    sortColumn_ = column;
    sortDescending_ = !sortDescending_;
    sorted_ = true;
    sortRows();
}

void SignatureManager::sortRows() {
    std::optional<std::string> selectedKey;
    if (selected_) {
        selectedKey = rows_[*selected_].key;
    }
    const int column = sortColumn_;
    const bool descending = sortDescending_;
    std::stable_sort(rows_.begin(), rows_.end(),
                     [column, descending](const SignatureRow& a, const SignatureRow& b) {
                         const int c = compareText(columnText(a, column), columnText(b, column));
                         return descending ? c > 0 : c < 0;
                     });
    if (selectedKey) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].key == *selectedKey) {
                selected_ = i;
                break;
            }
        }
    }
}

SignatureManager::SaveOutcome SignatureManager::save() {
    if (!flagModified_) {
        return SaveOutcome::NothingToSave;
    }
    sortColumn_ = 0;
    sortDescending_ = false;
    sorted_ = true;
    sortRows();

    std::vector<signatures::SignatureRecord> records;
    records.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const SignatureRow& row = rows_[i];
        signatures::SignatureRecord record{row.signature, row.extension, row.description};
        // A row read from a hand-edited file may hold what the format cannot store: it is shown
        // to the user to be corrected or removed, and nothing is written.
        const auto problem = signatures::checkStorable(record);
        if (problem != signatures::RecordProblem::None) {
            selected_ = i;
            showError(storableMessage(nLangue_, problem) + ": " + row.signature);
            return SaveOutcome::Refused;
        }
        records.push_back(std::move(record));
    }

    std::string error;
    if (!signatures::writeSignatureFile(files_, table_.sSignaturesFile, records, error)) {
        std::string text =
            std::string(tr(nLangue_, "Enregistrement impossible du fichier Signatures:",
                           "Cannot save Signatures file:")) +
            std::string(kCrLf) + table_.sSignaturesFile;
        if (!error.empty()) {
            text += std::string(kCrLf) + error;
        }
        notifier_.message(text, platform::MessageIcon::Exclamation);
        return SaveOutcome::Failed;
    }

    signatures::LoadSignatures(table_, files_, notifier_, nLangue_);
    flagModified_ = false;
    return SaveOutcome::Saved;
}

bool SignatureManager::confirmClose() {
    if (!flagModified_) {
        return true;
    }
    return notifier_.askYesNo(tr(nLangue_,
                                 "Liste modifiée\r\nQuitter sans sauvegarder les modifications",
                                 "Modified list\r\nDiscard changes"));
}

} // namespace lantrivex::shell

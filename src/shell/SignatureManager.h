// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"
#include "platform/FileSystem.h"
#include "platform/Notifier.h"
#include "signatures/SignatureFile.h"
#include "signatures/SignatureTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lantrivex::shell {

// The colour kind of the signature manager's message line.
enum class MessageKind {
    Error,  // red: a refused entry, an unchanged re-entry, a removal without selection
    Result, // magenta: what an add, a modification or a removal did
};

// One row of the manager's list. `key` is "K" followed by the signature the row was created with;
// a modification changes the texts, never the key.
struct SignatureRow {
    std::string key;
    std::string signature;
    std::string extension;
    std::string description;
};

// The captions of the dialog's labels and buttons in one language (lines separated by CR LF).
struct SignatureManagerCaptions {
    std::string lblSignature;
    std::string lblExtension;
    std::string lblType;
    std::string cmdAjouter;
    std::string cmdSupprimer;
    std::string cmdOK;
    std::string cmdAnnuler;
};
SignatureManagerCaptions signatureManagerCaptions(LanguageFlag nLangue);

// The list's column headers, the same in both languages.
inline constexpr std::array<std::string_view, 3> kSignatureColumns = {"Signature", "Extension",
                                                                      "Type Macintosh"};

// Where the edit fields stand, in twips: lined up under the list's three columns.
struct SignatureFieldLayout {
    int column3Width = 0;
    int signatureLeft = 0, signatureWidth = 0;
    int extensionLeft = 0, extensionWidth = 0;
    int typeLeft = 0, typeWidth = 0;
};
// `listWidth`, `frameWidth` and the widths of columns 1 and 2 in twips; column 1 starts at the
// list's left edge.
SignatureFieldLayout alignSignatureFields(int listWidth, int column1Width, int column2Width,
                                          int frameWidth);

// The signature manager's logic: its own list of the rows of the signatures file, the checks of an
// entry, the messages, the title, the sort and the save. The dialog shows what this holds and
// passes the user's actions on; it holds no state of its own.
class SignatureManager {
public:
    enum class AddOutcome {
        Refused,   // a check failed; nothing changed
        Unchanged, // the row exists with exactly these texts; nothing changed
        Added,     // a new row, selected
        Modified,  // the row's texts replaced in place, selected
    };

    enum class SaveOutcome {
        NothingToSave, // the list was not changed: close without writing
        Saved,         // file written, table reloaded: close
        Refused,       // a row cannot be stored in the file (selected, message shown): stay open
        Failed,        // the file could not be written (user told, old file whole): stay open
    };

    // The table to reload after a save (its sSignaturesFile names the file), the file access, the
    // message boxes and beep, and the language for every caption and message.
    SignatureManager(signatures::SignatureTable& table, platform::FileSystem& files,
                     platform::Notifier& notifier, LanguageFlag nLangue);

    // Opening: reads the file into the list (records with an empty signature or description are
    // skipped, a second record of a signature already listed too) and counts the rows in the
    // table's nSignatures. A file that cannot be read, or not read through, leaves the rows read
    // so far and is told in a warning box. No row selected, nothing modified.
    void open();

    const std::vector<SignatureRow>& rows() const noexcept { return rows_; }

    // The row listed under "K" + `signature`, letter case ignored.
    std::optional<std::size_t> findRow(std::string_view signature) const;

    std::optional<std::size_t> selected() const noexcept { return selected_; }
    // Selects a row (the user's choice in the list), or none. An index past the end selects none.
    void select(std::optional<std::size_t> row);

    // The message line and its colour kind; empty at opening.
    const std::string& message() const noexcept { return message_; }
    MessageKind messageKind() const noexcept { return messageKind_; }

    const std::string& title() const noexcept { return title_; }
    bool flagModified() const noexcept { return flagModified_; }
    LanguageFlag language() const noexcept { return nLangue_; }

    // Add/Modify with the texts of the three boxes, as typed.
    AddOutcome addOrModify(std::string_view signature, std::string_view extension,
                           std::string_view description);

    // Removes the selected row. False (message, beep) when none is selected.
    bool removeSelected();

    // A click in the list: clears the message; the selected row's texts to copy into the boxes.
    std::optional<signatures::SignatureRecord> clickList();

    // A click on a column header (0, 1 or 2): that column becomes the sort column, the direction
    // flips, sorting is on.
    void clickHeader(int column);
    int sortColumn() const noexcept { return sortColumn_; }
    bool sortDescending() const noexcept { return sortDescending_; }
    bool sorted() const noexcept { return sorted_; }

    // Save: sorts by signature ascending, writes the file, reloads the table.
    SaveOutcome save();

    // The closing check of Cancel, Esc and the close box: true when the dialog may close (nothing
    // changed, or the user chose to discard the changes).
    bool confirmClose();

    // The texts the manager shows, in one language.
    static std::string openingTitle(LanguageFlag nLangue, std::int64_t count);
    static std::string changedTitle(LanguageFlag nLangue, std::int64_t count);

private:
    void showError(std::string text);
    void showResult(std::string text);
    void sortRows();
    void titleAfterChange();

    signatures::SignatureTable& table_;
    platform::FileSystem& files_;
    platform::Notifier& notifier_;
    LanguageFlag nLangue_;

    std::vector<SignatureRow> rows_;
    std::unordered_set<std::string> keys_; // the rows' keys, letter case folded
    std::optional<std::size_t> selected_;
    std::string message_;
    MessageKind messageKind_ = MessageKind::Error;
    std::string title_;
    bool flagModified_ = false;
    int sortColumn_ = 0;
    bool sortDescending_ = false;
    bool sorted_ = false;
};

} // namespace lantrivex::shell

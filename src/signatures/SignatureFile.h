// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::signatures {

// One record of Signatures.txt: three fields in the order signature, extension, description.
struct SignatureRecord {
    std::string signature;
    std::string extension;
    std::string description;

    friend bool operator==(const SignatureRecord&, const SignatureRecord&) = default;
};

// Reads the records of a signatures file, one at a time, by the file's reading rules
// (comma-separated fields, quoted or not, three to a record wherever they stand). The text is
// UTF-8 (converted from the file's code page by the caller).
class SignatureRecordReader {
public:
    explicit SignatureRecordReader(std::string_view text) : text_(text) {}

    // Nothing is left to read.
    bool atEnd() const noexcept { return pos_ >= text_.size(); }

    // Reads the next record. False when the text ends before its three fields are complete,
    // inside a double quote that is never closed, or when anything but spaces stands between a
    // closing double quote and the next comma or line end (a double quote inside a field, which
    // the format cannot hold). After a failure nothing is left to read.
    bool next(SignatureRecord& record);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// What a signatures file holds: its records in order, less those whose signature or description is
// empty (they are skipped). `complete` is false when a record could not be read through; the
// records before it are kept, nothing after it is read.
struct SignatureFileContent {
    std::vector<SignatureRecord> records;
    bool complete = true;
};

// Reads a whole file's bytes, in the file's code page.
SignatureFileContent parseSignatureFile(std::string_view bytes);

// A record as the program writes it: "sig","ext","desc" and CR LF.
std::string formatSignatureRecord(const SignatureRecord& record);

// Why a record cannot be stored in the file.
enum class RecordProblem {
    None,
    DoubleQuote,    // the format has no escape for a double quote inside a field
    NotRepresentable // a character the file's code page cannot hold
};
RecordProblem checkStorable(const SignatureRecord& record);

// Writes the records (in the given order) to `path` in the file's code page, through a new file
// renamed into place: a failure leaves the old file whole. False with `error` set on failure; the
// records must all pass checkStorable().
bool writeSignatureFile(platform::FileSystem& files, std::string_view path,
                        const std::vector<SignatureRecord>& records, std::string& error);

} // namespace lantrivex::signatures

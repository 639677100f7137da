// SPDX-License-Identifier: GPL-3.0-or-later
#include "signatures/SignatureFile.h"

#include "platform/TextCodec.h"

namespace lantrivex::signatures {

// How a record is read.
//
// A record is the next three fields, wherever they stand: a short line takes its missing fields
// from the following line, and the fields of a long line beyond the third start the next record.
// For each field:
// - spaces before it are skipped;
// - a field that begins with a double quote runs to the next double quote; everything between the
//   quotes, commas and line ends included, is the value;
// - any other field runs to the next comma or line end;
// - the comma or line end that ends a field is consumed with it, so two commas in a row, a comma
//   at the end of a line and a blank line each give an empty field, and the line end after the
//   third field of a record belongs to that record.
//
// Line ends are CR LF as the program writes them; a lone LF (a file edited on a POSIX system) and
// a lone CR (a file edited on a Macintosh) are taken as line ends too.
//
// What a damaged or hand-edited file may hold beyond that is decided here:
// - Spaces after an unquoted field are dropped, like the spaces before it: "a , b" reads as "a"
//   and "b". Spaces inside the field are kept.
// - After a closing double quote only spaces may come before the comma, the line end or the end
//   of the text. Anything else ("abc"def) means the file holds a double quote inside a field,
//   which the format cannot store: the field boundaries can no longer be trusted, so the read of
//   the record fails rather than guess.
// - A double quote that is never closed fails the read (the rest of the file would otherwise be
//   swallowed into one field).
// - The end of the text ends a field as a line end does, so a last record without a line end is
//   read whole. A field that would have to start at the end of the text fails the read: the
//   record is incomplete ("a,b," at the very end, or a blank line after the last record).
namespace {

enum class FieldResult { Ok, Failed };

bool isLineEnd(char c) noexcept {
    return c == '\r' || c == '\n';
}

// Consumes one line end (CR LF, LF or CR) at `pos`.
void consumeLineEnd(std::string_view text, std::size_t& pos) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
        pos += 2;
    } else {
        pos += 1;
    }
}

// Consumes what ends a field at `pos`: a comma, a line end, or nothing at the end of the text.
// False when something else stands there.
bool consumeFieldEnd(std::string_view text, std::size_t& pos) {
    if (pos >= text.size()) {
        return true;
    }
    if (text[pos] == ',') {
        ++pos;
        return true;
    }
    if (isLineEnd(text[pos])) {
        consumeLineEnd(text, pos);
        return true;
    }
    return false;
}

FieldResult readField(std::string_view text, std::size_t& pos, std::string& value) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos >= text.size()) {
        return FieldResult::Failed; // the record ends before its three fields
    }
    if (text[pos] == '"') {
        const std::size_t close = text.find('"', pos + 1);
        if (close == std::string_view::npos) {
            return FieldResult::Failed; // a double quote never closed
        }
        value.assign(text.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        while (pos < text.size() && text[pos] == ' ') {
            ++pos;
        }
        return consumeFieldEnd(text, pos) ? FieldResult::Ok : FieldResult::Failed;
    }
    std::size_t end = pos;
    while (end < text.size() && text[end] != ',' && !isLineEnd(text[end])) {
        ++end;
    }
    std::size_t last = end;
    while (last > pos && text[last - 1] == ' ') {
        --last;
    }
    value.assign(text.substr(pos, last - pos));
    pos = end;
    consumeFieldEnd(text, pos);
    return FieldResult::Ok;
}

} // namespace

bool SignatureRecordReader::next(SignatureRecord& record) {
    for (std::string* field : {&record.signature, &record.extension, &record.description}) {
        if (readField(text_, pos_, *field) != FieldResult::Ok) {
            pos_ = text_.size(); // nothing after a failed record is read
            return false;
        }
    }
    return true;
}

SignatureFileContent parseSignatureFile(std::string_view bytes) {
    SignatureFileContent content;
    const std::string text = platform::ansiToUtf8(bytes);
    SignatureRecordReader reader(text);
    while (!reader.atEnd()) {
        SignatureRecord record;
        if (!reader.next(record)) {
            content.complete = false;
            break;
        }
        if (!record.signature.empty() && !record.description.empty()) {
            content.records.push_back(std::move(record));
        }
    }
    return content;
}

std::string formatSignatureRecord(const SignatureRecord& record) {
    std::string line;
    line.reserve(record.signature.size() + record.extension.size() + record.description.size() +
                 10);
    line += '"';
    line += record.signature;
    line += "\",\"";
    line += record.extension;
    line += "\",\"";
    line += record.description;
    line += "\"\r\n";
    return line;
}

RecordProblem checkStorable(const SignatureRecord& record) {
    const std::string_view fields[] = {record.signature, record.extension, record.description};
    for (std::string_view field : fields) {
        if (field.find('"') != std::string_view::npos) {
            return RecordProblem::DoubleQuote;
        }
    }
    for (std::string_view field : fields) {
        if (!platform::utf8ToAnsi(field)) {
            return RecordProblem::NotRepresentable;
        }
    }
    return RecordProblem::None;
}

bool writeSignatureFile(platform::FileSystem& files, std::string_view path,
                        const std::vector<SignatureRecord>& records, std::string& error) {
    std::string text;
    for (const SignatureRecord& record : records) {
        switch (checkStorable(record)) {
        case RecordProblem::None:
            break;
        case RecordProblem::DoubleQuote:
            error = "a double quote cannot be stored in the signatures file (signature " +
                    record.signature + ")";
            return false;
        case RecordProblem::NotRepresentable:
            error = "a character cannot be stored in the signatures file's code page (signature " +
                    record.signature + ")";
            return false;
        }
        text += formatSignatureRecord(record);
    }
    const auto bytes = platform::utf8ToAnsi(text);
    if (!bytes) {
        error = "the records cannot be stored in the signatures file's code page";
        return false;
    }
    return files.replaceFile(path, *bytes, error);
}

} // namespace lantrivex::signatures

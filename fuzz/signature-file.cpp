// SPDX-License-Identifier: GPL-3.0-or-later
// Signatures files: whatever the bytes, the rows read are whole (a signature and a description),
// and rows that the file can hold, written back as the program writes them, read back the same.

#include "FuzzSupport.h"
#include "fakes/FakeFileSystem.h"
#include "signatures/SignatureFile.h"

#include <algorithm>

using namespace lantrivex;
using namespace lantrivex::signatures;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SignatureFileContent content = parseSignatureFile(fuzz::asText(data, size));
    for (const SignatureRecord& record : content.records) {
        LANTRIVEX_FUZZ_CHECK(!record.signature.empty() && !record.description.empty());
    }

    const bool storable =
        std::all_of(content.records.begin(), content.records.end(), [](const SignatureRecord& r) {
            return checkStorable(r) == RecordProblem::None;
        });
    fakes::FakeFileSystem files;
    std::string error;
    const bool written = writeSignatureFile(files, "Signatures.txt", content.records, error);
    LANTRIVEX_FUZZ_CHECK(written == storable);
    if (written) {
        const SignatureFileContent reread = parseSignatureFile(*files.contents("Signatures.txt"));
        LANTRIVEX_FUZZ_CHECK(reread.complete);
        LANTRIVEX_FUZZ_CHECK(reread.records == content.records);
    } else {
        LANTRIVEX_FUZZ_CHECK(!error.empty() && !files.contents("Signatures.txt"));
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Ascii.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"
#include "platform/TextCodec.h"
#include "signatures/SignatureFile.h"
#include "signatures/SignatureLoader.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace lantrivex::signatures {
namespace {

// The shipped samples/Signatures.txt: as the program writes it, every entry a volume signature.
TEST(SampleSignatures, IsAWellFormedTableInTheWrittenForm) {
    SignatureTable table;
    table.sSignaturesFile = LANTRIVEX_SOURCE_DIR "/samples/Signatures.txt";
    std::ifstream in(table.sSignaturesFile, std::ios::binary);
    fakes::FakeFileSystem files;
    files.putFile(table.sSignaturesFile, std::string(std::istreambuf_iterator<char>(in), {}));
    fakes::FakeNotifier notifier;
    LoadSignatures(table, files, notifier, kEnglish);
    EXPECT_TRUE(notifier.messages.empty() && table.nSignatures >= 200);
    std::string rewritten, previous;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& [signature, description] = table.colDescriptions.entries()[i];
        EXPECT_TRUE(signature.size() == 8 &&
                    std::all_of(signature.begin(), signature.end(),
                                [](char c) { return c > 0x20 && c < 0x7F; }))
            << signature;
        EXPECT_LT(asciiToUpper(previous), asciiToUpper(signature)) << "out of order: " << signature;
        previous = signature;
        rewritten +=
            formatSignatureRecord({signature, table.colExtensions.entries()[i].item, description});
    }
    // Byte for byte what the writer makes of the same rows: CR LF, quotes, the code page.
    EXPECT_EQ(platform::utf8ToAnsi(rewritten), files.contents(table.sSignaturesFile));
}

} // namespace
} // namespace lantrivex::signatures

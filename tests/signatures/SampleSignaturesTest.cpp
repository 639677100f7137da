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

// The shipped samples/Signatures.txt: a file the program could have written itself, every entry
// of which can match a volume index.
TEST(SampleSignatures, IsAWellFormedTableInTheWrittenForm) {
    const std::string path = LANTRIVEX_SOURCE_DIR "/samples/Signatures.txt";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    fakes::FakeFileSystem files;
    files.putFile(path, std::string(std::istreambuf_iterator<char>(in), {}));
    fakes::FakeNotifier notifier;
    SignatureTable table;
    table.sSignaturesFile = path;
    LoadSignatures(table, files, notifier, kEnglish);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_GE(table.nSignatures, 200);
    EXPECT_EQ(static_cast<std::size_t>(table.nSignatures), table.size());

    std::string rewritten, previous;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& [signature, description] = table.colDescriptions.entries()[i];
        ASSERT_EQ(signature.size(), 8u) << signature;
        EXPECT_TRUE(std::all_of(signature.begin(), signature.end(), [](char c) {
            return c >= 0x21 && c <= 0x7E;
        })) << signature;
        EXPECT_LT(asciiToUpper(previous), asciiToUpper(signature)) << "out of order: " << signature;
        previous = signature;
        rewritten +=
            formatSignatureRecord({signature, table.colExtensions.entries()[i].item, description});
    }
    // Byte for byte what the writer makes of the same rows: CR LF, quotes, the code page.
    EXPECT_EQ(platform::utf8ToAnsi(rewritten), files.contents(path));
    EXPECT_EQ(table.description("W6BNMSWD"), "Word 6 Document");
}

} // namespace
} // namespace lantrivex::signatures

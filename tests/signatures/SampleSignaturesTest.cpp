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

// The Signatures.txt shipped in samples/ is a file the program could have written itself, and a
// table every entry of which can match a volume index.
TEST(SampleSignatures, IsAWellFormedTableInTheWrittenForm) {
    const std::string path = LANTRIVEX_SOURCE_DIR "/samples/Signatures.txt";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    fakes::FakeFileSystem files;
    files.putFile(path, bytes);
    fakes::FakeNotifier notifier;
    SignatureTable table;
    table.sSignaturesFile = path;
    LoadSignatures(table, files, notifier, kEnglish);

    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_GE(table.nSignatures, 200);
    EXPECT_EQ(static_cast<std::size_t>(table.nSignatures), table.size());

    std::string rewritten;
    std::string previous;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& entry = table.colDescriptions.entries()[i];
        const std::string& signature = entry.key;
        ASSERT_EQ(signature.size(), 8u) << signature;
        for (char c : signature) {
            EXPECT_TRUE(c >= 0x21 && c <= 0x7E) << signature;
        }
        EXPECT_LT(asciiToUpper(previous), asciiToUpper(signature)) << "out of order: " << signature;
        previous = signature;
        rewritten +=
            formatSignatureRecord({signature, table.colExtensions.entries()[i].item, entry.item});
    }
    // Byte for byte what the writer makes of the same rows: CR LF, quotes, the code page.
    EXPECT_EQ(platform::utf8ToAnsi(rewritten), bytes);

    EXPECT_EQ(table.description("TEXTttxt"), "SimpleText document");
    EXPECT_EQ(table.description("W6BNMSWD"), "Word 6 Document");
    EXPECT_EQ(table.description("XLS5XCEL"), "Excel 5 Worksheet");
    EXPECT_EQ(table.description("8BPS8BIM"), "Photoshop Document");
}

} // namespace
} // namespace lantrivex::signatures

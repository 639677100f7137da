#include "cli/CliMain.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lantrivex::cli {
namespace {

std::string record(std::string_view signature) { return std::string("\x01") + std::string(signature) + "\x00"; }

std::string repeat(std::string_view signature, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += record(signature);
        out.push_back('\0'); // keeps the next marker off the terminator
    }
    return out;
}

class ScanCommandTest : public ::testing::Test {
protected:
    ScanCommandTest() {
        fakes.files.putFile("/opt/lantrivex/Signatures.txt",
                            "\"TEXTttxt\",\"txt\",\"SimpleText document\"\r\n"
                            "\"XDOCXPR3\",\"qxd\",\"Quark, XPress \xE9" "dition\"\r\n");
    }

    int run(std::vector<std::string> args, char decimalSeparator = '.') {
        out.str({});
        err.str({});
        platform::Platform bundle = fakes.platform();
        CliContext ctx{bundle, out, err, "/opt/lantrivex", decimalSeparator};
        return runCli(args, ctx);
    }

    void addVolume(const std::string& root, const std::string& bytes) {
        fakes.streams.addStream(root, "AFP_IdIndex", bytes);
    }

    fakes::FakePlatform fakes;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ScanCommandTest, PrintsRowsByCountWithDescriptionsInEachFormat) {
    // First occurrences: xdocxpr3 (1), TEXTttxt (7, one of them in another case), APPLaust (1).
    addVolume(R"(\\NTSRV\D$\Mac)",
              repeat("xdocxpr3", 1) + repeat("TEXTttxt", 6) + repeat("APPLaust", 1) +
                  repeat("textTTXT", 1));

    ASSERT_EQ(run({"scan", "--format", "csv", R"(\\NTSRV\D$\Mac)"}), kExitOk);
    EXPECT_EQ(out.str(), "volume,count,percent,signature,description\r\n"
                         "\\\\NTSRV\\D$\\Mac,7,77.78,TEXTttxt,SimpleText document\r\n"
                         "\\\\NTSRV\\D$\\Mac,1,11.11,xdocxpr3,\"Quark, XPress \xC3\xA9" "dition\"\r\n"
                         "\\\\NTSRV\\D$\\Mac,1,11.11,APPLaust,\r\n");
    EXPECT_EQ(err.str(), "");

    ASSERT_EQ(run({"scan", "--format=json", R"(\\NTSRV\D$\Mac)"}), kExitOk);
    EXPECT_EQ(out.str(),
              R"({"volumes":[{"volume":"\\\\NTSRV\\D$\\Mac","total":9,"signatures":[)"
              R"({"signature":"TEXTttxt","count":7,"percent":"77.78","description":"SimpleText document"},)"
              R"({"signature":"xdocxpr3","count":1,"percent":"11.11","description":"Quark, XPress )"
              "\xC3\xA9" R"(dition"},)"
              R"({"signature":"APPLaust","count":1,"percent":"11.11","description":""}]}]})"
              "\n");

    ASSERT_EQ(run({"scan", R"(\\NTSRV\D$\Mac)"}, ','), kExitOk);
    EXPECT_EQ(out.str(), "\\\\NTSRV\\D$\\Mac\n"
                         "Total: 9\n"
                         "#      %  Signature  Type\n"
                         "7  77,78  TEXTttxt   SimpleText document\n"
                         "1  11,11  xdocxpr3   Quark, XPress \xC3\xA9" "dition\n"
                         "1  11,11  APPLaust   \n");
}

TEST_F(ScanCommandTest, UnknownVolumesAreToldAndTheOthersStillPrinted) {
    addVolume("/srv/a", repeat("TEXTttxt", 2));
    addVolume("/srv/empty", "");

    EXPECT_EQ(run({"scan", "--format", "csv", "/srv/missing", "/srv/a", "/srv/empty"}),
              kExitSomeUnread);
    EXPECT_EQ(out.str(), "volume,count,percent,signature,description\r\n"
                         "/srv/a,2,100,TEXTttxt,SimpleText document\r\n");
    EXPECT_EQ(err.str(), "Lantrivex: Unknown Macintosh volume index\n  (/srv/missing)\n"
                         "Lantrivex: Unknown Macintosh volume index\n  (/srv/empty)\n");

    EXPECT_EQ(run({"scan", "--lang", "fr", "/srv/missing"}), kExitSomeUnread);
    EXPECT_EQ(err.str(), "Lantrivex: Index de volume Macintosh inconnu\n  (/srv/missing)\n");
}

TEST_F(ScanCommandTest, ShortReadIsToldAndWhatWasReadCounted) {
    auto& stream = fakes.streams.addStream("/srv/short", "AFP_IdIndex", repeat("TEXTttxt", 3));
    stream.reportedSize = 1000;
    EXPECT_EQ(run({"scan", "--format", "csv", "--lang", "fr", "/srv/short"}), kExitOk);
    EXPECT_EQ(err.str(), "Lantrivex: Error reading file ...\n");
    EXPECT_NE(out.str().find("/srv/short,3,100,TEXTttxt"), std::string::npos);
}

TEST_F(ScanCommandTest, SignatureTableComesFromTheGivenFileWithItsMessages) {
    fakes.files.putFile("/tmp/sig.txt", "\"TEXTttxt\",\"\",\"Texte\"\r\n\"texttTXT\",\"\",\"x\"\r\n");
    addVolume("/srv/a", repeat("TEXTttxt", 1));
    EXPECT_EQ(run({"scan", "--signatures", "/tmp/sig.txt", "--format", "csv", "/srv/a"}), kExitOk);
    EXPECT_EQ(out.str(), "volume,count,percent,signature,description\r\n"
                         "/srv/a,1,100,TEXTttxt,Texte\r\n");
    EXPECT_EQ(err.str(), "Lantrivex (warning): Duplicate key in Signatures file: texttTXT\n");

    // No file at all: the three built-in rows.
    addVolume("/srv/b", repeat("W6BNMSWD", 1));
    EXPECT_EQ(run({"scan", "--signatures", "/nowhere.txt", "--format", "csv", "/srv/b"}), kExitOk);
    EXPECT_EQ(out.str(), "volume,count,percent,signature,description\r\n"
                         "/srv/b,1,100,W6BNMSWD,Word 6 Document\r\n");
}

TEST_F(ScanCommandTest, UsageMistakesExitWithTwoAndTheUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"frobnicate"}, {"scan"}, {"scan", "--format", "xml", "/a"},
          {"scan", "--lang", "de", "/a"}, {"scan", "--bogus", "/a"}, {"scan", "/a", "--format"}}) {
        EXPECT_EQ(run(args), kExitUsage) << ::testing::PrintToString(args);
        EXPECT_NE(err.str().find("Usage: lantrivex-cli"), std::string::npos);
        EXPECT_EQ(fakes.streams.opens, 0);
    }
    EXPECT_EQ(run({"scan", "--help"}), kExitOk);
    EXPECT_NE(out.str().find("--raw"), std::string::npos);
    EXPECT_EQ(run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("scan"), std::string::npos);
}

TEST_F(ScanCommandTest, RawReadsDumpedStreamsFromFiles) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("lantrivex-cli-raw-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "dump.bin";
    {
        std::ofstream f(file, std::ios::binary);
        const std::string bytes = repeat("XDOCXPR3", 2) + repeat("TEXTttxt", 1);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(run({"scan", "--raw", "--format", "csv", file.string(), (dir / "none").string()}),
              kExitSomeUnread);
    EXPECT_EQ(out.str(), "volume,count,percent,signature,description\r\n" + file.string() +
                             ",2,66.67,XDOCXPR3,\"Quark, XPress \xC3\xA9" "dition\"\r\n" +
                             file.string() + ",1,33.33,TEXTttxt,SimpleText document\r\n");
    EXPECT_EQ(fakes.streams.opens, 0);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace lantrivex::cli

#include "cli/CliMain.h"

#include "fakes/FakePlatform.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace lantrivex::cli {
namespace {

using Args = std::vector<std::string>;
constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
const std::string kCsvHead = "volume,count,percent,signature,description\r\n";

// Each record followed by a NUL that keeps the next marker off the terminator.
std::string repeat(std::string_view signature, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += "\x01" + std::string(signature) + '\0';
    }
    return out;
}

Args split(const std::string& line) {
    Args args;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        args.push_back(word);
    }
    return args;
}

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        fake.files.putFile("/opt/lantrivex/Signatures.txt",
                           "\"TEXTttxt\",\"txt\",\"SimpleText document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark, XPress \xE9"
                           "dition\"\r\n");
        fake.connections.mountPoints = true;
        fake.connections.add("/mnt/ntsrv-d", R"(\\NTSRV\D$)");
        fake.connections.add("/mnt/ntsrv-e", R"(\\NTSRV\E$)");
        fake.connections.add("/mnt/cyan-c", R"(\\CYAN\C$)");
        reg.setString("NTSRV", kMacFile, "ServerName", "Serveur \"Mac\"");
        reg.setMultiString("NTSRV", std::string(kMacFile) + R"(\Volumes)", "Pub",
                           {R"(Path=D:\Pub)"});
        reg.setMultiString("NTSRV", std::string(kMacFile) + R"(\Volumes)", "Archives",
                           {R"(Path=E:\Old)"});
        reg.setString("CYAN", R"(SOFTWARE\cyan\MacServerIP)", "ServerName", "Cyan IP");
        reg.setMultiString("CYAN", R"(SOFTWARE\cyan\MacServerIP\Volumes)", "Studio",
                           {R"(Path=C:\Studio)"});
        fake.folders.folders = {R"(\\NTSRV\D$\Pub)", R"(\\CYAN\C$\Studio)"};
        fake.drives.mountPoints = true;
        fake.drives.add("/", platform::kDriveFixed);
        fake.drives.add("/mnt/ntsrv-d", platform::kDriveRemote);
        fake.drives.add("/mnt/nfs", platform::kDriveRemote);
    }
    int run(const Args& args, char decimalSeparator = '.') {
        out.str({});
        err.str({});
        platform::Platform bundle = fake.platform();
        CliContext ctx{bundle, out, err, "/opt/lantrivex", decimalSeparator};
        return runCli(args, ctx);
    }
    std::string firstLine() const { return out.str().substr(0, out.str().find('\n')); }

    fakes::FakePlatform fake;
    fakes::FakeRegistry& reg = fake.registry;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliTest, ScanPrintsRowsByCountWithDescriptionsInEachFormat) {
    // First occurrences: xdocxpr3 (1), TEXTttxt (7, one of them in another case), APPLaust (1).
    fake.streams.addStream(R"(\\S\D$\M)", "AFP_IdIndex",
                           repeat("xdocxpr3", 1) + repeat("TEXTttxt", 6) + repeat("APPLaust", 1) +
                               repeat("textTTXT", 1));
    ASSERT_EQ(run({"scan", "--format", "csv", R"(\\S\D$\M)"}), kExitOk);
    EXPECT_EQ(out.str(), kCsvHead + "\\\\S\\D$\\M,7,77.78,TEXTttxt,SimpleText document\r\n"
                                    "\\\\S\\D$\\M,1,11.11,xdocxpr3,\"Quark, XPress édition\"\r\n"
                                    "\\\\S\\D$\\M,1,11.11,APPLaust,\r\n");
    EXPECT_EQ(err.str(), "");
    ASSERT_EQ(run({"scan", "--format=json", R"(\\S\D$\M)"}), kExitOk);
    EXPECT_EQ(out.str(),
              R"({"volumes":[{"volume":"\\\\S\\D$\\M","total":9,"signatures":[)"
              R"({"signature":"TEXTttxt","count":7,"percent":"77.78","description":)"
              R"("SimpleText document"},{"signature":"xdocxpr3","count":1,"percent":)"
              R"("11.11","description":"Quark, XPress édition"},{"signature":"APPLaust",)"
              R"("count":1,"percent":"11.11","description":""}]}]})"
              "\n");
    ASSERT_EQ(run({"scan", R"(\\S\D$\M)"}, ','), kExitOk);
    EXPECT_EQ(out.str(), "\\\\S\\D$\\M\nTotal: 9\n"
                         "#      %  Signature  Type\n"
                         "7  77,78  TEXTttxt   SimpleText document\n"
                         "1  11,11  xdocxpr3   Quark, XPress édition\n"
                         "1  11,11  APPLaust   \n");
}

TEST_F(CliTest, ScanTellsUnreadVolumesAndShortReadsAndStillPrintsTheOthers) {
    fake.streams.addStream("/srv/a", "AFP_IdIndex", repeat("TEXTttxt", 2));
    fake.streams.addStream("/srv/empty", "AFP_IdIndex", "");
    EXPECT_EQ(run({"scan", "--format", "csv", "/srv/missing", "/srv/a", "/srv/empty"}),
              kExitSomeUnread);
    EXPECT_EQ(out.str(), kCsvHead + "/srv/a,2,100,TEXTttxt,SimpleText document\r\n");
    EXPECT_EQ(err.str(), "Lantrivex: Unknown Macintosh volume index\n  (/srv/missing)\n"
                         "Lantrivex: Unknown Macintosh volume index\n  (/srv/empty)\n");
    EXPECT_EQ(run({"scan", "--lang", "fr", "/srv/missing"}), kExitSomeUnread);
    EXPECT_EQ(err.str(), "Lantrivex: Index de volume Macintosh inconnu\n  (/srv/missing)\n");

    fake.streams.addStream("/srv/short", "AFP_IdIndex", repeat("TEXTttxt", 3)).reportedSize = 1000;
    EXPECT_EQ(run({"scan", "--format", "csv", "--lang", "fr", "/srv/short"}), kExitOk);
    EXPECT_EQ(err.str(), "Lantrivex: Error reading file ...\n");
    EXPECT_NE(out.str().find("/srv/short,3,100,TEXTttxt"), std::string::npos);
}

TEST_F(CliTest, ScanTakesTheSignatureTableFromTheGivenFileWithItsMessages) {
    fake.files.putFile("/tmp/sig.txt",
                       "\"TEXTttxt\",\"\",\"Texte\"\r\n\"texttTXT\",\"\",\"x\"\r\n");
    fake.streams.addStream("/srv/a", "AFP_IdIndex", repeat("TEXTttxt", 1) + repeat("W6BNMSWD", 1));
    EXPECT_EQ(run({"scan", "--signatures", "/tmp/sig.txt", "--format", "csv", "/srv/a"}), kExitOk);
    EXPECT_EQ(out.str(), kCsvHead + "/srv/a,1,50,TEXTttxt,Texte\r\n/srv/a,1,50,W6BNMSWD,\r\n");
    EXPECT_EQ(err.str(), "Lantrivex (warning): Duplicate key in Signatures file: texttTXT\n");
    // No file at all: the built-in rows.
    EXPECT_EQ(run({"scan", "--signatures", "/nowhere.txt", "--format", "csv", "/srv/a"}), kExitOk);
    EXPECT_EQ(out.str(),
              kCsvHead + "/srv/a,1,50,TEXTttxt,\r\n/srv/a,1,50,W6BNMSWD,Word 6 Document\r\n");
}

TEST_F(CliTest, ScanRawReadsDumpedStreamsFromFiles) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("lantrivex-cli-raw-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "dump.bin").string();
    std::ofstream(file, std::ios::binary) << repeat("XDOCXPR3", 2) + repeat("TEXTttxt", 1);
    EXPECT_EQ(run({"scan", "--raw", "--format", "csv", file, (dir / "none").string()}),
              kExitSomeUnread);
    EXPECT_EQ(out.str(), kCsvHead + file + ",2,66.67,XDOCXPR3,\"Quark, XPress édition\"\r\n" +
                             file + ",1,33.33,TEXTttxt,SimpleText document\r\n");
    EXPECT_EQ(fake.streams.opens, 0);
    std::filesystem::remove_all(dir);
}

TEST_F(CliTest, CatalogueAsTextAndJson) {
    ASSERT_EQ(run({"catalogue"}), kExitOk);
    EXPECT_EQ(out.str(),
              "Product: Microsoft SFM (MacFile)\n\nWORKSTATION\n  no Macintosh server\n\n"
              "NTSRV  connections: \\D$ (/mnt/ntsrv-d); \\E$ (/mnt/ntsrv-e)\n"
              "  Macintosh server: Serveur \"Mac\"\n"
              "    Panel  Folder   Volume    Root\n"
              "    2      missing  Archives  \\\\NTSRV\\E$\\Old\n"
              "    1      found    Pub       \\\\NTSRV\\D$\\Pub\n\n"
              "CYAN  connections: \\C$ (/mnt/cyan-c)\n  no Macintosh server\n");
    EXPECT_EQ(err.str(), "");
    ASSERT_EQ(run({"catalogue", "--product", "1", "--format=json"}), kExitOk);
    EXPECT_EQ(
        out.str(),
        R"j({"machines":[{"name":"WORKSTATION","connections":"","server":null},)j"
        R"j({"name":"NTSRV","connections":"\\D$ (/mnt/ntsrv-d); \\E$ (/mnt/ntsrv-e)","server":null},)j"
        R"j({"name":"CYAN","connections":"\\C$ (/mnt/cyan-c)","server":{"name":"Cyan IP",)j"
        R"j("volumes":[{"name":"Studio","root":"\\\\CYAN\\C$\\Studio","found":true,"panel":1}]}}]})j"
        "\n");
}

TEST_F(CliTest, CatalogueProductDefaultsToTheSettingAndTheOptionWins) {
    fake.profiles.setText("/opt/lantrivex/Lantrivex.ini", "[Configuration]\r\nServeurMac=2abc\r\n");
    run({"catalogue"});
    EXPECT_EQ(firstLine(), "Product: Intergraph ExtremeZ-IP");
    run({"catalogue", "--product=0"});
    EXPECT_EQ(firstLine(), "Product: Microsoft SFM (MacFile)");
}

TEST_F(CliTest, DrivesInBothLanguages) {
    ASSERT_EQ(run({"drives"}), kExitOk);
    EXPECT_EQ(out.str(), "/\tLocal drive\n/mnt/ntsrv-d\tNTSRV\\D$\n/mnt/nfs\tNetwork drive\n");
    ASSERT_EQ(run({"drives", "--lang", "fr"}), kExitOk);
    EXPECT_EQ(out.str(), "/\tLecteur Local\n/mnt/ntsrv-d\tNTSRV\\D$\n/mnt/nfs\tLecteur réseau\n");
}

TEST_F(CliTest, UsageMistakesExitWithTwoAndTheUsageAndHelpWithZero) {
    for (const std::string line :
         {"", "frobnicate", "scan", "scan --format xml /a", "scan --lang de /a", "scan --bogus /a",
          "scan /a --format", "catalogue --product 3", "catalogue --product",
          "catalogue --format xml", "catalogue --lang fr", "catalogue extra",
          "drives --product 1"}) {
        const Args args = split(line);
        const bool own = !args.empty() && (args[0] == "catalogue" || args[0] == "drives");
        EXPECT_EQ(run(args), kExitUsage) << line;
        EXPECT_NE(err.str().find("Usage: lantrivex-cli" + (own ? " " + args[0] : "")),
                  std::string::npos)
            << line;
        EXPECT_EQ(out.str(), "") << line;
    }
    EXPECT_EQ(fake.streams.opens, 0);
    EXPECT_TRUE(reg.connections.empty());
    EXPECT_EQ(run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("scan"), std::string::npos);
    EXPECT_EQ(run({"scan", "--help"}), kExitOk);
    EXPECT_NE(out.str().find("--raw"), std::string::npos);
    EXPECT_EQ(run({"catalogue", "--help"}), kExitOk);
    EXPECT_NE(out.str().find("LANTRIVEX_REGISTRY_DIR"), std::string::npos);
    EXPECT_EQ(run({"drives", "-h"}), kExitOk);
    EXPECT_NE(out.str().find("Usage: lantrivex-cli drives"), std::string::npos);
}

} // namespace
} // namespace lantrivex::cli

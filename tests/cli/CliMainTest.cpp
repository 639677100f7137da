// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliMain.h"

#include "fakes/FakePlatform.h"
#include "platform/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace lantrivex::cli {
namespace {

using namespace std::string_literals;
using Args = std::vector<std::string>;
constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
const std::string kCsvHead = "volume,count,percent,signature,description\r\n";

std::string repeat(std::string_view signature, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out.append("\x01").append(signature).push_back('\0');
    }
    return out;
}

Args split(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), {}};
}

struct CliTest : ::testing::Test {
    CliTest() {
        fake.files.putFile("/opt/lantrivex/Signatures.txt", // Windows-1252
                           "\"TEXTttxt\",\"txt\",\"SimpleText document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark, XPress \351dition\"\r\n");
        fake.connections.mountPoints = true;
        fake.connections.add("/mnt/ntsrv-d", R"(\\NTSRV\D$)");
        fake.connections.add("/mnt/cyan-c", R"(\\CYAN\C$)");
        reg.setString("NTSRV", kMacFile, "ServerName", "Serveur \"Mac\"");
        reg.setMultiString("NTSRV", kMacFile + R"(\Volumes)"s, "Pub", {R"(Path=D:\Pub)"});
        reg.setMultiString("NTSRV", kMacFile + R"(\Volumes)"s, "Archives", {R"(Path=E:\Old)"});
        reg.setString("CYAN", R"(SOFTWARE\cyan\MacServerIP)", "ServerName", "Cyan IP");
        reg.setMultiString("CYAN", R"(SOFTWARE\cyan\MacServerIP\Volumes)", "Studio",
                           {R"(Path=C:\Studio)"});
        fake.folders.folders = {R"(\\NTSRV\D$\Pub)", R"(\\CYAN\C$\Studio)"};
    }
    int run(const Args& args, char decimalSeparator = '.') {
        out.str({});
        err.str({});
        platform::Platform bundle = fake.platform();
        CliContext context{bundle, out, err, "/opt/lantrivex", decimalSeparator};
        return runCli(args, context);
    }

    fakes::FakePlatform fake;
    fakes::FakeRegistry& reg = fake.registry;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliTest, ScanPrintsRowsByCountWithDescriptionsInEachFormat) {
    fake.streams.addStream(R"(\\S\D$\M)", "AFP_IdIndex",
                           repeat("xdocxpr3", 1) + repeat("TEXTttxt", 6) + repeat("textTTXT", 1));
    ASSERT_EQ(run({"scan", "--format", "csv", R"(\\S\D$\M)"}), kExitOk);
    EXPECT_EQ(out.str(), kCsvHead + "\\\\S\\D$\\M,7,87.5,TEXTttxt,SimpleText document\r\n"
                                    "\\\\S\\D$\\M,1,12.5,xdocxpr3,\"Quark, XPress édition\"\r\n");
    ASSERT_EQ(run({"scan", "--format=json", R"(\\S\D$\M)"}), kExitOk);
    EXPECT_EQ(out.str(), R"({"volumes":[{"volume":"\\\\S\\D$\\M","total":8,"signatures":[)"
                         R"({"signature":"TEXTttxt","count":7,"percent":"87.5","description":)"
                         R"("SimpleText document"},{"signature":"xdocxpr3","count":1,"percent":)"
                         R"("12.5","description":"Quark, XPress édition"}]}]})"
                         "\n");
    ASSERT_EQ(run({"scan", R"(\\S\D$\M)"}, ','), kExitOk);
    EXPECT_EQ(out.str(), "\\\\S\\D$\\M\nTotal: 8\n"
                         "#     %  Signature  Type\n"
                         "7  87,5  TEXTttxt   SimpleText document\n"
                         "1  12,5  xdocxpr3   Quark, XPress édition\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliTest, ScanTellsUnreadVolumesAndBrokenReadsAndPrintsOnlyTheWholeOnesInOrder) {
    fake.streams.addStream("/srv/a", "AFP_IdIndex", repeat("TEXTttxt", 2));
    fake.streams.addStream("/srv/b", "AFP_IdIndex", repeat("W6BNMSWD", 1));
    auto& cut = fake.streams.addStream("/srv/short", "AFP_IdIndex", repeat("TEXTttxt", 3));
    cut.reportedSize = 1000;
    cut.failure = platform::AccessFailure::TimedOut;
    EXPECT_EQ(run({"scan", "--format", "csv", "/srv/missing", "/srv/b", "/srv/a"}),
              kExitSomeUnread);
    EXPECT_EQ(out.str(), kCsvHead + "/srv/b,1,100,W6BNMSWD,\r\n/srv/a,2,100,TEXTttxt,SimpleText "
                                    "document\r\n");
    EXPECT_EQ(err.str(), "Lantrivex: Unknown Macintosh volume index\n  Volume: /srv/missing\n");
    // A read cut short is no result: the volume and the reason are told, nothing is printed.
    EXPECT_EQ(run({"scan", "--format", "csv", "--lang", "fr", "/srv/short", "/srv/missing"}),
              kExitSomeUnread);
    EXPECT_EQ(out.str(), kCsvHead);
    EXPECT_EQ(err.str(), "Lantrivex: Error reading file ...\n  Volume : /srv/short\n"
                         "  La machine n'a pas répondu à temps\n"
                         "Lantrivex: Index de volume Macintosh inconnu\n  Volume : /srv/missing\n");
}

TEST_F(CliTest, ScanTakesSignaturesFromTheGivenFileAndRawStreamsFromFiles) {
    fake.files.putFile("/tmp/sig.txt",
                       "\"TEXTttxt\",\"\",\"Texte\"\r\n\"texttTXT\",\"\",\"x\"\r\n");
    const test::TempFolder temp;
    const std::string file = temp.file("raw");
    std::ofstream(file, std::ios::binary) << repeat("TEXTttxt", 1) + repeat("W6BNMSWD", 1);
    EXPECT_EQ(
        run({"scan", "--signatures", "/tmp/sig.txt", "--raw", "--format", "csv", file, file + "x"}),
        kExitSomeUnread);
    EXPECT_EQ(out.str(),
              kCsvHead + file + ",1,50,TEXTttxt,Texte\r\n" + file + ",1,50,W6BNMSWD,\r\n");
    EXPECT_EQ(err.str(), "Lantrivex (warning): Duplicate key in Signatures file: texttTXT\n"
                         "Lantrivex: Unknown Macintosh volume index\n  Volume: " +
                             file + "x\n");
}

TEST_F(CliTest, CatalogueWithTheProductFromTheSettingUnlessGiven) {
    ASSERT_EQ(run({"catalogue"}), kExitOk);
    EXPECT_EQ(out.str(), "Product: Microsoft SFM (MacFile)\n\n"
                         "CYAN  connections: \\C$ (/mnt/cyan-c)\n  no Macintosh server\n\n"
                         "NTSRV  connections: \\D$ (/mnt/ntsrv-d)\n"
                         "  Macintosh server: Serveur \"Mac\"\n"
                         "    Panel  Folder   Volume    Root\n"
                         "    2      missing  Archives  \\\\NTSRV\\E$\\Old\n"
                         "    1      found    Pub       \\\\NTSRV\\D$\\Pub\n\n"
                         "WORKSTATION\n  no Macintosh server\n");
    fake.profiles.setText("/opt/lantrivex/Lantrivex.ini", "[Configuration]\r\nServeurMac=2abc\r\n");
    run({"catalogue"});
    EXPECT_EQ(out.str().substr(0, 33), "Product: Intergraph ExtremeZ-IP\n\n");
    ASSERT_EQ(run({"catalogue", "--product", "1"}), kExitOk); // the option wins
    EXPECT_EQ(out.str().substr(0, 35), "Product: Cyan Software MacServerIP\n");
}

TEST_F(CliTest, CatalogueTellsWhyEachMachineShowsNoServerOnStandardErrorAndInJson) {
    reg.setUnreachable("CYAN");
    ASSERT_EQ(run({"catalogue", "--format", "json", "--lang", "fr"}), kExitOk);
    const std::string json = out.str();
    EXPECT_NE(json.find(R"({"name":"WORKSTATION","connections":"","reason":"no-product-key",)"
                        R"("server":null})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"x("name":"NTSRV","connections":"\\D$ (/mnt/ntsrv-d)","reason":null,)x"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("reason":"unreachable","server":null})"), std::string::npos) << json;
    EXPECT_EQ(err.str(),
              "Lantrivex: WORKSTATION: Aucun serveur Macintosh de ce produit sur la machine\n"
              "Lantrivex: CYAN: Machine injoignable\n");
}

// Machines and volumes in the window tree's order (accented names among their letters), the
// headings in the language asked for.
TEST_F(CliTest, CatalogueInTheTreesOrderWithHeadingsInTheLanguage) {
    fake.connections.add("/mnt/apps", R"(\\apps\x)");
    for (const char* name : {"zèbre", "Échos", "éditions", "Zoo"}) {
        reg.setMultiString("NTSRV", kMacFile + R"(\Volumes)"s, name, {R"(Path=D:\Pub)"});
    }
    ASSERT_EQ(run({"catalogue", "--lang", "fr"}), kExitOk);
    EXPECT_EQ(out.str(), "Produit: Microsoft SFM (MacFile)\n\n"
                         "apps  connexions: \\x (/mnt/apps)\n  pas de serveur Macintosh\n\n"
                         "CYAN  connexions: \\C$ (/mnt/cyan-c)\n  pas de serveur Macintosh\n\n"
                         "NTSRV  connexions: \\D$ (/mnt/ntsrv-d)\n"
                         "  Serveur Macintosh: Serveur \"Mac\"\n"
                         "    Panneau  Dossier  Volume    Racine\n"
                         "    2        absent   Archives  \\\\NTSRV\\E$\\Old\n"
                         "    4        trouvé   Échos     \\\\NTSRV\\D$\\Pub\n"
                         "    5        trouvé   éditions  \\\\NTSRV\\D$\\Pub\n"
                         "    1        trouvé   Pub       \\\\NTSRV\\D$\\Pub\n"
                         "    3        trouvé   zèbre     \\\\NTSRV\\D$\\Pub\n"
                         "    6        trouvé   Zoo       \\\\NTSRV\\D$\\Pub\n\n"
                         "WORKSTATION\n  pas de serveur Macintosh\n");
    ASSERT_EQ(run({"catalogue", "--format", "json"}), kExitOk);
    std::string names;
    for (std::size_t at = 0; (at = out.str().find("\"name\":\"", at)) != std::string::npos;) {
        at += 8;
        names += out.str().substr(at, out.str().find('"', at) - at) + "|";
    }
    EXPECT_EQ(names,
              "apps|CYAN|NTSRV|Serveur \\|Archives|Échos|éditions|Pub|zèbre|Zoo|WORKSTATION|");
}

TEST_F(CliTest, TextFormsShowControlCharactersAsEscapesNeverRaw) {
    // A registry value that would retitle the terminal, a CSI in the C1 range, a stray byte.
    reg.setString("NTSRV", kMacFile, "ServerName", "Evil\x1b]0;owned\x07");
    reg.setMultiString("NTSRV", kMacFile + R"(\Volumes)"s,
                       "Vol\xC2\x9B"
                       "2J\xFF",
                       {"Path=D:\\Pub\x1b[31m"});
    ASSERT_EQ(run({"catalogue"}), kExitOk);
    EXPECT_NE(out.str().find("Macintosh server: Evil\\x1b]0;owned\\x07\n"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("Vol\\u009b2J\\xff  \\\\NTSRV\\D$\\Pub\\x1b[31m"), std::string::npos)
        << out.str();
    fake.files.putFile("/opt/lantrivex/Signatures.txt", "\"TEXTttxt\",\"\",\"Text\x1b[2J\"\r\n");
    fake.streams.addStream("/srv/\x1b[H", "AFP_IdIndex",
                           repeat("TEXTttxt", 1) + repeat("A\x7F!!!!!!", 1));
    ASSERT_EQ(run({"scan", "/srv/\x1b[H"}), kExitOk);
    EXPECT_EQ(out.str(), "/srv/\\x1b[H\nTotal: 2\n"
                         "#   %  Signature    Type\n"
                         "1  50  TEXTttxt     Text\\x1b[2J\n"
                         "1  50  A\\x7f!!!!!!  \n");
    for (const std::string& text : {out.str(), err.str()}) {
        EXPECT_EQ(text.find_first_of("\x1b\x07\x7f"), std::string::npos);
    }
}

TEST_F(CliTest, UsageMistakesExitWithTwoAndTheUsageAndHelpWithZero) {
    for (const std::string line :
         {"", "frobnicate", "scan", "scan --format xml /a", "scan --lang de /a", "scan --bogus /a",
          "scan /a --format", "catalogue --product 3", "catalogue --product",
          "catalogue --format xml", "catalogue --lang de", "catalogue extra",
          "drives --product 1"}) {
        EXPECT_EQ(run(split(line)), kExitUsage) << line;
        EXPECT_NE(err.str().find("Usage: lantrivex-cli"), std::string::npos) << line;
        EXPECT_EQ(out.str(), "") << line;
    }
    EXPECT_EQ(run({"drives", "--help"}), kExitOk);
    EXPECT_EQ(out.str().find("Usage: lantrivex-cli drives"), 0u);
}

} // namespace
} // namespace lantrivex::cli

#include "cli/CatalogueCommand.h"

#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lantrivex::cli {
namespace {

using Strings = std::vector<std::string>;
constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kMacFileVolumes =
    R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

class CatalogueCommandTest : public ::testing::Test {
protected:
    CatalogueCommandTest() {
        net.mountPoints = true;
        net.add("/mnt/ntsrv-d", R"(\\NTSRV\D$)");
        net.add("/mnt/ntsrv-e", R"(\\NTSRV\E$)");
        net.add("/mnt/cyan-c", R"(\\CYAN\C$)");
        reg.setString("NTSRV", kMacFile, "ServerName", "Serveur \"Mac\"");
        reg.setMultiString("NTSRV", kMacFileVolumes, "Pub", {R"(Path=D:\Pub)"});
        reg.setMultiString("NTSRV", kMacFileVolumes, "Archives", {R"(Path=E:\Old)"});
        reg.setString("CYAN", R"(SOFTWARE\cyan\MacServerIP)", "ServerName", "Cyan IP");
        reg.setMultiString("CYAN", R"(SOFTWARE\cyan\MacServerIP\Volumes)", "Studio",
                           {R"(Path=C:\Studio)"});
        folders.folders = {R"(\\NTSRV\D$\Pub)", R"(\\CYAN\C$\Studio)"};
        drives.mountPoints = true;
        drives.add("/", platform::kDriveFixed);
        drives.add("/mnt/ntsrv-d", platform::kDriveRemote);
        drives.add("/media/cd", platform::kDriveCdRom);
        drives.add("/mnt/nfs", platform::kDriveRemote);
    }

    int run(int (*command)(const std::vector<std::string>&, CliContext&), const Strings& args) {
        out.str("");
        err.str("");
        platform::Platform p = fake.platform();
        CliContext ctx{p, out, err, "/opt/lantrivex"};
        return command(args, ctx);
    }

    fakes::FakePlatform fake;
    fakes::FakeFolderProbe& folders = fake.folders;
    fakes::FakeProfileFile& profiles = fake.profiles;
    fakes::FakeRegistry& reg = fake.registry;
    fakes::FakeNetworkConnections& net = fake.connections;
    fakes::FakeDriveList& drives = fake.drives;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CatalogueCommandTest, TextListsMachinesServersAndVolumes) {
    ASSERT_EQ(run(runCatalogueCommand, {}), kExitOk);
    EXPECT_EQ(out.str(), "Product: Microsoft SFM (MacFile)\n"
                         "\n"
                         "WORKSTATION\n"
                         "  no Macintosh server\n"
                         "\n"
                         "NTSRV  connections: \\D$ (/mnt/ntsrv-d); \\E$ (/mnt/ntsrv-e)\n"
                         "  Macintosh server: Serveur \"Mac\"\n"
                         "    Panel  Folder   Volume    Root\n"
                         "    2      missing  Archives  \\\\NTSRV\\E$\\Old\n"
                         "    1      found    Pub       \\\\NTSRV\\D$\\Pub\n"
                         "\n"
                         "CYAN  connections: \\C$ (/mnt/cyan-c)\n"
                         "  no Macintosh server\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(CatalogueCommandTest, JsonWithAnotherProduct) {
    ASSERT_EQ(run(runCatalogueCommand, {"--product", "1", "--format=json"}), kExitOk);
    EXPECT_EQ(
        out.str(),
        R"j({"machines":[{"name":"WORKSTATION","connections":"","server":null},)j"
        R"j({"name":"NTSRV","connections":"\\D$ (/mnt/ntsrv-d); \\E$ (/mnt/ntsrv-e)","server":null},)j"
        R"j({"name":"CYAN","connections":"\\C$ (/mnt/cyan-c)","server":{"name":"Cyan IP",)j"
        R"j("volumes":[{"name":"Studio","root":"\\\\CYAN\\C$\\Studio","found":true,"panel":1}]}}]})j"
        "\n");
}

TEST_F(CatalogueCommandTest, ProductDefaultsToTheSetting) {
    const std::string ini = "/opt/lantrivex/Lantrivex.ini";
    for (const auto& [setting, expected] : std::vector<std::pair<std::string, std::string>>{
             {"1", "Cyan Software MacServerIP"},
             {"1.5", "Intergraph ExtremeZ-IP"},
             {"2.5", "Intergraph ExtremeZ-IP"},
             {"0.5", "Microsoft SFM (MacFile)"},
             {"5", "Microsoft SFM (MacFile)"},
             {"abc", "Microsoft SFM (MacFile)"},
             {"2abc", "Intergraph ExtremeZ-IP"},
             {"99999999999", "Microsoft SFM (MacFile)"}}) {
        profiles.setText(ini, "[Configuration]\r\nServeurMac=" + setting + "\r\n");
        run(runCatalogueCommand, {});
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "Product: " + expected) << setting;
    }
    // The option wins over the setting.
    run(runCatalogueCommand, {"--product=0"});
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "Product: Microsoft SFM (MacFile)");
}

TEST_F(CatalogueCommandTest, UsageErrorsAndHelp) {
    for (const Strings& args :
         {Strings{"--product", "3"}, Strings{"--product"}, Strings{"--format", "xml"},
          Strings{"--lang", "fr"}, Strings{"extra"}}) {
        EXPECT_EQ(run(runCatalogueCommand, args), kExitUsage) << args[0];
        EXPECT_NE(err.str().find("Usage: lantrivex-cli catalogue"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(run(runCatalogueCommand, {"--help"}), kExitOk);
    EXPECT_NE(out.str().find("LANTRIVEX_REGISTRY_DIR"), std::string::npos);
    EXPECT_EQ(run(runDrivesCommand, {"--product", "1"}), kExitUsage);
    EXPECT_EQ(run(runDrivesCommand, {"-h"}), kExitOk);
    EXPECT_NE(out.str().find("Usage: lantrivex-cli drives"), std::string::npos);
}

TEST_F(CatalogueCommandTest, DrivesInBothLanguages) {
    ASSERT_EQ(run(runDrivesCommand, {}), kExitOk);
    EXPECT_EQ(out.str(), "/\tLocal drive\n"
                         "/mnt/ntsrv-d\tNTSRV\\D$\n"
                         "/media/cd\tCD-Rom\n"
                         "/mnt/nfs\tNetwork drive\n");
    ASSERT_EQ(run(runDrivesCommand, {"--lang", "fr"}), kExitOk);
    EXPECT_EQ(out.str(), "/\tLecteur Local\n"
                         "/mnt/ntsrv-d\tNTSRV\\D$\n"
                         "/media/cd\tCD-Rom\n"
                         "/mnt/nfs\tLecteur r\xC3\xA9seau\n");
}

} // namespace
} // namespace lantrivex::cli

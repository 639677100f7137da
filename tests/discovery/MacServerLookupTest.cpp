#include "discovery/MacServerLookup.h"

#include "discovery/RegistryValue.h"
#include "fakes/FakeRegistry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lantrivex::discovery {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;
using fakes::FakeRegistry;

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kVolumes = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

Strings volumeData(const std::string& path) {
    return {"MaxUsers=4294967295", "Properties=1", "Password=", "Path=" + path};
}

TEST(StripNull, CutsAtTheFirstNul) {
    EXPECT_EQ(StripNull("abc\0def"s), "abc");
    EXPECT_EQ(StripNull("abc"), "abc");
    EXPECT_EQ(StripNull("\0abc"s), "");
}

TEST(QueryRegValue, ReadsStringsWithTheirNulsNumbersAsDigitsAndRefusesTheRest) {
    FakeRegistry reg;
    reg.setString("WORKSTATION", "K", "S", "Mac Server");
    reg.setMultiString("WORKSTATION", "K", "M", {"A=1", "Path=D:\\X"});
    reg.setDword("WORKSTATION", "K", "D", 0xFFFFFFFEu);
    reg.setValue("WORKSTATION", "K", "E", platform::kRegExpandSz, "%SystemRoot%\0"s);
    reg.setValue("WORKSTATION", "K", "Big", platform::kRegSz, std::string(kMaxValueData + 1, 'x'));
    std::unique_ptr<platform::RegistryHive> hive;
    ASSERT_EQ(reg.localMachine(hive), 0);
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(hive->openKey("K", platform::kKeyRead, key), 0);

    std::string value;
    const std::vector<std::tuple<const char*, platform::RegistryError, std::string>> rows = {
        {"S", 0, "Mac Server\0"s},
        {"M", 0, "A=1\0Path=D:\\X\0\0"s},
        {"D", 0, "-2"},
        // Unsupported type and missing value: the answer, and the value left as it was.
        {"E", kUnsupportedValueType, "-2"},
        {"absent", platform::kRegFileNotFound, "-2"},
        {"Big", platform::kRegNotEnoughMemory, ""}, // a hostile size
    };
    for (const auto& [name, answer, expected] : rows) {
        EXPECT_EQ(QueryRegValue(*key, name, value), answer) << name;
        EXPECT_EQ(value, expected) << name;
    }
    // The data request failing after the size request: the value is emptied, the answer returned.
    reg.setString("WORKSTATION", "K", "Gone", "x").failDataWith = platform::kRegMoreData;
    EXPECT_EQ(QueryRegValue(*key, "Gone", value), platform::kRegMoreData);
    EXPECT_EQ(value, "");
}

class LookupTest : public ::testing::Test {
protected:
    FakeRegistry reg{"WORKSTATION"};
    MacServerLookup lookup{reg, kProductMacFile};
};

TEST_F(LookupTest, ServerNameFromTheProductKeyOrTheMachineName) {
    reg.setString("NTSRV", kMacFile, "ServerName", "Serveur Mac\0junk"s);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "Serveur Mac");
    EXPECT_EQ(reg.connections, Strings{"NTSRV"});
    EXPECT_EQ(reg.openKeys, 0);
    EXPECT_EQ(reg.openHives, 0);
    // A key without "ServerName", or with one of an unread type, gives the machine name.
    reg.key("OTHER", kMacFile);
    EXPECT_EQ(lookup.GetMacServerName(false, "OTHER"), "OTHER");
    reg.setValue("OTHER", kMacFile, "ServerName", platform::kRegBinary, "ab");
    EXPECT_EQ(lookup.GetMacServerName(false, "OTHER"), "OTHER");
    reg.setDword("OTHER", kMacFile, "ServerName", 7);
    EXPECT_EQ(lookup.GetMacServerName(false, "OTHER"), "7");
}

TEST_F(LookupTest, UnreachableMachinesAndMissingOrRefusedKeysReadAsNoProduct) {
    reg.setString("DOWN", kMacFile, "ServerName", "Down Mac");
    reg.setUnreachable("DOWN");
    reg.machine("BARE");
    reg.setString("LOCKED", kMacFile, "ServerName", "Locked");
    reg.key("LOCKED", kMacFile).refused = true;
    for (const char* machine : {"DOWN", "NOSUCH", "BARE", "LOCKED"}) {
        EXPECT_EQ(lookup.GetMacServerName(false, machine), "") << machine;
        EXPECT_FALSE(lookup.GetLantrivexNames(false, machine)) << machine;
    }
}

TEST_F(LookupTest, KeysAreOpenedForReadingOnly) {
    // A user who may read but not write the machine's registry still sees its volumes.
    reg.setString("NTSRV", kMacFile, "ServerName", "Mac");
    reg.setMultiString("NTSRV", kVolumes, "Pub", volumeData(R"(E:\Pub)"));
    reg.key("NTSRV", kMacFile).readOnlyAccess = true;
    reg.key("NTSRV", kVolumes).readOnlyAccess = true;
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "Mac");
    EXPECT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumePaths, Strings{R"(\\NTSRV\E$\Pub)"});
    for (const auto& opening : reg.openings) {
        EXPECT_EQ(opening.second, platform::kKeyRead) << opening.first;
    }
}

TEST_F(LookupTest, ThisComputerIsReadWithoutConnection) {
    reg.setString("WORKSTATION", kMacFile, "ServerName", "Local Mac");
    reg.setMultiString("WORKSTATION", kVolumes, "Pub", volumeData(R"(C:\Pub)"));
    EXPECT_EQ(lookup.GetMacServerName(true, "WORKSTATION"), "Local Mac");
    EXPECT_TRUE(lookup.GetLantrivexNames(true, "WORKSTATION"));
    EXPECT_TRUE(reg.connections.empty());
    EXPECT_EQ(lookup.sVolumePaths, Strings{R"(\\WORKSTATION\C$\Pub)"});
}

TEST_F(LookupTest, VolumeRootIsTheFirstCaseSensitivePathEntryAndEmptyEntriesKeepTheirPlace) {
    reg.setMultiString("NTSRV", kVolumes, "Graphics", {"A=1", R"(Path=D:\Graphics Mac)", "Path=X"});
    reg.setMultiString("NTSRV", kVolumes, "Lower", {R"(path=E:\Mac)"});
    reg.setMultiString("NTSRV", kVolumes, "NoPath", {"Properties=1"});
    reg.setMultiString("NTSRV", kVolumes, "Empty", {"Path="});
    reg.setMultiString("NTSRV", kVolumes, "Unc", {R"(Path=\\other\share)"});
    reg.setValue("NTSRV", kVolumes, "Plain", platform::kRegSz, "Path=F:\0"s);
    reg.setDword("NTSRV", kVolumes, "Number", 1);
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (Strings{"Graphics", "", "", "Empty", "Unc", "Plain"}));
    EXPECT_EQ(lookup.sVolumePaths, (Strings{R"(\\NTSRV\D$\Graphics Mac)", "", "", R"(\\NTSRV\)",
                                            R"(\\NTSRV\\\other\share)", R"(\\NTSRV\F$)"}));
}

TEST_F(LookupTest, EachCallRebuildsTheListsFromScratch) {
    reg.setMultiString("NTSRV", kVolumes, "A", volumeData(R"(E:\A)"));
    reg.setMultiString("NTSRV", kVolumes, "B", volumeData(R"(E:\B)"));
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames.size(), 2u);
    reg.key("EMPTY", kVolumes);
    EXPECT_TRUE(lookup.GetLantrivexNames(false, "EMPTY"));
    EXPECT_EQ(lookup.sVolumeNames, Strings{""});
    EXPECT_EQ(lookup.sVolumePaths, Strings{""});
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_FALSE(lookup.GetLantrivexNames(false, "NOSUCH")); // a failed call resets them as well
    EXPECT_EQ(lookup.sVolumeNames, Strings{""});
}

TEST_F(LookupTest, EnumerationStopsAtTheFirstErrorKeepingWhatWasFound) {
    reg.setMultiString("NTSRV", kVolumes, "A", volumeData(R"(E:\A)"));
    reg.setMultiString("NTSRV", kVolumes, std::string(254, 'L'), volumeData(R"(E:\L)"));
    reg.setMultiString("NTSRV", kVolumes, "C", volumeData(R"(E:\C)"));
    // A name of 254 characters fits the 255-character buffer; one of 255 ends the enumeration.
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames.size(), 3u);
    auto& values = reg.key("NTSRV", kVolumes).values;
    values[1].name = std::string(255, 'L');
    std::swap(values[1], values[2]);
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (Strings{"A", "C"}));

    reg.key("NTSRV", kVolumes).failEnumAt = 1;
    reg.key("NTSRV", kVolumes).failEnumWith = platform::kRegAccessDenied;
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, Strings{"A"});
    EXPECT_EQ(reg.openKeys, 0);
}

TEST_F(LookupTest, ProductCodesChooseTheirLocations) {
    reg.setString("NTSRV", kMacFile, "ServerName", "SFM");
    reg.setString("NTSRV", R"(SOFTWARE\cyan\MacServerIP)", "ServerName", "Cyan");
    reg.setMultiString("NTSRV", R"(SOFTWARE\cyan\MacServerIP\Volumes)", "V", {R"(Path=G:\V)"});
    reg.setString("NTSRV", R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP\Parameters)",
                  "ServerName", "EZIP");

    lookup.setProduct(kProductMacServerIP);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "Cyan");
    EXPECT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumePaths, Strings{R"(\\NTSRV\G$\V)"});
    lookup.setProduct(kProductExtremeZIP);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "EZIP");
    EXPECT_FALSE(lookup.GetLantrivexNames(false, "NTSRV"));
    for (ProductCode other : {ProductCode{0}, ProductCode{5}, ProductCode{-1}}) {
        lookup.setProduct(other); // any other code reads the MacFile locations
        EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "SFM") << other;
    }
    EXPECT_EQ(productCaption(5), "Microsoft SFM (MacFile)");
    EXPECT_EQ(productCaption(1), "Cyan Software MacServerIP");
    EXPECT_EQ(productCaption(2), "Intergraph ExtremeZ-IP");
}

TEST(NetworkVolumeRoot, DriveLetterBecomesAdministrativeShare) {
    EXPECT_EQ(NetworkVolumeRoot("NTSRV", R"(E:\Mac Volumes\Pub)"), R"(\\NTSRV\E$\Mac Volumes\Pub)");
    EXPECT_EQ(NetworkVolumeRoot("NTSRV", "e:"), R"(\\NTSRV\e$)");
    EXPECT_EQ(NetworkVolumeRoot("NTSRV", "E"), R"(\\NTSRV\E)");
    EXPECT_EQ(NetworkVolumeRoot("NTSRV", ""), R"(\\NTSRV\)");
}

} // namespace
} // namespace lantrivex::discovery

#include "discovery/MacServerLookup.h"

#include "discovery/RegistryValue.h"
#include "fakes/FakeRegistry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lantrivex::discovery {
namespace {

using namespace std::string_literals;
using fakes::FakeRegistry;

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kMacFileVolumes =
    R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

std::vector<std::string> volumeData(const std::string& path) {
    return {"MaxUsers=4294967295", "Properties=1", "Password=", "Path=" + path};
}

TEST(StripNull, CutsAtTheFirstNul) {
    EXPECT_EQ(StripNull("abc\0def"s), "abc");
    EXPECT_EQ(StripNull("abc"), "abc");
    EXPECT_EQ(StripNull("\0abc"s), "");
    EXPECT_EQ(StripNull(""), "");
}

TEST(QueryRegValue, ReadsStringsWithTheirNulsAndNumbersAsDigits) {
    FakeRegistry reg;
    reg.setString("WORKSTATION", "K", "S", "Mac Server");
    reg.setMultiString("WORKSTATION", "K", "M", {"A=1", "Path=D:\\X"});
    reg.setDword("WORKSTATION", "K", "D", 0xFFFFFFFEu);
    reg.setValue("WORKSTATION", "K", "E", platform::kRegExpandSz, "%SystemRoot%\0"s);
    std::unique_ptr<platform::RegistryHive> hive;
    ASSERT_EQ(reg.localMachine(hive), 0);
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(hive->openKey("K", platform::kKeyRead, key), 0);

    std::string value = "before";
    EXPECT_EQ(QueryRegValue(*key, "S", value), 0);
    EXPECT_EQ(value, "Mac Server\0"s);
    EXPECT_EQ(QueryRegValue(*key, "M", value), 0);
    EXPECT_EQ(value, "A=1\0Path=D:\\X\0\0"s);
    EXPECT_EQ(QueryRegValue(*key, "D", value), 0);
    EXPECT_EQ(value, "-2");

    // Unsupported type and missing value: the answer, and the value left as it was.
    value = "kept";
    EXPECT_EQ(QueryRegValue(*key, "E", value), kUnsupportedValueType);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(QueryRegValue(*key, "absent", value), platform::kRegFileNotFound);
    EXPECT_EQ(value, "kept");

    // The data request failing after the size request: the value is emptied, the answer returned.
    reg.setString("WORKSTATION", "K", "Gone", "x").failDataWith = platform::kRegMoreData;
    EXPECT_EQ(QueryRegValue(*key, "Gone", value), platform::kRegMoreData);
    EXPECT_EQ(value, "");
}

TEST(QueryRegValue, RefusesHostileSizes) {
    FakeRegistry reg;
    reg.setValue("WORKSTATION", "K", "Big", platform::kRegSz, std::string(kMaxValueData + 1, 'x'));
    std::unique_ptr<platform::RegistryHive> hive;
    reg.localMachine(hive);
    std::unique_ptr<platform::RegistryKey> key;
    hive->openKey("K", platform::kKeyRead, key);
    std::string value;
    EXPECT_EQ(QueryRegValue(*key, "Big", value), platform::kRegNotEnoughMemory);
}

class LookupTest : public ::testing::Test {
protected:
    FakeRegistry reg{"WORKSTATION"};
    MacServerLookup lookup{reg, kProductMacFile};
};

TEST_F(LookupTest, ServerNameFromTheProductKey) {
    reg.setString("NTSRV", kMacFile, "ServerName", "Serveur Mac\0junk"s);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "Serveur Mac");
    EXPECT_EQ(reg.connections, std::vector<std::string>{"NTSRV"});
    EXPECT_EQ(reg.openKeys, 0);
    EXPECT_EQ(reg.openHives, 0);
}

TEST_F(LookupTest, KeyWithoutServerNameGivesTheMachineName) {
    reg.key("NTSRV", kMacFile);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "NTSRV");
    // A value of an unread type counts as unreadable too.
    reg.setDword("NTSRV", kMacFile, "ServerName", 7);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "7");
    reg.setValue("NTSRV", kMacFile, "ServerName", platform::kRegBinary, "ab");
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "NTSRV");
}

TEST_F(LookupTest, UnreachableMachinesAndMissingOrRefusedKeysReadAsNoProduct) {
    reg.setString("DOWN", kMacFile, "ServerName", "Down Mac");
    reg.setUnreachable("DOWN");
    EXPECT_EQ(lookup.GetMacServerName(false, "DOWN"), "");
    EXPECT_FALSE(lookup.GetLantrivexNames(false, "DOWN"));
    EXPECT_EQ(lookup.GetMacServerName(false, "NOSUCH"), "");

    reg.machine("BARE");
    EXPECT_EQ(lookup.GetMacServerName(false, "BARE"), "");
    EXPECT_FALSE(lookup.GetLantrivexNames(false, "BARE"));

    reg.setString("LOCKED", kMacFile, "ServerName", "Locked");
    reg.key("LOCKED", kMacFile).refused = true;
    EXPECT_EQ(lookup.GetMacServerName(false, "LOCKED"), "");
}

TEST_F(LookupTest, KeysAreOpenedForReadingOnly) {
    // A user who may read but not write the machine's registry still sees its volumes.
    reg.setString("NTSRV", kMacFile, "ServerName", "Mac");
    reg.setMultiString("NTSRV", kMacFileVolumes, "Pub", volumeData(R"(E:\Pub)"));
    reg.key("NTSRV", kMacFile).readOnlyAccess = true;
    reg.key("NTSRV", kMacFileVolumes).readOnlyAccess = true;
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "Mac");
    EXPECT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumePaths, std::vector<std::string>{R"(\\NTSRV\E$\Pub)"});
    for (const auto& opening : reg.openings) {
        EXPECT_EQ(opening.second, platform::kKeyRead) << opening.first;
    }
}

TEST_F(LookupTest, ThisComputerIsReadWithoutConnection) {
    reg.setString("WORKSTATION", kMacFile, "ServerName", "Local Mac");
    reg.setMultiString("WORKSTATION", kMacFileVolumes, "Pub", volumeData(R"(C:\Pub)"));
    EXPECT_EQ(lookup.GetMacServerName(true, "WORKSTATION"), "Local Mac");
    EXPECT_TRUE(lookup.GetLantrivexNames(true, "WORKSTATION"));
    EXPECT_TRUE(reg.connections.empty());
    // The network prefix is put in front for this computer too.
    EXPECT_EQ(lookup.sVolumePaths[0], R"(\\WORKSTATION\C$\Pub)");
}

TEST_F(LookupTest, VolumeRootTakesTheFirstPathEntry) {
    reg.setMultiString("NTSRV", kMacFileVolumes, "Graphics",
                       {"A=1", R"(Path=D:\Graphics Mac)", "B=2"});
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, std::vector<std::string>{"Graphics"});
    EXPECT_EQ(lookup.sVolumePaths, std::vector<std::string>{R"(\\NTSRV\D$\Graphics Mac)"});
}

TEST_F(LookupTest, PathMarkerIsCaseSensitiveAndMayBeEmpty) {
    reg.setMultiString("NTSRV", kMacFileVolumes, "Lower", {R"(path=E:\Mac)"});
    reg.setMultiString("NTSRV", kMacFileVolumes, "Empty", {"Path="});
    reg.setMultiString("NTSRV", kMacFileVolumes, "Unc", {R"(Path=\\other\share)"});
    reg.setValue("NTSRV", kMacFileVolumes, "Plain", platform::kRegSz, "Path=F:\0"s);
    reg.setDword("NTSRV", kMacFileVolumes, "Number", 1);
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (std::vector<std::string>{"", "Empty", "Unc", "Plain"}));
    EXPECT_EQ(
        lookup.sVolumePaths,
        (std::vector<std::string>{"", R"(\\NTSRV\)", R"(\\NTSRV\\\other\share)", R"(\\NTSRV\F$)"}));
}

TEST_F(LookupTest, SparsePositionsHoldEmptyEntries) {
    reg.setMultiString("NTSRV", kMacFileVolumes, "A", volumeData(R"(E:\A)"));
    reg.setMultiString("NTSRV", kMacFileVolumes, "NoPath", {"Properties=1"});
    reg.setMultiString("NTSRV", kMacFileVolumes, "C", volumeData(R"(E:\C)"));
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (std::vector<std::string>{"A", "", "C"}));
    EXPECT_EQ(lookup.sVolumePaths,
              (std::vector<std::string>{R"(\\NTSRV\E$\A)", "", R"(\\NTSRV\E$\C)"}));
}

TEST_F(LookupTest, EmptyVolumesKeyAndRebuildFromScratch) {
    reg.setMultiString("NTSRV", kMacFileVolumes, "A", volumeData(R"(E:\A)"));
    reg.setMultiString("NTSRV", kMacFileVolumes, "B", volumeData(R"(E:\B)"));
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames.size(), 2u);

    reg.key("EMPTY", kMacFileVolumes);
    EXPECT_TRUE(lookup.GetLantrivexNames(false, "EMPTY"));
    EXPECT_EQ(lookup.sVolumeNames, std::vector<std::string>{""});
    EXPECT_EQ(lookup.sVolumePaths, std::vector<std::string>{""});

    // A failed call resets the lists as well.
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_FALSE(lookup.GetLantrivexNames(false, "NOSUCH"));
    EXPECT_EQ(lookup.sVolumeNames, std::vector<std::string>{""});
}

TEST_F(LookupTest, EnumerationStopsAtTheFirstErrorKeepingWhatWasFound) {
    reg.setMultiString("NTSRV", kMacFileVolumes, "A", volumeData(R"(E:\A)"));
    reg.setMultiString("NTSRV", kMacFileVolumes, std::string(254, 'L'), volumeData(R"(E:\L)"));
    reg.setMultiString("NTSRV", kMacFileVolumes, "C", volumeData(R"(E:\C)"));
    // A name of 254 characters fits the 255-character buffer; one of 255 ends the enumeration.
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames.size(), 3u);

    reg.setMultiString("NTSRV", kMacFileVolumes, std::string(255, 'L'), volumeData(R"(E:\M)"));
    reg.key("NTSRV", kMacFileVolumes)
        .values.erase(reg.key("NTSRV", kMacFileVolumes).values.begin() + 1);
    // Now: A, C, LLL...(255).
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (std::vector<std::string>{"A", "C"}));

    reg.key("NTSRV", kMacFileVolumes).failEnumAt = 1;
    reg.key("NTSRV", kMacFileVolumes).failEnumWith = platform::kRegAccessDenied;
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, std::vector<std::string>{"A"});
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
    EXPECT_EQ(lookup.sVolumePaths, std::vector<std::string>{R"(\\NTSRV\G$\V)"});
    lookup.setProduct(kProductExtremeZIP);
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "EZIP");
    EXPECT_FALSE(lookup.GetLantrivexNames(false, "NTSRV"));
    // Any other code reads the MacFile locations.
    for (ProductCode other : {ProductCode{0}, ProductCode{5}, ProductCode{-1}}) {
        lookup.setProduct(other);
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

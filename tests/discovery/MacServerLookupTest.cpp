// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/MacServerLookup.h"

#include "discovery/RegistryValue.h"
#include "fakes/FakeRegistry.h"

#include <gtest/gtest.h>

namespace lantrivex::discovery {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kVolumes = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

TEST(QueryRegValue, ReadsStringsWithTheirNulsNumbersAsDigitsAndRefusesTheRest) {
    fakes::FakeRegistry reg;
    reg.setString("WORKSTATION", "K", "S", "Mac Server");
    reg.setMultiString("WORKSTATION", "K", "M", {"A=1", "Path=D:\\X"});
    reg.setDword("WORKSTATION", "K", "D", 0xFFFFFFFEu);
    reg.setValue("WORKSTATION", "K", "E", platform::kRegExpandSz, "%SystemRoot%\0"s);
    reg.setValue("WORKSTATION", "K", "Big", platform::kRegSz, std::string(kMaxValueData + 1, 'x'));
    // The data request failing after the size request: the value is emptied, the answer returned.
    reg.setString("WORKSTATION", "K", "Gone", "x").failDataWith = platform::kRegMoreData;
    std::unique_ptr<platform::RegistryHive> hive;
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(reg.localMachine(hive), 0);
    ASSERT_EQ(hive->openKey("K", platform::kKeyRead, key), 0);
    std::string value; // unsupported types and missing values leave it as it was
    const std::vector<std::tuple<const char*, platform::RegistryError, std::string>> rows = {
        {"S", 0, "Mac Server\0"s},
        {"M", 0, "A=1\0Path=D:\\X\0\0"s},
        {"Gone", platform::kRegMoreData, ""},
        {"D", 0, "-2"},
        {"E", kUnsupportedValueType, "-2"},
        {"absent", platform::kRegFileNotFound, "-2"},
        {"Big", platform::kRegNotEnoughMemory, ""}, // a hostile size
    };
    for (const auto& [name, answer, expected] : rows) {
        EXPECT_EQ(QueryRegValue(*key, name, value), answer) << name;
        EXPECT_EQ(value, expected) << name;
    }
}

struct LookupTest : ::testing::Test {
    fakes::FakeRegistry reg{"WORKSTATION"};
    MacServerLookup lookup{reg, kProductMacFile};
};

TEST_F(LookupTest, ServerNameFromTheProductKeyOrTheMachineNameOrNoneWhenUnreadable) {
    reg.setString("NTSRV", kMacFile, "ServerName", "Serveur Mac\0junk"s);
    reg.setValue("BIN", kMacFile, "ServerName", platform::kRegBinary, "ab"); // gives "BIN"
    reg.machine("BARE");
    reg.setString("LOCKED", kMacFile, "ServerName", "Locked");
    reg.key("LOCKED", kMacFile).refused = true;
    Strings names;
    for (const char* machine : {"NTSRV", "BIN", "NOSUCH", "BARE", "LOCKED"}) {
        names.push_back(lookup.GetMacServerName(false, machine));
    }
    EXPECT_EQ(names, (Strings{"Serveur Mac", "BIN", "", "", ""}));
    for (const char* machine : {"NOSUCH", "BARE", "LOCKED"}) {
        EXPECT_FALSE(lookup.GetLantrivexNames(false, machine)) << machine;
    }
    EXPECT_EQ(reg.openKeys + reg.openHives, 0);
}

TEST_F(LookupTest, KeysAreOpenedForReadingOnlyAndThisComputerWithoutConnection) {
    // A user who may read but not write the machine's registry still sees its volumes.
    for (const char* machine : {"NTSRV", "WORKSTATION"}) {
        reg.setString(machine, kMacFile, "ServerName", "Mac");
        reg.setMultiString(machine, kVolumes, "Pub", {R"(Path=E:\Pub)"});
        reg.key(machine, kMacFile).readOnlyAccess = true;
        reg.key(machine, kVolumes).readOnlyAccess = true;
    }
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "Mac");
    EXPECT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumePaths, Strings{R"(\\NTSRV\E$\Pub)"});
    for (const auto& opening : reg.openings) {
        EXPECT_EQ(opening.second, platform::kKeyRead) << opening.first;
    }
    reg.connections.clear();
    EXPECT_TRUE(lookup.GetLantrivexNames(true, "WORKSTATION"));
    EXPECT_TRUE(reg.connections.empty());
    EXPECT_EQ(lookup.sVolumePaths, Strings{R"(\\WORKSTATION\E$\Pub)"});
}

TEST_F(LookupTest, VolumeRootIsTheFirstCaseSensitivePathEntryAndEmptyEntriesKeepTheirPlace) {
    reg.setMultiString("NTSRV", kVolumes, "Graphics", {"A=1", R"(Path=D:\Graphics Mac)", "Path=X"});
    reg.setMultiString("NTSRV", kVolumes, "Lower", {R"(path=E:\Mac)"});
    reg.setMultiString("NTSRV", kVolumes, "NoPath", {"Properties=1"});
    reg.setMultiString("NTSRV", kVolumes, "Empty", {"Path="});
    reg.setMultiString("NTSRV", kVolumes, "Unc", {R"(Path=\\other\share)"});
    reg.setValue("NTSRV", kVolumes, "Plain", platform::kRegSz, "Path=f:\0"s);
    reg.setMultiString("NTSRV", kVolumes, "Bare", {"Path=E"});
    reg.setDword("NTSRV", kVolumes, "Number", 1);
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (Strings{"Graphics", "", "", "Empty", "Unc", "Plain", "Bare"}));
    EXPECT_EQ(lookup.sVolumePaths,
              (Strings{R"(\\NTSRV\D$\Graphics Mac)", "", "", R"(\\NTSRV\)",
                       R"(\\NTSRV\\\other\share)", R"(\\NTSRV\f$)", R"(\\NTSRV\E)"}));
}

TEST_F(LookupTest, EachCallRebuildsTheListsFromScratch) {
    reg.setMultiString("NTSRV", kVolumes, "A", {R"(Path=E:\A)"});
    reg.key("EMPTY", kVolumes);
    for (const std::string& machine : {"EMPTY"s, "NOSUCH"s}) { // a failed call resets them as well
        ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
        EXPECT_EQ(lookup.GetLantrivexNames(false, machine), machine == "EMPTY");
        EXPECT_EQ(lookup.sVolumeNames, Strings{""});
        EXPECT_EQ(lookup.sVolumePaths, Strings{""});
    }
}

TEST_F(LookupTest, EnumerationStopsAtTheFirstErrorKeepingWhatWasFound) {
    // A name of 254 characters fits the 255-character buffer; one of 255 ends the enumeration.
    for (const std::string& name : {"A"s, std::string(254, 'L'), std::string(255, 'M'), "C"s}) {
        reg.setMultiString("NTSRV", kVolumes, name, {R"(Path=E:\V)"});
    }
    ASSERT_TRUE(lookup.GetLantrivexNames(false, "NTSRV"));
    EXPECT_EQ(lookup.sVolumeNames, (Strings{"A", std::string(254, 'L')}));
    EXPECT_EQ(reg.openKeys, 0);
}

// A registry that answers every position of the volumes key: the enumeration stops at the count
// the key reports, and at a fixed bound whatever it reports; a root longer than any Windows path
// is no volume.
TEST_F(LookupTest, EndlessVolumeListsAreBoundedAndOverlongRootsRefused) {
    const auto limit = static_cast<std::size_t>(MacServerLookup::kMaxVolumes);
    const struct {
        std::optional<std::uint32_t> count;
        std::size_t rootLength;
        std::size_t asked, kept;
    } rows[] = {
        {std::nullopt, 8, limit, limit},
        {3, 8, 3, 3},
        {0xFFFFFFFF, 8, limit, limit},
        {2, MacServerLookup::kMaxVolumeRoot, 2, 2},
        {2, MacServerLookup::kMaxVolumeRoot + 1, 2, 1},
    };
    for (const auto& row : rows) {
        fakes::FakeRegistry endless;
        endless.setMultiString("NTSRV", kVolumes, "Vol",
                               {"Path=" + std::string(row.rootLength, 'v')});
        auto& key = endless.key("NTSRV", kVolumes);
        key.endless = true;
        key.count = row.count;
        MacServerLookup bounded(endless, kProductMacFile);
        ASSERT_TRUE(bounded.GetLantrivexNames(false, "NTSRV"));
        EXPECT_EQ(static_cast<std::size_t>(key.positionsAsked), row.asked) << row.rootLength;
        EXPECT_EQ(bounded.sVolumeNames.size(), row.kept) << row.rootLength;
        EXPECT_EQ(bounded.sVolumePaths.back().size(),
                  row.kept == row.asked ? row.rootLength + 8 : 0)
            << row.rootLength;
    }
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
    lookup.setProduct(-1); // any other code reads the MacFile locations
    EXPECT_EQ(lookup.GetMacServerName(false, "NTSRV"), "SFM");
    EXPECT_EQ(productCaption(5), "Microsoft SFM (MacFile)");
    EXPECT_EQ(productCaption(1), "Cyan Software MacServerIP");
    EXPECT_EQ(productCaption(2), "Intergraph ExtremeZ-IP");
}

} // namespace
} // namespace lantrivex::discovery

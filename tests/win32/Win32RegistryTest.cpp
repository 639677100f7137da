// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Registry.h"

#include "WindowsTestSupport.h"
#include "discovery/MacServerLookup.h"
#include "discovery/RegistryValue.h"
#include "platform/win32/AnsiCodePage.h"

#include <atomic>

namespace lantrivex::test {
namespace {

using Strings = std::vector<std::string>;

// A product's keys as the tests write them: the server's name ("": none), then volumes; one whose
// name is over the 255-character buffer ends the list.
void writeProduct(ScratchRegistry& scratch, const ProductData& product,
                  const std::string& serverName) {
    if (!serverName.empty()) {
        scratch.setString(product.serverKey, "ServerName", serverName);
    }
    const std::pair<std::string, Strings> volumes[] = {
        {"A Graphics", {"A=1", R"(Path=D:\Graphics Mac)", "B=2"}},
        {"B Lower", {R"(path=E:\Mac)"}},
        {"C " + localLetter() + "ditions", {R"(Path=E:\)" + localLetter() + "ditions"}},
        {"D Bare", {"Path="}},
        {"Z" + std::string(299, 'x'), {R"(Path=F:\Long)"}},
        {"Zz After", {R"(Path=F:\After)"}}};
    for (const auto& [name, entries] : volumes) {
        scratch.setMultiString(product.volumesKey, name, entries);
    }
}

void expectVolumesRead(const discovery::MacServerLookup& lookup, const std::string& host) {
    const std::string name = localLetter() + "ditions";
    EXPECT_EQ(lookup.sVolumeNames, (Strings{"A Graphics", "", "C " + name, "D Bare"}));
    EXPECT_EQ(lookup.sVolumePaths,
              (Strings{R"(\\)" + host + R"(\D$\Graphics Mac)", "",
                       R"(\\)" + host + R"(\E$\)" + name, R"(\\)" + host + R"(\)"}));
}

// Every product's keys, written as the server keeps them: the lookup reads each one on this
// computer's own registry.
TEST(Win32Registry, LookupOfEachProductReadsServerNameAndVolumes) {
    const std::string host = computerName();
    ASSERT_FALSE(host.empty());
    ScratchRegistry scratch(ScratchRegistry::forReadingOnly);
    // Each product's server name ("": none, the computer's name is taken).
    const std::string servers[] = {"Serveur Mac " + localLetter() + "ditions", "", "ExtremeZ"};
    for (const ProductData& product : productData()) {
        writeProduct(scratch, product, servers[product.code]);
    }
    SKIP_UNLESS_READY(scratch);

    platform::win32::Win32Registry registry;
    for (const ProductData& product : productData()) {
        SCOPED_TRACE(product.serverKey);
        discovery::MacServerLookup lookup(registry, product.code);
        EXPECT_EQ(lookup.GetMacServerName(true, host),
                  servers[product.code].empty() ? host : servers[product.code]);
        ASSERT_TRUE(lookup.GetLantrivexNames(true, host));
        expectVolumesRead(lookup, host);
    }
}

// The same keys reached through a connection to this computer by its name (RegConnectRegistryA).
TEST(Win32Registry, LookupThroughAConnectionToThisComputer) {
    const std::string host = computerName();
    const ProductData& macFile = productData().front();
    ScratchRegistry scratch({macFile.root});
    writeProduct(scratch, macFile, "Serveur Mac");
    SKIP_UNLESS_READY(scratch);
    platform::win32::Win32Registry registry;
    discovery::MacServerLookup lookup(registry, macFile.code);
    EXPECT_EQ(lookup.GetMacServerName(false, host), "Serveur Mac");
    ASSERT_TRUE(lookup.GetLantrivexNames(false, host));
    expectVolumesRead(lookup, host);
}

// A 32-bit product on a 64-bit Windows: its keys are in the 32-bit view (SOFTWARE\WOW6432Node),
// read when the native view has none; when both have them, the native view's are read.
TEST(Win32Registry, ThirtyTwoBitProductFoundUnderWow6432Node) {
#if !defined(_WIN64)
    GTEST_SKIP() << "a 32-bit program reads the 32-bit view as its own";
#endif
    const std::string host = computerName();
    const ProductData& cyan = productData()[1];
    const std::string view32 = R"(SOFTWARE\WOW6432Node\cyan)";
    ScratchRegistry scratch({cyan.root, view32});
    scratch.setString(view32 + R"(\MacServerIP)", "ServerName", "Serveur 32");
    scratch.setMultiString(view32 + R"(\MacServerIP\Volumes)", "Pub", {R"(Path=C:\Pub)"});
    SKIP_UNLESS_READY(scratch);
    platform::win32::Win32Registry registry;
    discovery::MacServerLookup lookup(registry, cyan.code);
    EXPECT_EQ(lookup.GetMacServerName(true, host), "Serveur 32");
    ASSERT_TRUE(lookup.GetLantrivexNames(true, host));
    EXPECT_EQ(lookup.sVolumePaths, Strings{R"(\\)" + host + R"(\C$\Pub)"});

    scratch.setString(cyan.serverKey, "ServerName", "Serveur 64");
    EXPECT_EQ(lookup.GetMacServerName(true, host), "Serveur 64");
}

// Each value read costs two RegQueryValueExA requests, its size then its data (each a round trip
// on a remote registry), whatever its type and letters.
std::atomic<int> valueRequests{0};
LONG WINAPI countedQuery(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size) {
    ++valueRequests;
    return ::RegQueryValueExA(key, name, reserved, type, data, size);
}

TEST(Win32Registry, TwoRequestsPerValue) {
    const std::string host = computerName();
    ScratchRegistry scratch(ScratchRegistry::forReadingOnly);
    const ProductData& macFile = productData().front();
    writeProduct(scratch, macFile, "Serveur " + localLetter());
    const DWORD number = 7;
    scratch.set(macFile.serverKey, "Count", REG_DWORD, &number, sizeof number);
    SKIP_UNLESS_READY(scratch);

    platform::win32::Win32Registry registry(countedQuery);
    discovery::MacServerLookup lookup(registry, macFile.code);
    valueRequests = 0;
    EXPECT_EQ(lookup.GetMacServerName(true, host), "Serveur " + localLetter());
    EXPECT_EQ(valueRequests, 2);
    valueRequests = 0;
    ASSERT_TRUE(lookup.GetLantrivexNames(true, host));
    EXPECT_EQ(valueRequests, 2 * 4); // the four values before the name that does not fit
    std::unique_ptr<platform::RegistryHive> hive;
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(registry.localMachine(hive), platform::kRegOk);
    ASSERT_EQ(hive->openKey(macFile.serverKey, platform::kKeyRead, key), platform::kRegOk);
    valueRequests = 0;
    std::string value;
    EXPECT_EQ(discovery::QueryRegValue(*key, "Count", value), platform::kRegOk);
    EXPECT_EQ(value, "7");
    EXPECT_EQ(valueRequests, 2);
}

// A machine that does not exist is not reached, and is told so under its name in any letter case.
TEST(Win32Registry, NoConnectionToAMachineThatDoesNotExist) {
    std::unique_ptr<platform::RegistryHive> nowhere;
    platform::win32::Win32Registry registry;
    const platform::RegistryError answer =
        registry.connect("LANTRIVEX-NO-SUCH-H\xC3\x94TE", nowhere);
    EXPECT_NE(answer, platform::kRegOk);
    EXPECT_FALSE(nowhere);
    EXPECT_NE(registry.connectFailure("lantrivex-no-such-h\xC3\xB4te"),
              platform::AccessFailure::None);
    if (runningUnderWine()) {
        EXPECT_EQ(answer, platform::kRegBadNetPath);
    }
}

// The codes and sizes the lookup relies on: a short name buffer, a short data buffer, a missing
// key or value, a number.
TEST(Win32Registry, AnswersWithTheSystemsCodesAndConvertedSizes) {
    const std::string path = R"(SOFTWARE\Lantrivex test values)";
    ScratchRegistry scratch(ScratchRegistry::forReadingOnly);
    // A name of five letters and a text of four, one of each beyond ASCII.
    const std::string letter = localLetter();
    const std::string name = letter + "mile";
    const std::string text = "caf" + letter;
    const std::size_t nameSize = platform::win32::toAnsi(name).value_or("").size();
    scratch.setString(path, name, text);
    const DWORD number = 0xFFFFFFFE;
    scratch.set(path, name + " count", REG_DWORD, &number, sizeof number);
    SKIP_UNLESS_READY(scratch);

    platform::win32::Win32Registry registry;
    std::unique_ptr<platform::RegistryHive> hive;
    ASSERT_EQ(registry.localMachine(hive), platform::kRegOk);
    std::unique_ptr<platform::RegistryKey> key;
    EXPECT_EQ(hive->openKey(path + R"(\No such key)", platform::kKeyRead, key),
              platform::kRegFileNotFound);
    ASSERT_EQ(hive->openKey(path, platform::kKeyRead, key), platform::kRegOk);

    // The name buffer counts the name's ANSI characters and the NUL.
    std::string found = "unchanged";
    EXPECT_EQ(key->enumValueName(0, static_cast<std::uint32_t>(nameSize), found),
              platform::kRegMoreData);
    EXPECT_EQ(found, "unchanged");
    EXPECT_EQ(key->enumValueName(0, static_cast<std::uint32_t>(nameSize + 1), found),
              platform::kRegOk);
    EXPECT_EQ(found, name);
    EXPECT_EQ(key->enumValueName(2, 255, found), platform::kRegNoMoreItems);

    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(key->queryValueInfo(name, type, size), platform::kRegOk);
    EXPECT_EQ(type, platform::kRegSz);
    EXPECT_EQ(size, text.size() + 1); // UTF-8 bytes and the NUL
    std::string data;
    EXPECT_EQ(key->queryValueData(name, size - 1, type, data), platform::kRegMoreData);
    EXPECT_EQ(key->queryValueData(name, size, type, data), platform::kRegOk);
    EXPECT_EQ(data, text + '\0');
    EXPECT_EQ(key->queryValueData(name + " count", 4, type, data), platform::kRegOk);
    EXPECT_EQ(type, platform::kRegDword);
    EXPECT_EQ(data, std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(key->queryValueInfo("Missing", type, size), platform::kRegFileNotFound);
}

} // namespace
} // namespace lantrivex::test

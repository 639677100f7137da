// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Registry.h"

#include "WindowsTestSupport.h"
#include "discovery/MacServerLookup.h"

namespace lantrivex::test {
namespace {

using Strings = std::vector<std::string>;

// Every product's keys, written as the server keeps them: the lookup reads each one, on this
// computer's own registry and through a connection to it by name.
TEST(Win32Registry, LookupOfEachProductReadsServerNameAndVolumes) {
    const std::string host = computerName();
    ASSERT_FALSE(host.empty());
    Strings roots;
    for (const ProductData& product : productData()) {
        roots.push_back(product.root);
    }
    ScratchRegistry scratch(roots);
    // Each product's server name ("": none, the computer's name is taken), then volumes: one
    // whose name is over the 255-character buffer ends the list.
    const std::string servers[] = {"Serveur Mac éditions", "", "ExtremeZ"};
    const std::pair<std::string, Strings> volumes[] = {
        {"A Graphics", {"A=1", R"(Path=D:\Graphics Mac)", "B=2"}},
        {"B Lower", {R"(path=E:\Mac)"}},
        {"C Éditions", {R"(Path=E:\Éditions)"}},
        {"D Bare", {"Path="}},
        {"Z" + std::string(299, 'x'), {R"(Path=F:\Long)"}},
        {"Zz After", {R"(Path=F:\After)"}}};
    for (const ProductData& product : productData()) {
        if (!servers[product.code].empty()) {
            scratch.setString(product.serverKey, "ServerName", servers[product.code]);
        }
        for (const auto& [name, entries] : volumes) {
            scratch.setMultiString(product.volumesKey, name, entries);
        }
    }
    SKIP_UNLESS_READY(scratch);

    platform::win32::Win32Registry registry;
    for (const ProductData& product : productData()) {
        for (const bool local : {true, false}) {
            SCOPED_TRACE(product.serverKey + (local ? " (local)" : " (connected)"));
            discovery::MacServerLookup lookup(registry, product.code);
            EXPECT_EQ(lookup.GetMacServerName(local, host),
                      servers[product.code].empty() ? host : servers[product.code]);
            ASSERT_TRUE(lookup.GetLantrivexNames(local, host));
            EXPECT_EQ(lookup.sVolumeNames, (Strings{"A Graphics", "", "C Éditions", "D Bare"}));
            EXPECT_EQ(lookup.sVolumePaths,
                      (Strings{R"(\\)" + host + R"(\D$\Graphics Mac)", "",
                               R"(\\)" + host + R"(\E$\Éditions)", R"(\\)" + host + R"(\)"}));
        }
    }
}

// This computer is reached by its name in the lookup above; a machine that does not exist is not.
TEST(Win32Registry, NoConnectionToAMachineThatDoesNotExist) {
    std::unique_ptr<platform::RegistryHive> nowhere;
    const platform::RegistryError answer =
        platform::win32::Win32Registry().connect("LANTRIVEX-NO-SUCH-HOST", nowhere);
    EXPECT_NE(answer, platform::kRegOk);
    EXPECT_FALSE(nowhere);
    if (runningUnderWine()) {
        EXPECT_EQ(answer, platform::kRegBadNetPath);
    }
}

// The codes and sizes the lookup relies on: a short name buffer, a short data buffer, a missing
// key or value, a number.
TEST(Win32Registry, AnswersWithTheSystemsCodesAndConvertedSizes) {
    const std::string path = R"(SOFTWARE\Lantrivex test values)";
    ScratchRegistry scratch({path});
    SKIP_UNLESS_READY(scratch);
    scratch.setString(path, "Émile", "café");
    const DWORD number = 0xFFFFFFFE;
    scratch.set(path, "Émile count", REG_DWORD, &number, sizeof number);

    platform::win32::Win32Registry registry;
    std::unique_ptr<platform::RegistryHive> hive;
    ASSERT_EQ(registry.localMachine(hive), platform::kRegOk);
    std::unique_ptr<platform::RegistryKey> key;
    EXPECT_EQ(hive->openKey(path + R"(\No such key)", platform::kKeyRead, key),
              platform::kRegFileNotFound);
    ASSERT_EQ(hive->openKey(path, platform::kKeyRead, key), platform::kRegOk);

    std::string name = "unchanged";
    EXPECT_EQ(key->enumValueName(0, 5, name), platform::kRegMoreData); // 5 characters + NUL
    EXPECT_EQ(key->enumValueName(0, 6, name), platform::kRegOk);
    EXPECT_EQ(name, "Émile");
    EXPECT_EQ(key->enumValueName(2, 255, name), platform::kRegNoMoreItems);

    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(key->queryValueInfo("émile", type, size), platform::kRegOk);
    EXPECT_EQ(type, platform::kRegSz);
    EXPECT_EQ(size, std::string("café").size() + 1); // UTF-8 bytes and the NUL
    std::string data;
    EXPECT_EQ(key->queryValueData("Émile", size - 1, type, data), platform::kRegMoreData);
    EXPECT_EQ(key->queryValueData("Émile", size, type, data), platform::kRegOk);
    EXPECT_EQ(data, std::string("café", 6));
    EXPECT_EQ(key->queryValueData("Émile count", 4, type, data), platform::kRegOk);
    EXPECT_EQ(type, platform::kRegDword);
    EXPECT_EQ(data, std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(key->queryValueInfo("Missing", type, size), platform::kRegFileNotFound);
}

} // namespace
} // namespace lantrivex::test

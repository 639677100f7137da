// SPDX-License-Identifier: GPL-3.0-or-later
#include "regfile/RegFile.h"

#include "platform/TempFolder.h"
#include "regfile/RegFileRegistry.h"

#include <gtest/gtest.h>
#include <tuple>

namespace lantrivex::regfile {
using namespace lantrivex::platform;
using platform::posix::TempFolder;
namespace {

using namespace std::string_literals;

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kVolumes = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

std::string readData(const std::string& name) {
    std::ifstream in(std::string(LANTRIVEX_SOURCE_DIR) + "/tests/regfile/data/" + name,
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ASCII text as the registry editor writes a version 5 export: BOM, UTF-16LE, CR LF.
std::string asVersion5(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        out += c == '\n' ? "\r\0\n\0"s : std::string{c, '\0'};
    }
    return out;
}

std::string valueData(const RegFile& file, const char* key, const char* name) {
    const RegFileKey* k = file.findKey(key);
    const RegFileValue* v = k ? k->findValue(name) : nullptr;
    return k ? (v ? v->data : "<no value>") : "<no key>";
}

TEST(RegFile, ReadsVersion5AndRegedit4ExportsAsWindowsWritesThem) {
    std::string error;
    const auto v5 = RegFile::parse(readData("NTSRV1.reg"), &error);
    ASSERT_TRUE(v5.has_value()) << error;
    EXPECT_TRUE(v5->unicode());
    EXPECT_EQ(valueData(*v5, kMacFile, "ServerName"), "Serveur Graphisme\0"s);
    const RegFileKey* volumes =
        v5->findKey(R"(system\currentcontrolset\services\macfile\parameters\volumes)");
    ASSERT_TRUE(volumes && volumes->values.size() == 4 && volumes->values[0].type == 7);
    // hex(7) over several continuation lines, decoded from UTF-16LE.
    EXPECT_EQ(valueData(*v5, kVolumes, "Graphics"),
              "MaxUsers=4294967295\0Properties=1\0Password=\0Path=D:\\Mac Volumes\\Graphics\0\0"s);
    EXPECT_NE(v5->findKey(std::string(kMacFile) + "\\Type Creators"), nullptr); // an empty key

    const auto v4 = RegFile::parse(readData("NTSRV2.reg"), &error); // the ANSI code page
    ASSERT_TRUE(v4.has_value()) << error;
    EXPECT_FALSE(v4->unicode());
    EXPECT_EQ(valueData(*v4, kVolumes, "Comptabilit\xC3\xA9"),
              "MaxUsers=20\0Properties=1\0Path=D:\\Comptabilit\xC3\xA9\0\0"s);
    // Without a byte order mark: UTF-8 when valid, else ANSI.
    const std::string head = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"N\"=\"Comptabilit";
    for (const std::string& bytes :
         {head + "\xC3\xA9\"\n", head + "\xE9\"\n", "\xEF\xBB\xBF" + head + "\xC3\xA9\"\n"}) {
        const auto file = RegFile::parse(bytes);
        EXPECT_EQ(file ? valueData(*file, "K", "N") : "<refused>", "Comptabilit\xC3\xA9\0"s);
    }
}

TEST(RegFile, ValueFormsAndLaterKeysMerged) {
    const std::string text =
        "Windows Registry Editor Version 5.00\n\n; a comment\n[HKEY_CURRENT_USER\\Software\\X]\n"
        "\"Ignored\"=\"not local machine\"\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n@=\"default\"\n"
        "\"Quoted\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\n\"Odd\\\\Name\"=\"x\\qy\"\n"
        "\"Dword\"=dword:0000000a\n\"Short\"=dword:1f\n\"Bin\"=hex:01,02 , ff,\\\n   10\n"
        "\"Empty\"=hex:\n\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"
        "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n\"Gone\"=-\n\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\test]\n"
        "\"dword\"=dword:00000001\n\"Later\"=\"merged\"\n";
    std::string error;
    const auto file = RegFile::parse(asVersion5(text), &error);
    ASSERT_TRUE(file.has_value()) << error;
    const std::pair<const char*, std::string> rows[] = {
        {"", "default\0"s},       {"Quoted", "say \"hi\" C:\\dir\\\0"s}, {"Odd\\Name", "x\\qy\0"s},
        {"Dword", "\x01\0\0\0"s}, // replaced by the later key's value
        {"Short", "\x1F\0\0\0"s}, {"Bin", "\x01\x02\xFF\x10"s},          {"Empty", ""},
        {"Expand", "%A%\0"s},     {"Qword", "\x01\0\0\0\0\0\0\0"s},      {"Gone", "<no value>"},
        {"Later", "merged\0"s}};
    for (const auto& [name, data] : rows) {
        EXPECT_EQ(valueData(*file, R"(SOFTWARE\Test)", name), data) << name;
    }
    EXPECT_EQ(file->keys().size(), 1u); // neither the deleted key nor another root's
}

// Key and value names are found letter case aside, the accented letters of Windows-1252 included,
// from a UTF-8 export as from one in the ANSI code page.
TEST(RegFile, NamesFoundWithoutRegardToTheLetterCaseOfAccentedLetters) {
    for (const std::string& text :
         {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\Volumes\\\xC3\x89T\xC3\x89]\n\"\xC5\x92UVRE\"=\"x\"\n"s,
          "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Volumes\\\xC9T\xC9]\n\"\x8CUVRE\"=\"x\"\n"s}) {
        const auto file = RegFile::parse(text);
        ASSERT_TRUE(file.has_value());
        const std::tuple<const char*, const char*, std::string> rows[] = {
            {"volumes\\\xC3\xA9t\xC3\xA9", "\xC5\x93uvre", "x\0"s},
            {"VOLUMES\\\xC3\x89T\xC3\x89", "\xC5\x92UVRE", "x\0"s},
            {"volumes\\ete", "oeuvre", "<no key>"}};
        for (const auto& [key, name, data] : rows) {
            EXPECT_EQ(valueData(*file, key, name), data) << key;
        }
    }
}

TEST(RegFile, BrokenFilesAreRefusedWithAReason) {
    const std::string good = readData("NTSRV1.reg");
    const std::string v4 = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=";
    std::vector<std::string> cases = {
        "",
        asVersion5("[HKEY_LOCAL_MACHINE\\X]\n"),
        good.substr(0, good.size() - 1),
        good.substr(0, good.find("\\\0\r\0\n\0"s) + 2),        // cut inside a hex(7) continuation
        good.substr(0, good.find("S\0e\0r\0v\0e\0r\0N"s) + 6), // cut inside a name
        asVersion5("REGEDIT4\n") + "\x00\xD8\x41\x00"s,        // a broken surrogate
        asVersion5("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n"
                   "\"a\"=hex(7):41,00,42\n"), // odd UTF-16 string data
        asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n"),
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=\"b\0c\"\r\n"s,
        "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=\"\xE9\"\r\n", // not UTF-8
        "REGEDIT4\r\n" + std::string(RegFile::kMaxFileSize, ' ')};
    for (const char* value :
         {"hex:0g", "hex:1,2", "hex:0102", "dword:100000000", "hex(100000000):00", "qword:1"}) {
        cases.push_back(asVersion5(v4 + value + "\n"));
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string error;
        EXPECT_FALSE(RegFile::parse(cases[i], &error).has_value()) << i;
        EXPECT_FALSE(error.empty()) << i;
    }
}

TEST(RegFileRegistry, OneReadOnlyFilePerMachineNeverAPathOutsideTheFolder) {
    TempFolder dir;
    dir.folder("Registry/FOLDER.reg");
    dir.folder("secret");
    dir.write("Registry/NTSRV1.reg", readData("NTSRV1.reg"));
    dir.write("Registry/ntsrv2.REG", readData("NTSRV2.reg"));
    dir.write("Registry/SERVEUR-\xC3\x89.reg", readData("NTSRV2.reg"));
    dir.write("Registry/BROKEN.reg", readData("NTSRV1.reg").substr(0, 1001));
    dir.write("secret/x.reg", readData("NTSRV1.reg"));
    RegFileRegistry registry(dir.file("Registry"), "NTSRV1");
    std::unique_ptr<RegistryHive> hive;
    ASSERT_EQ(registry.localMachine(hive), kRegOk);
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(hive->openKey(kVolumes, kKeyRead, key), kRegOk);
    std::string name;
    EXPECT_EQ(key->enumValueName(1, 12, name), kRegMoreData); // "Publications" needs 13
    EXPECT_EQ(key->enumValueName(1, 13, name), kRegOk);
    EXPECT_EQ(key->enumValueName(4, 255, name), kRegNoMoreItems);
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(key->queryValueInfo("graphics", type, size), kRegOk);
    EXPECT_EQ(type, kRegMultiSz);
    std::string data;
    EXPECT_EQ(key->queryValueData("Graphics", size - 1, type, data), kRegMoreData);
    EXPECT_EQ(key->queryValueData("Graphics", size, type, data), kRegOk);
    EXPECT_EQ(data.size(), size);
    EXPECT_EQ(key->queryValueInfo("nothing", type, size), kRegFileNotFound);
    EXPECT_EQ(hive->openKey(kVolumes, kKeyAllAccess, key), kRegAccessDenied);
    EXPECT_EQ(hive->openKey("SOFTWARE\\Nothing", kKeyRead, key), kRegFileNotFound);

    EXPECT_EQ(registry.connect("ntsrv2", hive), kRegOk); // found without regard to case
    EXPECT_EQ(registry.connect("serveur-\xC3\xA9", hive), kRegOk);
    for (const char* bad :
         {"NTSRV3", "BROKEN", "FOLDER", "", ".", "..", "../secret/x", "..\\secret\\x"}) {
        hive.reset();
        EXPECT_EQ(registry.connect(bad, hive), kRegBadNetPath) << bad;
        EXPECT_EQ(hive, nullptr);
    }
    EXPECT_EQ(RegFileRegistry(dir.file("Registry"), "HOST").localMachine(hive), kRegBadNetPath);
}

} // namespace
} // namespace lantrivex::regfile

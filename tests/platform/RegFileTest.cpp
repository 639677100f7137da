#include "platform/posix/RegFile.h"

#include "platform/posix/RegFileRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace lantrivex::platform::posix {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
constexpr const char* kVolumes = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters\Volumes)";

std::string readData(const std::string& name) {
    std::ifstream in(std::string(LANTRIVEX_SOURCE_DIR) + "/tests/platform/data/" + name,
                     std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ASCII text as the registry editor writes a version 5 export: BOM, UTF-16LE, CR LF.
std::string asVersion5(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        if (c == '\n') {
            out += "\r\0"s;
        }
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

std::string valueData(const RegFile& file, const char* key, const char* name) {
    const RegFileKey* k = file.findKey(key);
    if (k == nullptr) {
        return "<no key>";
    }
    const RegFileValue* v = k->findValue(name);
    return v ? v->data : "<no value>";
}

TEST(RegFile, ReadsAVersion5ExportAsWindowsWritesIt) {
    const std::string bytes = readData("NTSRV1.reg");
    ASSERT_EQ(bytes.substr(0, 4), "\xFF\xFEW\0"s); // UTF-16LE with BOM
    std::string error;
    const auto file = RegFile::parse(bytes, &error);
    ASSERT_TRUE(file.has_value()) << error;
    EXPECT_TRUE(file->unicode());
    EXPECT_EQ(valueData(*file, kMacFile, "ServerName"), "Serveur Graphisme\0"s);
    EXPECT_EQ(valueData(*file, kMacFile, "maxsessions"), "\xFF\xFF\xFF\xFF"s);
    const RegFileKey* volumes =
        file->findKey(R"(system\currentcontrolset\services\macfile\parameters\volumes)");
    ASSERT_NE(volumes, nullptr);
    ASSERT_EQ(volumes->values.size(), 4u);
    EXPECT_EQ(volumes->values[0].name, "Graphics");
    EXPECT_EQ(volumes->values[0].type, 7u);
    // hex(7) over several continuation lines, decoded from UTF-16LE.
    EXPECT_EQ(volumes->values[0].data,
              "MaxUsers=4294967295\0Properties=1\0Password=\0Path=D:\\Mac Volumes\\Graphics\0\0"s);
    EXPECT_EQ(volumes->values[2].name, "Archives 1998");
    // An empty key is a key.
    EXPECT_NE(file->findKey(std::string(kMacFile) + "\\Type Creators"), nullptr);
}

TEST(RegFile, ReadsARegedit4ExportInTheAnsiCodePage) {
    std::string error;
    const auto file = RegFile::parse(readData("NTSRV2.reg"), &error);
    ASSERT_TRUE(file.has_value()) << error;
    EXPECT_FALSE(file->unicode());
    EXPECT_EQ(valueData(*file, kMacFile, "ServerName"), "Comptabilit\xC3\xA9\0"s);
    const RegFileKey* volumes = file->findKey(kVolumes);
    ASSERT_NE(volumes, nullptr);
    EXPECT_EQ(volumes->values[0].name, "Comptabilit\xC3\xA9");
    EXPECT_EQ(volumes->values[0].data,
              "MaxUsers=20\0Properties=1\0Path=D:\\Comptabilit\xC3\xA9\0\0"s);
}

TEST(RegFile, FilesWithoutByteOrderMarkAreUtf8WhenValidElseAnsi) {
    const std::string utf8 = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"N\"=\"Comptabilit\xC3\xA9\"\n";
    const std::string ansi = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"N\"=\"Comptabilit\xE9\"\n";
    for (const std::string& bytes : {utf8, ansi, "\xEF\xBB\xBF" + utf8}) {
        const auto file = RegFile::parse(bytes);
        ASSERT_TRUE(file.has_value());
        EXPECT_EQ(valueData(*file, "K", "N"), "Comptabilit\xC3\xA9\0"s);
    }
}

TEST(RegFile, ValueForms) {
    const std::string text = "Windows Registry Editor Version 5.00\n\n"
                             "; a comment\n"
                             "[HKEY_CURRENT_USER\\Software\\X]\n"
                             "\"Ignored\"=\"not local machine\"\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n"
                             "@=\"default\"\n"
                             "\"Quoted\"=\"say \\\"hi\\\" C:\\\\dir\\\\\"\n"
                             "\"Odd\\\\Name\"=\"x\\qy\"\n"
                             "\"Dword\"=dword:0000000a\n"
                             "\"Short\"=dword:1f\n"
                             "\"Bin\"=hex:01,02 , ff,\\\n"
                             "   10\n"
                             "\"Empty\"=hex:\n"
                             "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"
                             "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
                             "\"Gone\"=-\n"
                             "\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\test]\n"
                             "\"dword\"=dword:00000001\n"
                             "\"Later\"=\"merged\"\n";
    std::string error;
    const auto file = RegFile::parse(asVersion5(text), &error);
    ASSERT_TRUE(file.has_value()) << error;
    const char* key = R"(SOFTWARE\Test)";
    EXPECT_EQ(valueData(*file, key, ""), "default\0"s);
    EXPECT_EQ(valueData(*file, key, "Quoted"), "say \"hi\" C:\\dir\\\0"s);
    EXPECT_EQ(valueData(*file, key, "Odd\\Name"), "x\\qy\0"s);
    EXPECT_EQ(valueData(*file, key, "Dword"), "\x01\0\0\0"s); // replaced by the later key's value
    EXPECT_EQ(valueData(*file, key, "Short"), "\x1F\0\0\0"s);
    EXPECT_EQ(valueData(*file, key, "Bin"), "\x01\x02\xFF\x10"s);
    EXPECT_EQ(valueData(*file, key, "Empty"), "");
    EXPECT_EQ(valueData(*file, key, "Expand"), "%A%\0"s);
    EXPECT_EQ(valueData(*file, key, "Qword"), "\x01\0\0\0\0\0\0\0"s);
    EXPECT_EQ(valueData(*file, key, "Gone"), "<no value>");
    EXPECT_EQ(valueData(*file, key, "Later"), "merged\0"s);
    EXPECT_EQ(file->keys().size(), 1u);
    EXPECT_EQ(file->findKey(R"(SOFTWARE\Old)"), nullptr);
    EXPECT_EQ(file->findKey(R"(Software\X)"), nullptr);
}

TEST(RegFile, BrokenFilesAreRefusedWithAReason) {
    const std::string good = readData("NTSRV1.reg");
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty", ""},
        {"no header", asVersion5("[HKEY_LOCAL_MACHINE\\X]\n")},
        {"odd byte count", good.substr(0, good.size() - 1)},
        // Cut inside the continuation lines of a hex(7) value.
        {"truncated in a value", good.substr(0, good.find("\\\0\r\0\n\0"s) + 2)},
        {"truncated in a name", good.substr(0, good.find("S\0e\0r\0v\0e\0r\0N"s) + 6)},
        {"broken surrogate", asVersion5("REGEDIT4\n") + "\x00\xD8\x41\x00"s},
        {"bad hex", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=hex:0g\n")},
        {"single hex digit", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=hex:1,2\n")},
        {"missing comma", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=hex:0102\n")},
        {"huge dword", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=dword:100000000\n")},
        {"huge type", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=hex(100000000):00\n")},
        {"odd UTF-16 string data",
         asVersion5("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n"
                    "\"a\"=hex(7):41,00,42\n")},
        {"unterminated key", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n")},
        {"unknown form", asVersion5("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=qword:1\n")},
        {"NUL in text", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=\"b\0c\"\r\n"s},
        {"oversized", "REGEDIT4\r\n" + std::string(RegFile::kMaxFileSize, ' ')},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(RegFile::parse(c.bytes, &error).has_value()) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

class RegFileRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("lantrivex-regtest-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "Registry");
        write("NTSRV1.reg", readData("NTSRV1.reg"));
        write("ntsrv2.REG", readData("NTSRV2.reg"));
        write("BROKEN.reg", readData("NTSRV1.reg").substr(0, 1001));
        fs::create_directories(dir / "Registry" / "FOLDER.reg");
        fs::create_directories(dir / "secret");
        write("../secret/x.reg", readData("NTSRV1.reg"));
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / "Registry" / name, std::ios::binary) << bytes;
    }

    fs::path dir;
};

TEST_F(RegFileRegistryTest, OneFilePerMachine) {
    RegFileRegistry registry((dir / "Registry").string(), "NTSRV1");
    std::unique_ptr<RegistryHive> hive;
    ASSERT_EQ(registry.localMachine(hive), kRegOk);
    std::unique_ptr<RegistryKey> key;
    ASSERT_EQ(hive->openKey(kVolumes, kKeyRead, key), kRegOk);
    std::string name;
    EXPECT_EQ(key->enumValueName(0, 255, name), kRegOk);
    EXPECT_EQ(name, "Graphics");
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

    // Read only: more than reading is refused.
    EXPECT_EQ(hive->openKey(kVolumes, kKeyAllAccess, key), kRegAccessDenied);
    EXPECT_EQ(hive->openKey("SOFTWARE\\Nothing", kKeyRead, key), kRegFileNotFound);
}

TEST_F(RegFileRegistryTest, MachinesWithoutAGoodFileCannotBeReached) {
    RegFileRegistry registry((dir / "Registry").string(), "HOST");
    std::unique_ptr<RegistryHive> hive;
    EXPECT_EQ(registry.connect("NTSRV2", hive), kRegOk); // found without regard to case
    EXPECT_EQ(registry.connect("ntsrv1", hive), kRegOk);
    for (const char* name :
         {"HOST", "NOSUCH", "BROKEN", "FOLDER", "", ".", "..", "../secret/x", "..\\secret\\x"}) {
        hive.reset();
        EXPECT_EQ(registry.connect(name, hive), kRegBadNetPath) << name;
        EXPECT_EQ(hive, nullptr);
    }
    EXPECT_EQ(registry.localMachine(hive), kRegBadNetPath);
}

TEST_F(RegFileRegistryTest, FolderFromTheEnvironment) {
    ::unsetenv("LANTRIVEX_REGISTRY_DIR");
    EXPECT_EQ(RegFileRegistry::defaultFolder("/opt/lantrivex"), "/opt/lantrivex/Registry");
    ::setenv("LANTRIVEX_REGISTRY_DIR", "/srv/exports", 1);
    EXPECT_EQ(RegFileRegistry::defaultFolder("/opt/lantrivex"), "/srv/exports");
    ::unsetenv("LANTRIVEX_REGISTRY_DIR");
}

} // namespace
} // namespace lantrivex::platform::posix

#pragma once

#include "smb/RegExportWriter.h"

#include <initializer_list>
#include <string>
#include <vector>

// The registry of the test machine: the three products (server name present and absent, sparse
// volumes, the "Path=" cases, a name too long for the enumeration, accents, a value over 15 KB),
// and a key of every value type.
namespace lantrivex::smbtest::test_registry {

inline constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";
inline constexpr const char* kCyan = R"(SOFTWARE\cyan\MacServerIP)";
inline constexpr const char* kExtremeZ =
    R"(SYSTEM\CurrentControlSet\Services\ExtremeZ-IP\Parameters)";
inline constexpr const char* kTypes = R"(SOFTWARE\Lantrivex Test\Types)";

inline std::string multi(std::initializer_list<std::string> entries) {
    std::string out;
    for (const std::string& e : entries) {
        out += (&e == entries.begin() ? "" : std::string(1, '\0')) + e;
    }
    return out;
}

inline std::vector<ExportKey> machineRegistry() {
    std::string big;
    while (big.size() < 15'000) {
        big += "Note=" + std::string(70, 'n') + '\0';
    }
    big += "Path=D:\\Gros";
    return {
        {kMacFile, {{"ServerName", 1, "Serveur Éloïse"}}},
        {std::string(kMacFile) + "\\Volumes",
         {{"Pub", 7, multi({"A=1", "Path=D:\\Mac Volumes\\Pub", "B=2"})},
          {"Minuscule", 7, multi({"path=E:\\Mac"})},
          {"Graphisme é", 1, "Path=D:\\Graphisme é"},
          {"Racine", 7, multi({"Path=", "X=1"})},
          {"Gros", 7, big},
          {std::string(300, 'L'), 7, multi({"Path=D:\\Long"})},
          {"Après", 7, multi({"Path=D:\\Apres"})}}},
        {kCyan, {{"Version", 4, "", 3}}},
        {std::string(kCyan) + "\\Volumes", {{"Cyan", 7, multi({"Path=C:\\Cyan"})}}},
        {kExtremeZ, {{"ServerName", 1, "XZ"}}},
        {std::string(kExtremeZ) + "\\Volumes", {{"Secret", 7, multi({"Path=S:\\Secret"})}}},
        {kTypes,
         {{"Text", 1, "line one\nline two 😀"},
          {"Expand", 2, "%SystemRoot%\\Mac"},
          {"Number", 4, "", 0x12345678},
          {"Entries", 7, multi({"", "second", "", "fourth"})},
          {"Bytes", 3, std::string("\x00\x01\xfe\xff", 4)}}},
    };
}

} // namespace lantrivex::smbtest::test_registry

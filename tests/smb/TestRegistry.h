// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "smb/RegExportWriter.h"

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

inline std::vector<ExportKey> machineRegistry() {
    using namespace std::string_literals; // multi-strings: their entries joined by NULs
    std::string big;
    while (big.size() < 15'000) {
        big += "Note=" + std::string(70, 'n') + '\0';
    }
    big += "Path=D:\\Gros";
    return {
        {kMacFile, {{"ServerName", 1, "Serveur Éloïse"}}},
        {std::string(kMacFile) + "\\Volumes",
         {{"Pub", 7, "A=1\0Path=D:\\Mac Volumes\\Pub\0B=2"s},
          {"Minuscule", 7, "path=E:\\Mac"s},
          {"Graphisme é", 1, "Path=D:\\Graphisme é"},
          {"Racine", 7, "Path=\0X=1"s},
          {"Gros", 7, big},
          {std::string(300, 'L'), 7, "Path=D:\\Long"s},
          {"Après", 7, "Path=D:\\Apres"s}}},
        {kCyan, {{"Version", 4, "", 3}}},
        {std::string(kCyan) + "\\Volumes", {{"Cyan", 7, "Path=C:\\Cyan"s}}},
        {kExtremeZ, {{"ServerName", 1, "XZ"}}},
        {std::string(kExtremeZ) + "\\Volumes", {{"Secret", 7, "Path=S:\\Secret"s}}},
        {kTypes,
         {{"Text", 1, "line one\nline two 😀"},
          {"Expand", 2, "%SystemRoot%\\Mac"},
          {"Number", 4, "", 0x12345678},
          {"Entries", 7, "\0second\0\0fourth"s},
          {"Bytes", 3, std::string("\x00\x01\xfe\xff", 4)}}},
    };
}

} // namespace lantrivex::smbtest::test_registry

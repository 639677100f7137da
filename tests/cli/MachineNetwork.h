// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace lantrivex {

// A network of `machines` Windows machines laid out in `root` as the POSIX side reads it: a mount
// table (root/mounts) with one SMB mount of each machine's D$ on root/mnt/MACHINE, one REGEDIT4
// export per machine in root/Registry naming a Macintosh server with `volumes` volumes, and the
// volumes' folders, every fifth one missing. Machines are named NTSRV0, NTSRV1, ...
inline void writeMachineNetwork(const std::filesystem::path& root, int machines, int volumes) {
    namespace fs = std::filesystem;
    fs::create_directories(root / "Registry");
    std::ofstream mounts(root / "mounts", std::ios::binary);
    const auto hex = [](const std::string& text) {
        std::string out;
        char digits[4];
        for (unsigned char c : text) {
            std::snprintf(digits, sizeof digits, "%02x,", c);
            out += digits;
        }
        return out + "00,00";
    };
    for (int m = 0; m < machines; ++m) {
        const std::string name = "NTSRV" + std::to_string(m);
        const fs::path mountPoint = root / "mnt" / name;
        mounts << "//" << name << "/D$ " << mountPoint.string() << " cifs rw,relatime 0 0\n";
        std::ofstream reg(root / "Registry" / (name + ".reg"), std::ios::binary);
        reg << "REGEDIT4\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\MacFile\\Parameters]\r\n"
               "\"ServerName\"=\"Mac "
            << name
            << "\"\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\MacFile\\Parameters\\"
               "Volumes]\r\n";
        for (int v = 0; v < volumes; ++v) {
            const std::string volume = "Vol" + std::to_string(v);
            std::string data = "MaxUsers=20";
            data.push_back('\0');
            data += "Path=D:\\Mac\\" + volume;
            reg << '"' << volume << "\"=hex(7):" << hex(data) << "\r\n";
            if (v % 5 != 4) {
                fs::create_directories(mountPoint / "Mac" / volume);
            }
        }
    }
}

} // namespace lantrivex

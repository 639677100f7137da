// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLocation.h"

#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::platform::posix {

// The folder of the running executable, from /proc/self/exe (the current folder when the system
// does not tell), and the folder of the program's own files, Lantrivex.ini and Signatures.txt.
//
// A build folder or an unpacked copy keeps those files beside the executable. An installed
// program (its bundled files in ../share/lantrivex beside its bin/ folder), or one whose folder
// cannot be written, keeps them in the user's configuration folder, $XDG_CONFIG_HOME/lantrivex
// (~/.config/lantrivex by default): made when first needed, and given a copy of the bundled
// Signatures.txt whenever it holds none.
class PosixProgramLocation : public ProgramLocation {
public:
    std::string programFolder() override;
    std::string settingsFolder() override; // chosen once, then kept
    char pathSeparator() const override { return '/'; }

    // The folder of a file's absolute path, without a trailing separator ("/" for a file at the
    // root).
    static std::string folderOf(std::string_view filePath);

    // An installed program's bundled files: `programFolder`/../share/lantrivex.
    static std::string bundledFolder(std::string_view programFolder);

    // $XDG_CONFIG_HOME/lantrivex when that variable holds an absolute path, else
    // $HOME/.config/lantrivex; "" when neither tells (null stands for an unset variable).
    static std::string userSettingsFolder(const char* xdgConfigHome, const char* home);

    // The settings folder of a program in `programFolder`, with `userFolder` as the user's
    // configuration folder: the program's folder when the program is not installed and
    // `programFolderWritable`; else `userFolder`, made and given the signature file (see
    // prepareSettingsFolder). Where `userFolder` is "" or cannot be made, the folder the bundled
    // signature file is read from: the files there are read, nothing can be saved.
    static std::string chooseSettingsFolder(const std::string& programFolder,
                                            bool programFolderWritable,
                                            const std::string& userFolder);

    // Makes `folder` (private to the user when it is new) and, unless it holds a Signatures.txt,
    // copies `signatures` there, written under a temporary name and renamed into place. No
    // `signatures` file: nothing to copy. false when the folder cannot be made or the copy fails.
    static bool prepareSettingsFolder(const std::string& folder, const std::string& signatures);

private:
    std::optional<std::string> settingsFolder_;
};

} // namespace lantrivex::platform::posix

// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/DriveItems.h"

#include "common/Ascii.h"

namespace lantrivex::discovery {

std::string DrivesDialogTitle(LanguageFlag nLangue) {
    std::string title(kProductName);
    title += ' ';
    title += kProductVersion;
    title += tr(nLangue, " - Afficher les lecteurs", " - Display drives");
    return title;
}

std::string_view DrivesDialogButton(LanguageFlag nLangue) {
    return tr(nLangue, "&Annuler", "&Cancel");
}

std::string_view DriveKindText(std::int32_t kind, LanguageFlag nLangue) {
    switch (kind) {
    case platform::kDriveRemovable:
        return tr(nLangue, "Lecteur amovible", "Removable drive");
    case platform::kDriveFixed:
        return tr(nLangue, "Lecteur Local", "Local drive");
    case platform::kDriveRemote:
        return tr(nLangue, "Lecteur r\xC3\xA9seau", "Network drive");
    case platform::kDriveCdRom:
        return "CD-Rom";
    case platform::kDriveRamDisk:
        return tr(nLangue, "Lecteur virtuel", "Virtual drive");
    default:
        return "";
    }
}

std::vector<std::string> DriveItems(platform::DriveList& drives,
                                    const std::vector<std::string>& lstDrives,
                                    LanguageFlag nLangue) {
    std::vector<std::string> items;
    const bool mountPoints = drives.rootsAreMountPoints();
    for (const std::string& reported : drives.driveRoots()) {
        // A drive letter, ASCII by nature, shown as a capital.
        const std::string root = mountPoints ? reported : asciiToUpper(reported);
        const std::int32_t kind = drives.driveType(root);
        const std::string drive = mountPoints ? root : root.substr(0, 2);
        switch (kind) {
        case platform::kDriveRemovable:
        case platform::kDriveFixed:
        case platform::kDriveCdRom:
        case platform::kDriveRamDisk:
            items.push_back(drive + '\t' + std::string(DriveKindText(kind, nLangue)));
            break;
        case platform::kDriveRemote: {
            const std::string* line = nullptr;
            for (const std::string& candidate : lstDrives) {
                // A drive letter matches a line by its first two characters; a mount point by
                // the whole local name before the tab.
                const auto tab = candidate.find('\t');
                const bool same = mountPoints
                                      ? tab != std::string::npos &&
                                            std::string_view(candidate).substr(0, tab) == drive
                                      : std::string_view(candidate).substr(0, 2) == drive;
                if (same) {
                    line = &candidate;
                    break;
                }
            }
            items.push_back(line ? *line
                                 : drive + '\t' + std::string(DriveKindText(kind, nLangue)));
            break;
        }
        default:
            break;
        }
    }
    return items;
}

} // namespace lantrivex::discovery

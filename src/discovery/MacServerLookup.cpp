// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery/MacServerLookup.h"

#include "common/Utf8.h"
#include "discovery/RegistryValue.h"

#include <algorithm>

namespace lantrivex::discovery {

using platform::RegistryError;

RegistryError MacServerLookup::openRoot(bool FlagLocal, std::string_view sWinServerName,
                                        std::unique_ptr<platform::RegistryHive>& hive) {
    return FlagLocal ? registry_.localMachine(hive) : registry_.connect(sWinServerName, hive);
}

void MacServerLookup::rootFailed(bool FlagLocal, std::string_view sWinServerName,
                                 RegistryError error) {
    lastFailure_ = registry_.connectFailure(FlagLocal ? std::string_view() : sWinServerName);
    if (lastFailure_ == platform::AccessFailure::None) {
        lastFailure_ = error == platform::kRegAccessDenied ? platform::AccessFailure::AccessDenied
                                                           : platform::AccessFailure::Unreachable;
    }
}

std::string MacServerLookup::GetMacServerName(bool FlagLocal, std::string_view sWinServerName) {
    heldHive_.reset();
    lastFailure_ = platform::AccessFailure::None;
    std::unique_ptr<platform::RegistryHive> hive;
    if (const RegistryError e = openRoot(FlagLocal, sWinServerName, hive);
        e != platform::kRegOk || !hive) {
        rootFailed(FlagLocal, sWinServerName, e);
        return "";
    }
    std::unique_ptr<platform::RegistryKey> key;
    if (const RegistryError e =
            hive->openKey(productKeys(product_).serverKey, platform::kKeyRead, key);
        e != platform::kRegOk || !key) {
        lastFailure_ = platform::registryErrorFailure(
            e == platform::kRegOk ? platform::kRegInvalidParameter : e);
        return ""; // no volumes will be asked for: the connection goes now
    }
    std::string value;
    std::string name = QueryRegValue(*key, kServerNameValue, value) == platform::kRegOk
                           ? StripNull(value)
                           : std::string(sWinServerName);
    key.reset();
    if (!name.empty()) {
        heldHive_ = std::move(hive);
        heldLocal_ = FlagLocal;
        heldMachine_ = std::string(sWinServerName);
    }
    return name;
}

std::string NetworkVolumeRoot(std::string_view sWinServerName, std::string_view localPath) {
    std::string path;
    if (localPath.size() >= 2 && localPath[1] == ':') {
        path.push_back(localPath[0]);
        path.push_back('$');
        path.append(localPath.substr(2));
    } else {
        path.assign(localPath);
    }
    std::string root = R"(\\)";
    root.append(sWinServerName);
    root.push_back('\\');
    root.append(path);
    return root;
}

bool MacServerLookup::GetLantrivexNames(bool FlagLocal, std::string_view sWinServerName) {
    sVolumeNames.assign(1, "");
    sVolumePaths.assign(1, "");
    lastFailure_ = platform::AccessFailure::None;

    std::unique_ptr<platform::RegistryHive> hive = std::move(heldHive_);
    if (!hive || heldLocal_ != FlagLocal || heldMachine_ != sWinServerName) {
        hive.reset();
        if (const RegistryError e = openRoot(FlagLocal, sWinServerName, hive);
            e != platform::kRegOk || !hive) {
            rootFailed(FlagLocal, sWinServerName, e);
            return false;
        }
    }
    std::unique_ptr<platform::RegistryKey> key;
    if (const RegistryError e =
            hive->openKey(productKeys(product_).volumesKey, platform::kKeyRead, key);
        e != platform::kRegOk || !key) {
        lastFailure_ = platform::registryErrorFailure(
            e == platform::kRegOk ? platform::kRegInvalidParameter : e);
        return false;
    }

    std::int32_t end = kMaxVolumes;
    if (std::uint32_t count = 0; key->queryValueCount(count) == platform::kRegOk) {
        end = static_cast<std::int32_t>(std::min<std::uint32_t>(count, kMaxVolumes));
    }
    for (std::int32_t position = 0; position < end; ++position) {
        std::string buffer;
        if (key->enumValueName(position, kVolumeNameBuffer, buffer) != platform::kRegOk) {
            break; // the end of the values, or a name that does not fit
        }
        const std::string name = StripNull(buffer);

        std::string data;
        if (QueryRegValue(*key, name, data) != platform::kRegOk) {
            continue;
        }
        const auto marker = data.find(kPathMarker);
        if (marker == std::string::npos) {
            continue;
        }
        const std::string local =
            StripNull(std::string_view(data).substr(marker + kPathMarker.size()));
        if (local.size() > kMaxVolumeRoot && utf8CharacterCount(local) > kMaxVolumeRoot) {
            continue;
        }
        const std::string root = NetworkVolumeRoot(sWinServerName, local);

        const auto index = static_cast<std::size_t>(position);
        if (sVolumeNames.size() < index + 1) {
            sVolumeNames.resize(index + 1);
            sVolumePaths.resize(index + 1);
        }
        sVolumeNames[index] = name;
        sVolumePaths[index] = root;
    }
    return true;
}

} // namespace lantrivex::discovery

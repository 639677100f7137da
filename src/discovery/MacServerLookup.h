// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "discovery/MacServerProduct.h"
#include "platform/Registry.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::discovery {

// Asks a machine's registry, in the locations of the chosen product, for its Macintosh server name
// and its Macintosh volumes. Keys are opened for reading only: the program never writes the
// registry, and a user who may read but not write a machine's registry must see its volumes.
// Every failure is folded into the results; nothing is shown, but the reason is kept
// (lastFailure()). One lookup serves one thread: it keeps what it learnt of the machine it asks.
class MacServerLookup {
public:
    // Size of the name buffer of the volume enumeration, terminating NUL included.
    static constexpr std::uint32_t kVolumeNameBuffer = 255;
    // Bounds of the volume enumeration, whatever a registry answers: the positions asked (never
    // beyond the count of values the key reports), and the longest volume root kept (a Windows
    // path is at most 32,767 characters); a longer root is no volume.
    static constexpr std::int32_t kMaxVolumes = 4096;
    static constexpr std::size_t kMaxVolumeRoot = 32767;

    MacServerLookup(platform::Registry& registry, ProductCode product)
        : registry_(registry), product_(product) {}

    // A rebuild of the catalogue starts: machines that could not be reached are asked again.
    void beginRebuild() { registry_.beginRebuild(); }

    ProductCode product() const noexcept { return product_; }
    platform::Registry& registry() const noexcept { return registry_; }

    // Why the last GetMacServerName gave "", or the last GetLantrivexNames false:
    // AccessFailure::None after a call that did not fail.
    platform::AccessFailure lastFailure() const noexcept { return lastFailure_; }
    void setProduct(ProductCode product) noexcept { product_ = product; }

    // The machine's Macintosh server name: "" when the machine cannot be reached or the product's
    // server key cannot be opened; the value "ServerName" up to its first NUL when it can be read;
    // `sWinServerName` itself when the key opens but the value cannot be read. `FlagLocal`: the
    // machine is this computer (its registry is read without a connection).
    std::string GetMacServerName(bool FlagLocal, std::string_view sWinServerName);

    // Rebuilds sVolumeNames and sVolumePaths from the product's volumes key: entry i is the volume
    // at enumeration position i (name, and root in network form \\machine\E$\...), "" in both
    // lists for positions without a volume; at least one entry, at most kMaxVolumes. True when the
    // key was opened.
    bool GetLantrivexNames(bool FlagLocal, std::string_view sWinServerName);

    std::vector<std::string> sVolumeNames{""};
    std::vector<std::string> sVolumePaths{""};

private:
    platform::RegistryError openRoot(bool FlagLocal, std::string_view sWinServerName,
                                     std::unique_ptr<platform::RegistryHive>& hive);
    // Keeps the reason of a root that could not be opened.
    void rootFailed(bool FlagLocal, std::string_view sWinServerName, platform::RegistryError error);

    platform::Registry& registry_;
    ProductCode product_;
    // The connection that GetMacServerName made, kept for the GetLantrivexNames of the same
    // machine that follows it (the catalogue asks both in a row), so that a machine's registry
    // is reached once per rebuild; released by that call or by the next GetMacServerName.
    std::unique_ptr<platform::RegistryHive> heldHive_;
    bool heldLocal_ = false;
    std::string heldMachine_;
    platform::AccessFailure lastFailure_ = platform::AccessFailure::None;
};

// A volume root as seen from elsewhere on the network: "E:\Mac\Pub" on NTSRV becomes
// "\\NTSRV\E$\Mac\Pub"; a path without a drive colon as second character only gets the prefix.
std::string NetworkVolumeRoot(std::string_view sWinServerName, std::string_view localPath);

} // namespace lantrivex::discovery

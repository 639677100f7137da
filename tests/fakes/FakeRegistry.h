#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lantrivex::fakes {

// An in-memory registry of several machines. Machine names, key paths and value names are found
// without regard to ASCII letter case, as the system finds them. Values keep the order they were
// set in (their enumeration order). Records what was asked, so that tests can check it.
class FakeRegistry : public platform::Registry {
public:
    struct Value {
        std::string name;
        std::uint32_t type = platform::kRegSz;
        std::string data; // as the registry returns it: strings with their NULs
        // Answers for the data request (the second step of a query) instead of the data: models a
        // value that changed or vanished between the size request and the data request.
        platform::RegistryError failDataWith = platform::kRegOk;
    };
    struct Key {
        std::vector<Value> values;
        bool refused = false;        // every opening refused (no rights at all)
        bool readOnlyAccess = false; // the user may read, but any right beyond reading is refused
        // Enumeration answers this code at and after this position (a failing enumeration).
        std::int32_t failEnumAt = -1;
        platform::RegistryError failEnumWith = platform::kRegOk;
    };
    struct Machine {
        bool reachable = true;
        platform::RegistryError connectError = platform::kRegBadNetPath;
        std::map<std::string, Key> keys; // folded path -> key
    };

    explicit FakeRegistry(std::string localName = "WORKSTATION");

    // The machine (created when missing) and this computer's name.
    Machine& machine(std::string_view name);
    const std::string& localName() const noexcept { return localName_; }

    // The key (created empty when missing) of a machine.
    Key& key(std::string_view machineName, std::string_view path);

    // Sets a value, replacing one of the same name.
    Value& setValue(std::string_view machineName, std::string_view path, std::string_view valueName,
                    std::uint32_t type, std::string data);
    // REG_SZ: the text and its terminating NUL.
    Value& setString(std::string_view machineName, std::string_view path,
                     std::string_view valueName, std::string_view text);
    // REG_MULTI_SZ: every entry followed by a NUL, then one more NUL.
    Value& setMultiString(std::string_view machineName, std::string_view path,
                          std::string_view valueName, const std::vector<std::string>& entries);
    Value& setDword(std::string_view machineName, std::string_view path, std::string_view valueName,
                    std::uint32_t number);

    void setUnreachable(std::string_view machineName,
                        platform::RegistryError error = platform::kRegBadNetPath);

    // platform::Registry
    platform::RegistryError localMachine(std::unique_ptr<platform::RegistryHive>& hive) override;
    platform::RegistryError connect(std::string_view machineName,
                                    std::unique_ptr<platform::RegistryHive>& hive) override;

    // What was asked.
    std::vector<std::string> connections;                        // machines connected to
    std::vector<std::pair<std::string, std::uint32_t>> openings; // key path, access asked
    int openKeys = 0;                                            // keys opened and not closed
    int openHives = 0;                                           // hives given and not released

private:
    class Hive;
    class OpenedKey;
    Machine* findMachine(std::string_view name);

    std::string localName_;
    std::map<std::string, Machine> machines_; // folded name -> machine
};

} // namespace lantrivex::fakes

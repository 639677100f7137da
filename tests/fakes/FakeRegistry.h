#pragma once

#include "common/Ascii.h"
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
    using Error = platform::RegistryError;
    struct Value {
        std::string name;
        std::uint32_t type = platform::kRegSz;
        std::string data; // as the registry returns it: strings with their NULs
        // Answered by the data request (the second step of a query): a value that changed between
        // the size request and the data request.
        Error failDataWith = platform::kRegOk;
    };
    struct Key {
        std::vector<Value> values;
        bool refused = false;        // every opening refused (no rights at all)
        bool readOnlyAccess = false; // any right beyond reading is refused
        // Enumeration answers failEnumWith at and after this position.
        std::int32_t failEnumAt = -1;
        Error failEnumWith = platform::kRegOk;
    };
    struct Machine {
        bool reachable = true;
        std::map<std::string, Key> keys; // folded path -> key
    };

    explicit FakeRegistry(std::string localName = "WORKSTATION")
        : localName_(std::move(localName)) {
        machine(localName_);
    }

    // The machine, or the key of a machine, created empty when missing.
    Machine& machine(std::string_view name) { return machines_[asciiToLower(name)]; }
    Key& key(std::string_view machineName, std::string_view path) {
        return machine(machineName).keys[asciiToLower(path)];
    }

    // Sets a value, replacing one of the same name.
    Value& setValue(std::string_view machineName, std::string_view path, std::string_view valueName,
                    std::uint32_t type, std::string data) {
        Key& k = key(machineName, path);
        Value* v = find(k, valueName);
        if (v == nullptr) {
            v = &k.values.emplace_back();
            v->name = valueName;
        }
        v->type = type;
        v->data = std::move(data);
        return *v;
    }
    // REG_SZ: the text and its terminating NUL.
    Value& setString(std::string_view machineName, std::string_view path,
                     std::string_view valueName, std::string_view text) {
        return setValue(machineName, path, valueName, platform::kRegSz, std::string(text) + '\0');
    }
    // REG_MULTI_SZ: every entry followed by a NUL, then one more NUL.
    Value& setMultiString(std::string_view machineName, std::string_view path,
                          std::string_view valueName, const std::vector<std::string>& entries) {
        std::string data;
        for (const std::string& e : entries) {
            data += e + '\0';
        }
        return setValue(machineName, path, valueName, platform::kRegMultiSz, data + '\0');
    }
    Value& setDword(std::string_view machineName, std::string_view path, std::string_view valueName,
                    std::uint32_t number) {
        std::string data;
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
        }
        return setValue(machineName, path, valueName, platform::kRegDword, std::move(data));
    }
    // Connecting to the machine fails (kRegBadNetPath).
    void setUnreachable(std::string_view machineName) { machine(machineName).reachable = false; }

    Error localMachine(std::unique_ptr<platform::RegistryHive>& hive) override {
        hive = std::make_unique<Hive>(*this, machine(localName_));
        return platform::kRegOk;
    }
    Error connect(std::string_view machineName,
                  std::unique_ptr<platform::RegistryHive>& hive) override {
        connections.emplace_back(machineName);
        const auto it = machines_.find(asciiToLower(machineName));
        if (it == machines_.end() || !it->second.reachable) {
            return platform::kRegBadNetPath;
        }
        hive = std::make_unique<Hive>(*this, it->second);
        return platform::kRegOk;
    }

    // What was asked.
    std::vector<std::string> connections;                        // machines connected to
    std::vector<std::pair<std::string, std::uint32_t>> openings; // key path, access asked
    int openKeys = 0;                                            // keys opened and not closed
    int openHives = 0;                                           // hives given and not released

private:
    static Value* find(Key& key, std::string_view valueName) {
        for (Value& v : key.values) {
            if (equalsIgnoreAsciiCase(v.name, valueName)) {
                return &v;
            }
        }
        return nullptr;
    }

    class OpenedKey : public platform::RegistryKey {
    public:
        OpenedKey(FakeRegistry& owner, Key& key) : owner_(owner), key_(key) { ++owner_.openKeys; }
        ~OpenedKey() override { --owner_.openKeys; }

        Error enumValueName(std::int32_t index, std::uint32_t nameBufferSize,
                            std::string& name) override {
            if (key_.failEnumAt >= 0 && index >= key_.failEnumAt) {
                return key_.failEnumWith;
            }
            if (index < 0 || static_cast<std::size_t>(index) >= key_.values.size()) {
                return platform::kRegNoMoreItems;
            }
            const std::string& found = key_.values[static_cast<std::size_t>(index)].name;
            std::size_t characters = 0; // UTF-8 sequences
            for (char c : found) {
                characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
            }
            if (characters + 1 > nameBufferSize) {
                return platform::kRegMoreData;
            }
            name = found;
            return platform::kRegOk;
        }
        Error queryValueInfo(std::string_view valueName, std::uint32_t& type,
                             std::uint32_t& dataSize) override {
            const Value* value = find(key_, valueName);
            if (value == nullptr) {
                return platform::kRegFileNotFound;
            }
            type = value->type;
            dataSize = static_cast<std::uint32_t>(value->data.size());
            return platform::kRegOk;
        }
        Error queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                             std::uint32_t& type, std::string& data) override {
            const Value* value = find(key_, valueName);
            if (value == nullptr || value->failDataWith != platform::kRegOk) {
                return value == nullptr ? platform::kRegFileNotFound : value->failDataWith;
            }
            if (value->data.size() > bufferSize) {
                return platform::kRegMoreData;
            }
            type = value->type;
            data = value->data;
            return platform::kRegOk;
        }

    private:
        FakeRegistry& owner_;
        Key& key_;
    };

    class Hive : public platform::RegistryHive {
    public:
        Hive(FakeRegistry& owner, Machine& machine) : owner_(owner), machine_(machine) {
            ++owner_.openHives;
        }
        ~Hive() override { --owner_.openHives; }

        Error openKey(std::string_view path, std::uint32_t access,
                      std::unique_ptr<platform::RegistryKey>& key) override {
            owner_.openings.emplace_back(std::string(path), access);
            const auto it = machine_.keys.find(asciiToLower(path));
            if (it == machine_.keys.end()) {
                return platform::kRegFileNotFound;
            }
            if (it->second.refused ||
                (it->second.readOnlyAccess && platform::asksBeyondReading(access))) {
                return platform::kRegAccessDenied;
            }
            key = std::make_unique<OpenedKey>(owner_, it->second);
            return platform::kRegOk;
        }

    private:
        FakeRegistry& owner_;
        Machine& machine_;
    };

    std::string localName_;
    std::map<std::string, Machine> machines_; // folded name -> machine
};

} // namespace lantrivex::fakes

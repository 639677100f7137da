// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Ascii.h"
#include "platform/Registry.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace lantrivex::fakes {

// Several machines; names and paths are found regardless of ASCII case, values in setting order.
// Safe to ask from several threads once set up (the catalogue asks machines side by side).
struct FakeRegistry : platform::Registry {
    using Error = platform::RegistryError;
    using View = std::string_view;
    struct Value {
        std::string name;
        std::uint32_t type = platform::kRegSz;
        std::string data;                      // as returned: strings with their NULs
        Error failDataWith = platform::kRegOk; // the data request (changed since the size request)
    };
    struct Key {
        std::vector<Value> values;
        bool refused = false;         // every opening refused
        bool readOnlyAccess = false;  // any right beyond reading is refused
        std::int32_t failEnumAt = -1; // enumeration answers failEnumWith from this index on
        Error failEnumWith = platform::kRegOk;
        bool endless = false; // every position past the values answers with the last value's name
        std::optional<std::uint32_t> count; // what queryValueCount reports (nullopt: cannot tell)
        std::int32_t positionsAsked = 0;    // the highest position asked, plus one
    };
    struct Machine {
        bool reachable = true;
        std::map<std::string, Key> keys; // folded path -> key
    };
    std::vector<std::string> connections;                        // machines connected to
    std::vector<std::pair<std::string, std::uint32_t>> openings; // key path, access asked
    std::atomic<int> openKeys = 0, openHives = 0; // keys and hives given and not yet released
    std::atomic<int> rebuilds = 0;                // rebuilds announced
    std::mutex mutex;                             // guards connections and openings

    explicit FakeRegistry(std::string localName = "WORKSTATION") : local_(std::move(localName)) {
        machine(local_);
    }
    Machine& machine(View name) { return machines_[asciiToLower(name)]; }
    Key& key(View host, View path) { return machine(host).keys[asciiToLower(path)]; }

    Value& setValue(View host, View path, View name, std::uint32_t type, std::string data) {
        Key& k = key(host, path);
        Value* v = find(k, name);
        v = v ? v : &k.values.emplace_back(Value{std::string(name), type, {}, platform::kRegOk});
        v->type = type;
        v->data = std::move(data);
        return *v;
    }
    Value& setString(View host, View path, View name, View text) {
        return setValue(host, path, name, platform::kRegSz, std::string(text) + '\0');
    }
    Value& setMultiString(View host, View path, View name,
                          const std::vector<std::string>& entries) {
        std::string data;
        for (const std::string& e : entries) {
            data += e + '\0';
        }
        return setValue(host, path, name, platform::kRegMultiSz, data + '\0');
    }
    Value& setDword(View host, View path, View name, std::uint32_t number) {
        const std::string data{static_cast<char>(number), static_cast<char>(number >> 8),
                               static_cast<char>(number >> 16), static_cast<char>(number >> 24)};
        return setValue(host, path, name, platform::kRegDword, data);
    }
    void setUnreachable(View host) { machine(host).reachable = false; }

    Error localMachine(std::unique_ptr<platform::RegistryHive>& hive) override {
        hive = std::make_unique<Hive>(*this, machine(local_));
        return platform::kRegOk;
    }
    Error connect(View machineName, std::unique_ptr<platform::RegistryHive>& hive) override {
        {
            const std::lock_guard lock(mutex);
            connections.emplace_back(machineName);
        }
        const auto it = machines_.find(asciiToLower(machineName));
        if (it == machines_.end() || !it->second.reachable) {
            return platform::kRegBadNetPath;
        }
        hive = std::make_unique<Hive>(*this, it->second);
        return platform::kRegOk;
    }

    void beginRebuild() override { ++rebuilds; }

    static Value* find(Key& key, View name) {
        const auto it = std::find_if(key.values.begin(), key.values.end(),
                                     [&](auto& v) { return equalsIgnoreAsciiCase(v.name, name); });
        return it == key.values.end() ? nullptr : &*it;
    }

    struct OpenedKey : platform::RegistryKey {
        OpenedKey(FakeRegistry& o, Key& k) : owner(o), key(k) { ++owner.openKeys; }
        ~OpenedKey() override { --owner.openKeys; }
        Error enumValueName(std::int32_t index, std::uint32_t capacity,
                            std::string& name) override {
            if (key.failEnumAt >= 0 && index >= key.failEnumAt) {
                return key.failEnumWith;
            }
            key.positionsAsked = std::max(key.positionsAsked, index + 1);
            const bool past = static_cast<std::size_t>(index) >= key.values.size();
            if (index < 0 || (past && !(key.endless && !key.values.empty()))) {
                return platform::kRegNoMoreItems;
            }
            const std::string& found =
                past ? key.values.back().name : key.values[static_cast<std::size_t>(index)].name;
            const auto characters = std::count_if(found.begin(), found.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xC0) != 0x80; // UTF-8 sequences
            });
            const bool fits = static_cast<std::size_t>(characters) + 1 <= capacity;
            name = fits ? found : name;
            return fits ? platform::kRegOk : platform::kRegMoreData;
        }
        Error queryValueCount(std::uint32_t& count) override {
            count = key.count.value_or(0);
            return key.count ? platform::kRegOk : platform::kRegInvalidParameter;
        }
        Error queryValueInfo(View name, std::uint32_t& type, std::uint32_t& dataSize) override {
            const Value* value = find(key, name);
            type = value ? value->type : type;
            dataSize = value ? static_cast<std::uint32_t>(value->data.size()) : dataSize;
            return value ? platform::kRegOk : platform::kRegFileNotFound;
        }
        Error queryValueData(View valueName, std::uint32_t bufferSize, std::uint32_t& type,
                             std::string& data) override {
            const Value* value = find(key, valueName);
            if (value == nullptr || value->failDataWith != platform::kRegOk) {
                return value == nullptr ? platform::kRegFileNotFound : value->failDataWith;
            }
            const bool fits = value->data.size() <= bufferSize;
            type = fits ? value->type : type;
            data = fits ? value->data : data;
            return fits ? platform::kRegOk : platform::kRegMoreData;
        }
        FakeRegistry& owner;
        Key& key;
    };

    struct Hive : platform::RegistryHive {
        Hive(FakeRegistry& o, Machine& m) : owner(o), machine(m) { ++owner.openHives; }
        ~Hive() override { --owner.openHives; }
        Error openKey(View path, std::uint32_t access,
                      std::unique_ptr<platform::RegistryKey>& key) override {
            {
                const std::lock_guard lock(owner.mutex);
                owner.openings.emplace_back(std::string(path), access);
            }
            const auto it = machine.keys.find(asciiToLower(path));
            if (it == machine.keys.end()) {
                return platform::kRegFileNotFound;
            }
            if (it->second.refused ||
                (it->second.readOnlyAccess && platform::asksBeyondReading(access))) {
                return platform::kRegAccessDenied;
            }
            key = std::make_unique<OpenedKey>(owner, it->second);
            return platform::kRegOk;
        }
        FakeRegistry& owner;
        Machine& machine;
    };

    std::string local_;
    std::map<std::string, Machine> machines_; // folded name -> machine
};

} // namespace lantrivex::fakes

#include "FakeRegistry.h"

#include "common/Ascii.h"

namespace lantrivex::fakes {

using platform::RegistryError;

namespace {

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++n;
        }
    }
    return n;
}

} // namespace

class FakeRegistry::OpenedKey : public platform::RegistryKey {
public:
    OpenedKey(FakeRegistry& owner, Key& key) : owner_(owner), key_(key) { ++owner_.openKeys; }
    ~OpenedKey() override { --owner_.openKeys; }

    RegistryError enumValueName(std::int32_t index, std::uint32_t nameBufferSize,
                                std::string& name) override {
        if (key_.failEnumAt >= 0 && index >= key_.failEnumAt) {
            return key_.failEnumWith;
        }
        if (index < 0 || static_cast<std::size_t>(index) >= key_.values.size()) {
            return platform::kRegNoMoreItems;
        }
        const std::string& found = key_.values[static_cast<std::size_t>(index)].name;
        if (characterCount(found) + 1 > nameBufferSize) {
            return platform::kRegMoreData;
        }
        name = found;
        return platform::kRegOk;
    }

    RegistryError queryValueInfo(std::string_view valueName, std::uint32_t& type,
                                 std::uint32_t& dataSize) override {
        const Value* value = find(valueName);
        if (value == nullptr) {
            return platform::kRegFileNotFound;
        }
        type = value->type;
        dataSize = static_cast<std::uint32_t>(value->data.size());
        return platform::kRegOk;
    }

    RegistryError queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                                 std::uint32_t& type, std::string& data) override {
        const Value* value = find(valueName);
        if (value == nullptr) {
            return platform::kRegFileNotFound;
        }
        if (value->failDataWith != platform::kRegOk) {
            return value->failDataWith;
        }
        if (value->data.size() > bufferSize) {
            return platform::kRegMoreData;
        }
        type = value->type;
        data = value->data;
        return platform::kRegOk;
    }

private:
    const Value* find(std::string_view valueName) const {
        for (const Value& v : key_.values) {
            if (equalsIgnoreAsciiCase(v.name, valueName)) {
                return &v;
            }
        }
        return nullptr;
    }

    FakeRegistry& owner_;
    Key& key_;
};

class FakeRegistry::Hive : public platform::RegistryHive {
public:
    Hive(FakeRegistry& owner, Machine& machine) : owner_(owner), machine_(machine) {
        ++owner_.openHives;
    }
    ~Hive() override { --owner_.openHives; }

    RegistryError openKey(std::string_view path, std::uint32_t access,
                          std::unique_ptr<platform::RegistryKey>& key) override {
        owner_.openings.emplace_back(std::string(path), access);
        auto it = machine_.keys.find(asciiToLower(path));
        if (it == machine_.keys.end()) {
            return platform::kRegFileNotFound;
        }
        Key& found = it->second;
        if (found.refused || (found.readOnlyAccess && platform::asksBeyondReading(access))) {
            return platform::kRegAccessDenied;
        }
        key = std::make_unique<OpenedKey>(owner_, found);
        return platform::kRegOk;
    }

private:
    FakeRegistry& owner_;
    Machine& machine_;
};

FakeRegistry::FakeRegistry(std::string localName) : localName_(std::move(localName)) {
    machine(localName_);
}

FakeRegistry::Machine& FakeRegistry::machine(std::string_view name) {
    return machines_[asciiToLower(name)];
}

FakeRegistry::Machine* FakeRegistry::findMachine(std::string_view name) {
    auto it = machines_.find(asciiToLower(name));
    return it == machines_.end() ? nullptr : &it->second;
}

FakeRegistry::Key& FakeRegistry::key(std::string_view machineName, std::string_view path) {
    return machine(machineName).keys[asciiToLower(path)];
}

FakeRegistry::Value& FakeRegistry::setValue(std::string_view machineName, std::string_view path,
                                            std::string_view valueName, std::uint32_t type,
                                            std::string data) {
    Key& k = key(machineName, path);
    for (Value& v : k.values) {
        if (equalsIgnoreAsciiCase(v.name, valueName)) {
            v.type = type;
            v.data = std::move(data);
            return v;
        }
    }
    k.values.push_back(Value{std::string(valueName), type, std::move(data), platform::kRegOk});
    return k.values.back();
}

FakeRegistry::Value& FakeRegistry::setString(std::string_view machineName, std::string_view path,
                                             std::string_view valueName, std::string_view text) {
    std::string data(text);
    data.push_back('\0');
    return setValue(machineName, path, valueName, platform::kRegSz, std::move(data));
}

FakeRegistry::Value& FakeRegistry::setMultiString(std::string_view machineName,
                                                  std::string_view path, std::string_view valueName,
                                                  const std::vector<std::string>& entries) {
    std::string data;
    for (const std::string& e : entries) {
        data += e;
        data.push_back('\0');
    }
    data.push_back('\0');
    return setValue(machineName, path, valueName, platform::kRegMultiSz, std::move(data));
}

FakeRegistry::Value& FakeRegistry::setDword(std::string_view machineName, std::string_view path,
                                            std::string_view valueName, std::uint32_t number) {
    std::string data;
    for (int i = 0; i < 4; ++i) {
        data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
    }
    return setValue(machineName, path, valueName, platform::kRegDword, std::move(data));
}

void FakeRegistry::setUnreachable(std::string_view machineName, RegistryError error) {
    Machine& m = machine(machineName);
    m.reachable = false;
    m.connectError = error;
}

RegistryError FakeRegistry::localMachine(std::unique_ptr<platform::RegistryHive>& hive) {
    hive = std::make_unique<Hive>(*this, machine(localName_));
    return platform::kRegOk;
}

RegistryError FakeRegistry::connect(std::string_view machineName,
                                    std::unique_ptr<platform::RegistryHive>& hive) {
    connections.emplace_back(machineName);
    Machine* m = findMachine(machineName);
    if (m == nullptr) {
        return platform::kRegBadNetPath;
    }
    if (!m->reachable) {
        return m->connectError;
    }
    hive = std::make_unique<Hive>(*this, *m);
    return platform::kRegOk;
}

} // namespace lantrivex::fakes

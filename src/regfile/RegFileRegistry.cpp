// SPDX-License-Identifier: GPL-3.0-or-later
#include "regfile/RegFileRegistry.h"

#include "common/LetterCase.h"
#include "common/Utf8.h"
#include "platform/posix/io/PosixFileIo.h"
#include "regfile/RegFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

namespace lantrivex::regfile {

using namespace lantrivex::platform;
using platform::posix::readWholeFile;
using platform::posix::WholeFile;
namespace {

namespace fs = std::filesystem;

class FileKey : public RegistryKey {
public:
    FileKey(std::shared_ptr<const RegFile> file, const RegFileKey& key)
        : file_(std::move(file)), key_(key) {}

    RegistryError enumValueName(std::int32_t index, std::uint32_t nameBufferSize,
                                std::string& name) override {
        if (index < 0 || static_cast<std::size_t>(index) >= key_.values.size()) {
            return kRegNoMoreItems;
        }
        const std::string& found = key_.values[static_cast<std::size_t>(index)].name;
        if (utf8CharacterCount(found) + 1 > nameBufferSize) {
            return kRegMoreData;
        }
        name = found;
        return kRegOk;
    }

    RegistryError queryValueCount(std::uint32_t& count) override {
        count = static_cast<std::uint32_t>(key_.values.size());
        return kRegOk;
    }

    RegistryError queryValueInfo(std::string_view valueName, std::uint32_t& type,
                                 std::uint32_t& dataSize) override {
        const RegFileValue* v = find(valueName);
        if (v == nullptr) {
            return kRegFileNotFound;
        }
        type = v->type;
        dataSize = static_cast<std::uint32_t>(v->data.size());
        return kRegOk;
    }

    RegistryError queryValueData(std::string_view valueName, std::uint32_t bufferSize,
                                 std::uint32_t& type, std::string& data) override {
        const RegFileValue* v = find(valueName);
        if (v == nullptr) {
            return kRegFileNotFound;
        }
        if (v->data.size() > bufferSize) {
            return kRegMoreData;
        }
        type = v->type;
        data = v->data;
        return kRegOk;
    }

private:
    const RegFileValue* find(std::string_view valueName) const { return key_.findValue(valueName); }

    std::shared_ptr<const RegFile> file_; // keeps key_ alive
    const RegFileKey& key_;
};

class FileHive : public RegistryHive {
public:
    explicit FileHive(std::shared_ptr<const RegFile> file) : file_(std::move(file)) {}

    RegistryError openKey(std::string_view path, std::uint32_t access,
                          std::unique_ptr<RegistryKey>& key) override {
        const RegFileKey* found = file_->findKey(path);
        if (found == nullptr) {
            return kRegFileNotFound;
        }
        if (asksBeyondReading(access)) {
            return kRegAccessDenied;
        }
        key = std::make_unique<FileKey>(file_, *found);
        return kRegOk;
    }

private:
    std::shared_ptr<const RegFile> file_;
};

} // namespace

RegFileRegistry::RegFileRegistry(std::string folder, std::string localName)
    : folder_(std::move(folder)), localName_(std::move(localName)) {}

std::string RegFileRegistry::defaultFolder(std::string_view programFolder) {
    const char* configured = std::getenv("LANTRIVEX_REGISTRY_DIR");
    if (configured != nullptr && *configured != '\0') {
        return configured;
    }
    std::string folder(programFolder);
    if (!folder.empty() && folder.back() != '/') {
        folder.push_back('/');
    }
    return folder + "Registry";
}

std::string RegFileRegistry::machineFile(std::string_view machineName) const {
    // A machine name never holds a separator: nothing outside the folder can be named.
    if (machineName.empty() || machineName == "." || machineName == ".." ||
        machineName.find_first_of("/\\") != std::string_view::npos ||
        machineName.find('\0') != std::string_view::npos) {
        return "";
    }
    const std::string wanted = std::string(machineName) + ".reg";
    const fs::path exact = fs::path(folder_) / wanted;
    std::error_code ec;
    if (fs::is_regular_file(exact, ec)) {
        return exact.string();
    }
    std::string found;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (equalsIgnoreLetterCase(name, wanted) && it->is_regular_file(ec)) {
            if (found.empty() || name < fs::path(found).filename().string()) {
                found = it->path().string(); // several spellings: the same one every time
            }
        }
    }
    return found;
}

RegFileRegistry::RegFileRegistry(RegFileRegistry&& other) noexcept
    : folder_(std::move(other.folder_)), localName_(std::move(other.localName_)),
      problems_(std::move(other.problems_)) {}

AccessFailure RegFileRegistry::connectFailure(std::string_view machineName) {
    return machineFile(machineName.empty() ? std::string_view(localName_) : machineName).empty()
               ? AccessFailure::Unreachable
               : AccessFailure::DamagedExport;
}

void RegFileRegistry::keepProblem(RegistryProblem problem) {
    const std::lock_guard lock(mutex_);
    for (const RegistryProblem& kept : problems_) {
        if (kept.file == problem.file) {
            return;
        }
    }
    if (problems_.size() < kMaxProblems) {
        problems_.push_back(std::move(problem));
    }
}

std::vector<RegistryProblem> RegFileRegistry::takeProblems() {
    std::vector<RegistryProblem> problems;
    {
        const std::lock_guard lock(mutex_);
        problems = std::exchange(problems_, {});
    }
    // Machines are asked side by side: the order met is no order to show.
    std::stable_sort(
        problems.begin(), problems.end(),
        [](const RegistryProblem& a, const RegistryProblem& b) { return a.file < b.file; });
    return problems;
}

RegistryError RegFileRegistry::localMachine(std::unique_ptr<RegistryHive>& hive) {
    return connect(localName_, hive);
}

RegistryError RegFileRegistry::connect(std::string_view machineName,
                                       std::unique_ptr<RegistryHive>& hive) {
    return connectFile(machineFile(machineName), hive);
}

RegistryError RegFileRegistry::connectFile(const std::string& path,
                                           std::unique_ptr<RegistryHive>& hive) {
    if (path.empty()) {
        return kRegBadNetPath;
    }
    WholeFile file = readWholeFile(path, RegFile::kMaxFileSize);
    if (file.status != WholeFile::Status::Read) {
        if (file.tooLarge) {
            const RegFileError error = RegFile::tooLargeError();
            keepProblem(RegistryProblem{path, 0, true, error.english, std::string(error.french)});
        } else if (file.status == WholeFile::Status::Unreadable) {
            // The system's words, in English, or what the path names.
            const std::string reason = file.systemError != 0
                                           ? std::generic_category().message(file.systemError)
                                           : "not a file";
            keepProblem(RegistryProblem{path, 0, false, reason,
                                        file.systemError != 0 ? reason : "pas un fichier"});
        }
        return kRegBadNetPath;
    }
    RegFileError error;
    auto parsed = RegFile::read(file.bytes, error);
    if (!parsed) {
        keepProblem(
            RegistryProblem{path, error.line, true, error.english, std::string(error.french)});
        return kRegBadNetPath;
    }
    hive = std::make_unique<FileHive>(std::make_shared<const RegFile>(std::move(*parsed)));
    return kRegOk;
}

} // namespace lantrivex::regfile

#pragma once

// The main window under test, with every platform service in memory.

#include "common/Ascii.h"
#include "fakes/FakeInstanceGuard.h"
#include "fakes/FakeNotifier.h"
#include "platform/Platform.h"
#include "shell/AppState.h"
#include "ui/FrmLantrivex.h"
#include "ui/ResultGridModel.h"
#include "ui/ResultGridView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lantrivex::ui::test {

// Index streams in memory, by volume root; counts every opening.
class MemoryStreams : public platform::NamedStreamReader {
public:
    class Stream : public platform::ByteStream {
    public:
        explicit Stream(std::string bytes) : bytes_(std::move(bytes)) {}
        std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }
        std::size_t read(std::byte* buffer, std::size_t capacity) override {
            const std::size_t n = std::min(capacity, bytes_.size() - pos_);
            std::memcpy(buffer, bytes_.data() + pos_, n);
            pos_ += n;
            return n;
        }

    private:
        std::string bytes_;
        std::size_t pos_ = 0;
    };

    std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                               std::string_view streamName) override {
        opened.push_back(std::string(path) + ":" + std::string(streamName));
        const auto it = streams.find(std::string(path));
        if (it == streams.end()) {
            return nullptr;
        }
        return std::make_unique<Stream>(it->second);
    }

    int opens(const std::string& path) const {
        int n = 0;
        for (const auto& o : opened) {
            n += o.rfind(path + ":", 0) == 0 ? 1 : 0;
        }
        return n;
    }

    std::map<std::string, std::string> streams;
    std::vector<std::string> opened;
};

// An index stream holding `count` occurrences of each signature, in the given order.
inline std::string indexStream(const std::vector<std::pair<std::string, int>>& signatures) {
    std::string bytes = "HDR";
    for (const auto& [signature, count] : signatures) {
        for (int i = 0; i < count; ++i) {
            bytes += '\x01';
            bytes += signature;
            bytes += std::string("\x00\x02\x00", 3);
        }
    }
    return bytes;
}

class AllFolders : public platform::FolderProbe {
public:
    bool folderExists(std::string_view) override { return true; }
};

// Lantrivex.ini in memory: keys without regard to case; every write recorded in order.
class MemoryProfile : public platform::ProfileFile {
public:
    std::string read(std::string_view file, std::string_view section, std::string_view key,
                     std::size_t maxChars) override {
        lastFile = std::string(file);
        const auto it = values.find(name(section, key));
        return it == values.end() ? std::string() : it->second.substr(0, maxChars - 1);
    }
    bool write(std::string_view file, std::string_view section, std::string_view key,
               std::string_view value) override {
        lastFile = std::string(file);
        writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        values[name(section, key)] = std::string(value);
        return true;
    }
    void set(std::string_view section, std::string_view key, std::string value) {
        values[name(section, key)] = std::move(value);
    }
    std::string get(std::string_view section, std::string_view key) const {
        const auto it = values.find(name(section, key));
        return it == values.end() ? std::string() : it->second;
    }
    static std::string name(std::string_view section, std::string_view key) {
        return asciiToLower(section) + "/" + asciiToLower(key);
    }

    std::map<std::string, std::string> values;
    std::vector<std::string> writes;
    std::string lastFile;
};

class FixedVersion : public platform::SystemVersion {
public:
    platform::OsVersionInfo query() override {
        platform::OsVersionInfo v;
        v.systemName = "Linux";
        v.majorVersion = 6;
        v.minorVersion = 1;
        v.buildNumber = 0;
        v.servicePack = "18-amd64";
        return v;
    }
};

class MemoryFiles : public platform::FileSystem {
public:
    bool fileExists(std::string_view path) override { return files.count(std::string(path)) != 0; }
    std::optional<std::string> readFile(std::string_view path) override {
        const auto it = files.find(std::string(path));
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool replaceFile(std::string_view path, std::string_view bytes, std::string&) override {
        files[std::string(path)] = std::string(bytes);
        return true;
    }
    std::map<std::string, std::string> files;
};

class FixedLocation : public platform::ProgramLocation {
public:
    std::string programFolder() override { return "/opt/lantrivex"; }
    char pathSeparator() const override { return '/'; }
};

// The window with its discovery replaced: the tree gets what the test puts in `machines`, and
// every run of the two discovery steps is counted.
class TestWindow : public FrmLantrivex {
public:
    using FrmLantrivex::FrmLantrivex;

    int enumerations = 0;
    int rebuilds = 0;
    QStringList statusDuringSteps; // the status text as each discovery step starts

protected:
    void EnumConnectedDrives() override {
        ++enumerations;
        statusDuringSteps << statusText(1);
        FrmLantrivex::EnumConnectedDrives();
    }
    void MajTreeCatalogue() override {
        ++rebuilds;
        statusDuringSteps << statusText(1);
        FrmLantrivex::MajTreeCatalogue();
    }
};

class WindowTest : public ::testing::Test {
protected:
    static constexpr const char* kVolumeA = R"(\\NTSRV1\D$\Mac\Publishing)";
    static constexpr const char* kVolumeB = R"(\\NTSRV1\E$\Mac\Archives)";

    WindowTest() {
        files.files["/opt/lantrivex/Signatures.txt"] =
            "\"XDOCXPR3\",\"qxd\",\"QuarkXPress document\"\r\n"
            "\"w6bnmswd\",\"doc\",\"Word 6 document\"\r\n";
    }

    void TearDown() override {
        if (window) {
            window->hide();
        }
    }

    // Creates the window and runs its load; false when it refused to start.
    bool load() {
        window = std::make_unique<TestWindow>(bundle, notifier, state);
        return window->Form_Load();
    }

    // Load, show, first activation.
    void start() {
        ASSERT_TRUE(load());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->Form_Activate();
        QApplication::processEvents();
    }

    // A Macintosh server with two volumes under this computer's node, as the catalogue builds
    // them; returns the volume nodes.
    std::pair<QTreeWidgetItem*, QTreeWidgetItem*> addVolumes(int imageB = 3) {
        QTreeWidgetItem* machine = window->treeCatalogue()->topLevelItem(0);
        QTreeWidgetItem* server = window->addTreeNode(
            machine, "MACSRV (NTSRV1)", "MACSRV", FrmLantrivex::kImageMacServer, {}, true);
        const int a = window->loadVolumePanel("MACSRV - Publishing");
        QTreeWidgetItem* nodeA =
            window->addTreeNode(server, kVolumeA, "Publishing", FrmLantrivex::kImageVolume, a);
        const int b = window->loadVolumePanel("MACSRV - Archives");
        QTreeWidgetItem* nodeB = window->addTreeNode(server, kVolumeB, "Archives", imageB, b);
        window->Form_Resize();
        return {nodeA, nodeB};
    }

    void clickNode(QTreeWidgetItem* node) {
        QTreeWidget* tree = window->treeCatalogue();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(node).center());
    }

    void clickHeader(int k, int column) {
        QHeaderView* header = window->lstSignatures(k)->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4,
                                 header->height() / 2));
    }

    template <typename T> T* child(const QString& name) {
        return window->findChild<T*>(name);
    }

    QStringList column(int k, int c) const {
        QStringList out;
        ResultGridModel* model = window->gridModel(k);
        for (int r = 0; r < model->rowCount(); ++r) {
            out << model->data(model->index(r, c), Qt::DisplayRole).toString();
        }
        return out;
    }

    MemoryStreams streams;
    AllFolders folders;
    MemoryProfile profile;
    FixedVersion version;
    MemoryFiles files;
    FixedLocation location;
    fakes::FakeInstanceGuard instance;
    platform::Platform bundle{streams, folders, profile, version, files, location, instance};
    fakes::FakeNotifier notifier;
    shell::AppState state;
    std::unique_ptr<TestWindow> window;
};

} // namespace lantrivex::ui::test

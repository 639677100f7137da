#pragma once

// The main window under test, with every platform service in memory.

#include "fakes/FakeDriveList.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeFolderProbe.h"
#include "fakes/FakeInstanceGuard.h"
#include "fakes/FakeNamedStreamReader.h"
#include "fakes/FakeNetworkConnections.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakeProfileFile.h"
#include "fakes/FakeProgramLocation.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShellOpen.h"
#include "fakes/FakeSystemVersion.h"
#include "platform/Platform.h"
#include "shell/AppState.h"
#include "ui/FrmLantrivex.h"
#include "ui/ResultGridModel.h"
#include "ui/ResultGridView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lantrivex::ui::test {

// An index stream holding `count` occurrences of each signature, in the given order.
inline std::string indexStream(const std::vector<std::pair<std::string, int>>& signatures) {
    std::string bytes = "HDR";
    for (const auto& [signature, count] : signatures) {
        for (int i = 0; i < count; ++i) {
            bytes += '\x01' + signature + std::string("\x00\x02\x00", 3);
        }
    }
    return bytes;
}

inline QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

// Streams in memory, with a look at the window as each one is opened.
class WindowStreams : public fakes::FakeNamedStreamReader {
public:
    std::function<void()> onOpen;
    std::unique_ptr<platform::ByteStream> open(std::string_view path,
                                               std::string_view name) override {
        if (onOpen) {
            onOpen();
        }
        return FakeNamedStreamReader::open(path, name);
    }
};

// The window with its discovery steps counted, and the status text as each one starts.
class TestWindow : public FrmLantrivex {
public:
    using FrmLantrivex::FrmLantrivex;

    int enumerations = 0;
    int rebuilds = 0;
    QStringList statusDuringSteps;
    int ends = 0; // the program was told to end

protected:
    void endProgram() override { ++ends; }
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
    static constexpr const char* kIni = "/opt/lantrivex/Lantrivex.ini";

    WindowTest() {
        // A POSIX system's record, as uname gives it on Debian 12.
        version.info = platform::OsVersionInfo{
            platform::OsVersionInfo::kPlatformOther, 6, 1, 0, "18-amd64", "Linux"};
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

    // A Macintosh server with two volumes under the first machine's node, as the catalogue
    // builds them; returns the volume nodes.
    std::pair<QTreeWidgetItem*, QTreeWidgetItem*> addVolumes() {
        QTreeWidgetItem* server =
            window->addTreeNode(window->treeCatalogue()->topLevelItem(0), "MACSRV (NTSRV1)",
                                "MACSRV", FrmLantrivex::kImageMacServer, {}, true);
        const int a = window->loadVolumePanel("MACSRV - Publishing");
        QTreeWidgetItem* nodeA =
            window->addTreeNode(server, kVolumeA, "Publishing", FrmLantrivex::kImageVolume, a);
        const int b = window->loadVolumePanel("MACSRV - Archives");
        QTreeWidgetItem* nodeB =
            window->addTreeNode(server, kVolumeB, "Archives", FrmLantrivex::kImageVolume, b);
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
                          {header->sectionViewportPosition(column) + 4, header->height() / 2});
    }

    template <typename T> T* child(const QString& name) { return window->findChild<T*>(name); }
    QTreeWidgetItem* node(const QString& key) const { return window->findTreeNode(key); }
    static int image(const QTreeWidgetItem* n) {
        return n->data(0, FrmLantrivex::ImageRole).toInt();
    }
    static int tag(const QTreeWidgetItem* n) { return n->data(0, FrmLantrivex::TagRole).toInt(); }

    // The tree, a line a node: indent, text, image, tag, and "+" when its children show.
    QStringList treeLines() const {
        QStringList out;
        std::function<void(const QTreeWidgetItem*, const QString&)> walk =
            [&](const QTreeWidgetItem* n, const QString& indent) {
                QStringList parts{n->text(0), QString::number(image(n))};
                parts << n->data(0, FrmLantrivex::TagRole).toString();
                parts << (n->childCount() > 0 && n->isExpanded() ? "+" : "");
                parts.removeAll("");
                out << indent + parts.join(' ');
                for (int i = 0; i < n->childCount(); ++i) {
                    walk(n->child(i), indent + "  ");
                }
            };
        for (int i = 0; i < window->treeCatalogue()->topLevelItemCount(); ++i) {
            walk(window->treeCatalogue()->topLevelItem(i), "");
        }
        return out;
    }
    QStringList column(int k, int c) const {
        QStringList out;
        ResultGridModel* model = window->gridModel(k);
        for (int r = 0; r < model->rowCount(); ++r) {
            out << model->data(model->index(r, c), Qt::DisplayRole).toString();
        }
        return out;
    }

    // A value of Lantrivex.ini, put there before the program reads it.
    void setting(std::string_view section, std::string_view key, std::string_view value) {
        profile.files[kIni].set(section, key, value);
    }
    std::string setting(std::string_view section, std::string_view key) {
        return profile.files[kIni].get(section, key);
    }
    // The settings written, as "Section/Key=value", in order.
    std::vector<std::string> writes() const {
        std::vector<std::string> out;
        for (const auto& w : profile.writes) {
            EXPECT_EQ(w.file, kIni);
            out.push_back(w.section + "/" + w.key + "=" + w.value);
        }
        return out;
    }
    void putIndex(const std::string& volumeRoot, std::string bytes) {
        streams.addStream(volumeRoot, "AFP_IdIndex", std::move(bytes));
    }
    int opens(const std::string& volumeRoot) const {
        return static_cast<int>(
            std::count(streams.openedPaths.begin(), streams.openedPaths.end(), volumeRoot));
    }

    WindowStreams streams;
    fakes::FakeFolderProbe folders;
    fakes::FakeProfileFile profile;
    fakes::FakeSystemVersion version;
    fakes::FakeFileSystem files;
    fakes::FakeProgramLocation location;
    fakes::FakeInstanceGuard instance;
    fakes::FakeShellOpen shellOpen;
    fakes::FakeRegistry registry{"WORKSTATION"};
    fakes::FakeNetworkConnections network; // this computer: WORKSTATION, no connection
    fakes::FakeDriveList driveList;
    platform::Platform bundle{streams,  folders,  profile, version,   files,    location,
                              instance, registry, network, driveList, shellOpen};
    fakes::FakeNotifier notifier;
    shell::AppState state;
    std::unique_ptr<TestWindow> window;
};

} // namespace lantrivex::ui::test

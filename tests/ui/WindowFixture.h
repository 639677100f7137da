// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window under test, with every platform service in memory.

#include "fakes/FakeNotifier.h"
#include "fakes/FakePlatform.h"
#include "shell/AppState.h"
#include "ui/BackgroundWork.h"
#include "ui/FrmLantrivex.h"
#include "ui/ResultGridModel.h"
#include "ui/ResultGridView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lantrivex::ui::test {

inline QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

// The window with its discovery steps counted, and the status text as each one starts.
class TestWindow : public FrmLantrivex {
public:
    using FrmLantrivex::FrmLantrivex;
    int enumerations = 0, rebuilds = 0, ends = 0;
    QStringList statusDuringSteps;

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

class WindowTest : public ::testing::Test, protected fakes::FakePlatform {
protected:
    static constexpr const char* kVolumeA = R"(\\NTSRV1\D$\Mac\Publishing)";
    static constexpr const char* kVolumeB = R"(\\NTSRV1\E$\Mac\Archives)";
    static constexpr const char* kIni = "/opt/lantrivex/Lantrivex.ini";

    WindowTest() {
        version.info = platform::OsVersionInfo{
            platform::OsVersionInfo::kPlatformOther, 6, 1, 0, "18-amd64", "Linux"};
        files.files["/opt/lantrivex/Signatures.txt"] =
            "\"XDOCXPR3\",\"qxd\",\"QuarkXPress document\"\r\n"
            "\"w6bnmswd\",\"doc\",\"Word 6 document\"\r\n";
    }

    // Creates the window and runs its load; false when it refused to start.
    bool load(platform::Platform* services = nullptr) {
        window = std::make_unique<TestWindow>(services ? *services : bundle, notifier, state);
        work = window->findChild<BackgroundWork*>("backgroundWork");
        return window->Form_Load();
    }
    void start(platform::Platform* services = nullptr) { // load, show, first activation
        ASSERT_TRUE(load(services));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->Form_Activate();
        QApplication::processEvents();
    }

    // A Macintosh server with two volumes under the first machine, as the catalogue builds them.
    std::pair<QTreeWidgetItem*, QTreeWidgetItem*> addVolumes() {
        QTreeWidgetItem* server =
            window->addTreeNode(window->treeCatalogue()->topLevelItem(0), "MACSRV (NTSRV1)",
                                "MACSRV", FrmLantrivex::kImageMacServer, {}, true);
        const auto volume = [&](const char* key, const QString& name) {
            return window->addTreeNode(server, key, name, FrmLantrivex::kImageVolume,
                                       window->loadVolumePanel("MACSRV - " + name));
        };
        std::pair nodes{volume(kVolumeA, "Publishing"), volume(kVolumeB, "Archives")};
        window->Form_Resize();
        return nodes;
    }
    void clickNode(QTreeWidgetItem* node) {
        QTreeWidget* tree = window->treeCatalogue();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(node).center());
    }

    // From a fake, on the thread the window's network work runs on: `look` runs on the window's
    // thread while the work is held at that point.
    void onWindowThread(const std::function<void()>& look) const { work->callOnWindowThread(look); }

    template <typename T> T* child(const QString& name) { return window->findChild<T*>(name); }
    QTreeWidgetItem* node(const QString& key) const { return window->findTreeNode(key); }

    // The tree, a line a node: indent, text, image, tag, and "+" when its children show.
    QStringList treeLines() const {
        QStringList out;
        for (QTreeWidgetItemIterator it(window->treeCatalogue()); *it; ++it) {
            const QTreeWidgetItem* n = *it;
            QStringList parts{n->data(0, FrmLantrivex::ImageRole).toString(),
                              n->data(0, FrmLantrivex::TagRole).toString(),
                              n->childCount() > 0 && n->isExpanded() ? "+" : ""};
            parts.removeAll("");
            QString indent;
            for (const QTreeWidgetItem* p = n->parent(); p != nullptr; p = p->parent()) {
                indent += "  ";
            }
            out << indent + n->text(0) + " " + parts.join(' ');
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

    using Values = std::initializer_list<std::pair<std::string_view, std::string_view>>;
    void setting(std::string_view section, Values values) {
        for (const auto& [key, value] : values) {
            profiles.files[kIni].set(section, key, value);
        }
    }
    // The settings written, as "Section/Key=value", in order.
    std::vector<std::string> writes() const {
        std::vector<std::string> out;
        for (const auto& w : profiles.writes) {
            EXPECT_EQ(w.file, kIni);
            out.push_back(w.section + "/" + w.key + "=" + w.value);
        }
        return out;
    }
    // The volume's index: `count` occurrences of each signature, in the given order.
    void putIndex(const std::string& volumeRoot,
                  std::initializer_list<std::pair<const char*, int>> signatures) {
        std::string bytes = "HDR";
        for (const auto& [signature, count] : signatures) {
            for (int i = 0; i < count; ++i) {
                bytes += '\x01' + std::string(signature) + std::string("\x00\x02\x00", 3);
            }
        }
        streams.addStream(volumeRoot, "AFP_IdIndex", std::move(bytes));
    }
    int opens(const std::string& volumeRoot) const {
        return static_cast<int>(
            std::count(streams.openedPaths.begin(), streams.openedPaths.end(), volumeRoot));
    }

    platform::Platform bundle = platform();
    fakes::FakeNotifier notifier;
    shell::AppState state;
    std::unique_ptr<TestWindow> window;
    BackgroundWork* work = nullptr;
};

} // namespace lantrivex::ui::test

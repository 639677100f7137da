// SPDX-License-Identifier: GPL-3.0-or-later
// The window while it waits for the network: the work held at a point of the fakes, the window
// looked at meanwhile from its own thread.

#include "WindowFixture.h"
#include "platform/AccessFailure.h"

#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <atomic>

namespace lantrivex::ui::test {
namespace {

constexpr const char* kMacFile = R"(SYSTEM\CurrentControlSet\Services\MacFile\Parameters)";

// Counts the paint events of the widgets it watches.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class WaitingWindowTest : public WindowTest {
protected:
    WaitingWindowTest() {
        connections.add("", R"(\\NTSRV1\D$)");
        connections.add("", R"(\\NTSRV2\pub)");
        registry.setString("NTSRV1", kMacFile, "ServerName", "MACSRV");
        registry.setMultiString("NTSRV1", std::string(kMacFile) + R"(\Volumes)", "Publishing",
                                {R"(Path=D:\Mac\Publishing)"});
        registry.setUnreachable("NTSRV2");
        folders.addFolder(kVolumeA);
    }

    QProgressBar* progress() { return child<QProgressBar>("prgProgress"); }

    // Looks at the window while the work is held: the status text, the progress and the tree
    // are painted; input for the window (a shortcut, a drag of the splitter) is dropped, and
    // closing is put off until the work is done.
    void lookWhileHeld(const QString& step, const QRegularExpression& progressText) {
        QWidget* panel = child<QWidget>("StatusBar1.Panels(1)");
        EXPECT_EQ(window->statusText(1), step);
        EXPECT_TRUE(progress()->isVisible());
        EXPECT_TRUE(progressText.match(progress()->text()).hasMatch())
            << progress()->text().toStdString();
        PaintCounter counter;
        for (QWidget* w : {panel, static_cast<QWidget*>(progress()),
                           static_cast<QWidget*>(window->treeCatalogue())}) {
            w->installEventFilter(&counter);
            w->update();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints >= 3; }));

        QWidget* bar = child<QWidget>("SizeBarV");
        const QRect before = bar->geometry();
        QTest::keyClick(window.get(), Qt::Key_F1);
        QTest::mousePress(bar, Qt::LeftButton, {}, {1, 5});
        QTest::mouseMove(bar, {-40, 5});
        QTest::mouseRelease(bar, Qt::LeftButton, {}, {-40, 5});
        EXPECT_FALSE(window->close());
        EXPECT_EQ(bar->geometry(), before);
    }
};

TEST_F(WaitingWindowTest, DiscoveryShowsItsStepTheMachinesAskedAndTheTreeAsItWas) {
    start();
    const QStringList tree = treeLines();
    QSignalSpy about(window.get(), &FrmLantrivex::aboutRequested);
    std::atomic<bool> held = false;
    folders.onProbe = [&] {
        if (!held.exchange(true)) {
            onWindowThread([&] {
                EXPECT_EQ(treeLines(), tree);
                lookWhileHeld("Looking Macintosh volumes...", QRegularExpression("^[0-3] of 3$"));
            });
        }
    };
    window->toolbarButton("Actualiser")->trigger();
    EXPECT_TRUE(held);
    EXPECT_EQ(window->rebuilds, 2);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(writes().empty()) << "closing was put off";
    EXPECT_EQ(about.count(), 0);
    EXPECT_FALSE(progress()->isVisible());
    EXPECT_EQ(window->statusText(1), "");
    EXPECT_EQ(treeLines(), tree);

    QTest::keyClick(window.get(), Qt::Key_F1); // input is taken again
    EXPECT_EQ(about.count(), 1);
    // The close asked for while waiting is carried out now, as a queued window message would be.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_FALSE(writes().empty()) << "the placement is written on closing";
}

TEST_F(WaitingWindowTest, AnalysisShowsThePartReadAndTheReadersMessageAfterwards) {
    putIndex(kVolumeA, {{"XDOCXPR3", 7}, {"W6BNMSWD", 1}}); // 99 bytes
    auto& stream = streams.streams.begin()->second;
    stream.maxRead = 33;
    stream.reportedSize = 132; // the fourth piece never comes
    start();
    int reads = 0;
    streams.onRead = [&] {
        if (++reads == 2) {
            onWindowThread([&] {
                EXPECT_TRUE(window->lstSignatures(0)->isVisible());
                EXPECT_TRUE(notifier.messages.empty());
                lookWhileHeld("Analyzing Macintosh volume index... Please wait...",
                              QRegularExpression("^25%$"));
            });
        }
    };
    clickNode(node(kVolumeA));
    EXPECT_EQ(reads, 4);
    ASSERT_EQ(notifier.messages.size(), 1u);
    const QStringList lines = QString::fromStdString(notifier.messages[0].text).split("\r\n");
    EXPECT_EQ(lines.first(), "Error reading file ...");
    EXPECT_EQ(window->lbllblVolume(1)->text(), "Total: 8") << "what was read is counted";
    EXPECT_FALSE(progress()->isVisible());
    EXPECT_EQ(window->statusText(1), kVolumeA);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

TEST_F(WaitingWindowTest, AMachineWithoutServerTellsWhyInItsToolTipInTheLanguageOfTheMoment) {
    start();
    const QTreeWidgetItem* silent = node(R"(NTSRV2\pub)");
    const QTreeWidgetItem* reached = node(R"(NTSRV1\D$)");
    ASSERT_TRUE(silent && reached);
    const auto failure =
        static_cast<platform::AccessFailure>(silent->data(0, FrmLantrivex::FailureRole).toInt());
    if (failure == platform::AccessFailure::None) {
        GTEST_SKIP() << "the catalogue keeps no reasons yet";
    }
    for (const LanguageFlag langue : {kFrench, kEnglish}) {
        langue == kFrench ? window->mnuFrancais_Click() : window->mnuAnglais_Click();
        const auto reason = platform::accessFailureText(failure, langue);
        EXPECT_EQ(silent->toolTip(0),
                  R"(NTSRV2\pub)" + QStringLiteral("\n") +
                      QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size())));
        EXPECT_EQ(reached->toolTip(0), R"(NTSRV1\D$)");
    }
    EXPECT_EQ(silent->text(0), "NTSRV2");
    EXPECT_EQ(silent->childCount(), 0);
}

} // namespace
} // namespace lantrivex::ui::test

// SPDX-License-Identifier: GPL-3.0-or-later
// Work run while a window waits: what it asks of the window's thread, and the boxes it shows.

#include "ui/BackgroundWork.h"

#include "ui/QtNotifier.h"
#include "ui/WorkerNotifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace lantrivex::ui::test {
namespace {

// Records what it is asked, and on which thread; answers Yes.
struct RecordingNotifier : platform::Notifier {
    std::vector<std::string> said;
    std::vector<std::thread::id> threads;
    void message(std::string_view text, platform::MessageIcon) override { record(text); }
    bool askYesNo(std::string_view text) override { return record(text), true; }
    void beep() override { record("beep"); }
    void record(std::string_view text) {
        said.emplace_back(text);
        threads.push_back(std::this_thread::get_id());
    }
};

TEST(BackgroundWorkTest, TheWorksBoxesComeInOrderOnTheWindowsThreadWithTheirAnswers) {
    QWidget window;
    BackgroundWork work(&window);
    RecordingNotifier boxes;
    WorkerNotifier notifier(work, boxes);
    std::thread::id worker;
    bool yes = false;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> shown;
    work.run(
        [&] {
            worker = std::this_thread::get_id();
            notifier.message("one", platform::MessageIcon::None);
            work.progress(1, 3);
            yes = notifier.askYesNo("two?");
            notifier.beep();
            work.progress(3, 3);
        },
        [&](std::uint64_t done, std::uint64_t total) { shown.emplace_back(done, total); });
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_EQ(boxes.said, (std::vector<std::string>{"one", "two?", "beep"}));
    EXPECT_EQ(boxes.threads, std::vector<std::thread::id>(3, std::this_thread::get_id()));
    EXPECT_TRUE(yes);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), (std::pair<std::uint64_t, std::uint64_t>{3, 3})) << "the last shown";
    EXPECT_FALSE(work.waiting());

    EXPECT_THROW(work.run([] { throw std::runtime_error("lost"); }), std::runtime_error);
    EXPECT_FALSE(work.waiting());
}

TEST(QtNotifierTest, ABoxShowsEveryLineAsWritten) {
    QtNotifier notifier;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        format = box->textFormat();
        box->accept();
    });
    notifier.message("Error reading file ...\r\n\\\\NTSRV1\\D$\\<b>Mac</b>\r\nNo answer",
                     platform::MessageIcon::None);
    EXPECT_EQ(text, "Error reading file ...\n\\\\NTSRV1\\D$\\<b>Mac</b>\nNo answer");
    EXPECT_EQ(format, Qt::PlainText);
}

} // namespace
} // namespace lantrivex::ui::test

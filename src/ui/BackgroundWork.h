// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class QAbstractEventDispatcher;
class QWidget;

namespace lantrivex::ui {

// Runs a window's network work (the discovery, the reading of an index) on a worker thread while
// the window waits for it. Meanwhile the window keeps painting but takes no input: mouse,
// keyboard and wheel addressed to it are dropped, and the pointer is the wait pointer; a request to
// close it is kept and carried out once the work is done, as a queued window message would be.
// What the work has to show on its way (message boxes, its progress) reaches the window's thread
// through this object; the work itself never touches a widget.
class BackgroundWork : public QObject {
public:
    using ProgressDisplay = std::function<void(std::uint64_t done, std::uint64_t total)>;

    explicit BackgroundWork(QWidget* window);
    ~BackgroundWork() override;

    // Runs `work` on a worker thread and returns once it is done; an exception it throws is
    // thrown again here. `display` is given, on this thread, the latest figures the work passed
    // to progress(), as often as the window can take them.
    void run(const std::function<void()>& work, ProgressDisplay display = {});
    bool waiting() const noexcept { return waiting_; }

    // From the work, on any thread: how far it has come.
    void progress(std::uint64_t done, std::uint64_t total);
    // From the work: runs `call` on the window's thread and returns when it has returned (a
    // message box answered, for instance), so calls come one at a time in the order made. Called
    // on the window's thread, runs `call` at once.
    void callOnWindowThread(const std::function<void()>& call);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // On the window's thread: the work's pending call and its latest progress; true once the
    // work has ended.
    bool serveWork();
    // From the worker: the window's thread comes out of its wait for events.
    void wakeWindowThread();

    QWidget* window_;
    bool waiting_ = false;
    bool closeDeferred_ = false; // the window was asked to close while waiting
    QAbstractEventDispatcher* dispatcher_ = nullptr;
    ProgressDisplay display_;

    std::mutex callers_; // held by the work's thread whose call is under way
    std::mutex mutex_;   // guards what follows, shared with the worker
    std::condition_variable called_;
    const std::function<void()>* call_ = nullptr; // waiting for the window's thread
    bool callDone_ = false;
    std::uint64_t done_ = 0, total_ = 0;
    bool progressPosted_ = false;
    bool finished_ = false;
};

} // namespace lantrivex::ui

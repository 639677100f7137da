// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BackgroundWork.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <exception>
#include <thread>
#include <utility>

namespace lantrivex::ui {

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

BackgroundWork::BackgroundWork(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("backgroundWork"));
}

BackgroundWork::~BackgroundWork() = default;

void BackgroundWork::wakeWindowThread() {
    dispatcher_->wakeUp();
}

void BackgroundWork::run(const std::function<void()>& work, ProgressDisplay display) {
    waiting_ = true;
    display_ = std::move(display);
    dispatcher_ = QThread::currentThread()->eventDispatcher();
    {
        const std::lock_guard lock(mutex_);
        finished_ = false;
        progressPosted_ = false;
    }
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // The worker hands its calls, progress and end over under the mutex and wakes this thread,
    // which runs its events (painting among them) until then: nothing but the wake-up crosses
    // through Qt.
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        wakeWindowThread();
    });
    while (!serveWork()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.join();

    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    display_ = {};
    waiting_ = false;
    if (std::exchange(closeDeferred_, false)) {
        QMetaObject::invokeMethod(window_, &QWidget::close, Qt::QueuedConnection);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void BackgroundWork::progress(std::uint64_t done, std::uint64_t total) {
    bool posted = false;
    {
        const std::lock_guard lock(mutex_);
        done_ = done;
        total_ = total;
        posted = std::exchange(progressPosted_, true);
    }
    // One wake-up at a time: figures given meanwhile are shown by it.
    if (!posted) {
        wakeWindowThread();
    }
}

void BackgroundWork::callOnWindowThread(const std::function<void()>& call) {
    if (thread() == QThread::currentThread()) {
        call();
        return;
    }
    // One call at a time, whichever of the work's threads makes it.
    const std::lock_guard caller(callers_);
    std::unique_lock lock(mutex_);
    call_ = &call;
    callDone_ = false;
    lock.unlock();
    wakeWindowThread();
    lock.lock();
    called_.wait(lock, [this] { return callDone_; });
}

bool BackgroundWork::serveWork() {
    const std::function<void()>* call = nullptr;
    bool showProgress = false;
    bool finished = false;
    std::uint64_t done = 0, total = 0;
    {
        const std::lock_guard lock(mutex_);
        call = std::exchange(call_, nullptr);
        showProgress = std::exchange(progressPosted_, false);
        done = done_;
        total = total_;
        finished = finished_;
    }
    if (showProgress && display_) {
        display_(done, total);
    }
    if (call != nullptr) {
        // A box the work asks for is answered with the ordinary pointer.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        (*call)();
        QApplication::restoreOverrideCursor();
        {
            const std::lock_guard lock(mutex_);
            callDone_ = true;
        }
        called_.notify_one();
    }
    return finished;
}

bool BackgroundWork::eventFilter(QObject* watched, QEvent* event) {
    if (waiting_ && isUserInput(event->type())) {
        // Input for the window is dropped and a close put off until the work is done; a box the
        // work asked for takes its own.
        bool forWindow = true; // a shortcut of the window's actions
        if (const auto* widget = qobject_cast<const QWidget*>(watched)) {
            forWindow = widget->window() == window_;
        } else if (const auto* window = qobject_cast<const QWindow*>(watched)) {
            forWindow = window == window_->windowHandle();
        }
        if (forWindow) {
            if (event->type() == QEvent::Close) {
                closeDeferred_ = true;
            }
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lantrivex::ui

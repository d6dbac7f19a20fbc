// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_event_loop.h"

#include "qt/core_guard.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>

#include <cmath>
#include <limits>

namespace quillon {

QtEventLoop::QtEventLoop() {
    clock_.start();
}

QtEventLoop::~QtEventLoop() = default;

double QtEventLoop::time_of_day() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double QtEventLoop::monotonic() {
    return static_cast<double>(clock_.nsecsElapsed()) / 1e9;
}

EventLoop::Handle QtEventLoop::start_timer(int interval_ms, Callback callback) {
    auto *timer = new QTimer(&context_);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, cb = std::move(callback)] { run(cb); });
    timer->start(interval_ms < 0 ? 0 : interval_ms);
    Handle handle = next_handle_++;
    timers_[handle] = timer;
    return handle;
}

void QtEventLoop::stop_timer(Handle handle) {
    auto it = timers_.find(handle);
    if (it == timers_.end()) return;
    it->second->stop();
    retire(it->second);
    timers_.erase(it);
}

EventLoop::Handle QtEventLoop::watch_readable(int fd, Callback callback) {
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &context_);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, cb = std::move(callback)] { run(cb); });
    Handle handle = next_handle_++;
    watches_[handle] = notifier;
    return handle;
}

void QtEventLoop::unwatch(Handle handle) {
    auto it = watches_.find(handle);
    if (it == watches_.end()) return;
    it->second->setEnabled(false);
    retire(it->second);
    watches_.erase(it);
}

void QtEventLoop::post(Callback callback) {
    QMetaObject::invokeMethod(
        &context_, [this, cb = std::move(callback)] { run(cb); }, Qt::QueuedConnection);
}

void QtEventLoop::process_pending_events() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::wait_for_events(double max_seconds) {
    if (!(max_seconds > 0)) {
        process_pending_events();
        return;
    }
    // One pass of Qt's own loop may return having run nothing of ours, so
    // the wait is a nested loop that our next callback or the limit ends.
    double ms = std::ceil(max_seconds * 1000.0);
    Wait wait;
    QTimer::singleShot(ms > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(ms),
                       Qt::PreciseTimer, &wait.loop, &QEventLoop::quit);
    waits_.push_back(&wait);
    process_pending_events();
    if (!wait.woken) wait.loop.exec();
    waits_.pop_back();
}

void QtEventLoop::run(const Callback &callback) {
    call_core(callback);
    // Every wait in progress has now seen an event.
    for (Wait *wait : waits_) {
        wait->woken = true;
        wait->loop.quit();
    }
}

void QtEventLoop::retire(QObject *object) {
    object->disconnect();
    object->deleteLater();
}

} // namespace quillon

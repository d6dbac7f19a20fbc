// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>

#include <map>
#include <memory>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace quillon {

// The core's event loop on top of Qt's: timers, file watches and the yield
// all run inside the application's own event loop.
class QtEventLoop : public EventLoop {
public:
    QtEventLoop();
    ~QtEventLoop() override;

    double time_of_day() override;
    double monotonic() override;
    Handle start_timer(int interval_ms, Callback callback) override;
    void stop_timer(Handle timer) override;
    Handle watch_readable(int fd, Callback callback) override;
    void unwatch(Handle watch) override;
    void post(Callback callback) override;
    void process_pending_events() override;
    void wait_for_events(double max_seconds) override;

private:
    // A wait_for_events in progress; waits nest when a callback waits.
    struct Wait {
        QEventLoop loop;
        bool woken = false;
    };
    // Runs a callback of ours into the core, and ends the waits for one.
    void run(const Callback &callback);
    // Deleted later, never under its own running callback.
    static void retire(QObject *object);

    // Parent of every timer and notifier, so they go with the loop.
    QObject context_;
    QElapsedTimer clock_;
    Handle next_handle_ = 1;
    std::map<Handle, QTimer *> timers_;
    std::map<Handle, QSocketNotifier *> watches_;
    std::vector<Wait *> waits_;
};

} // namespace quillon

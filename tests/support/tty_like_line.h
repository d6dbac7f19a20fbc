// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/virtual_event_loop.h"
#include "modem/line.h"

#include <memory>
#include <random>
#include <string>

namespace quillon::testing {

// A Line that behaves like a tty in front of another. A read takes bytes
// without any announcement, and often only part of what has arrived (the
// driver had not handed over the rest yet). The readiness watch fires late,
// after a random lag up to max_lag seconds, only while bytes are waiting,
// and again for as long as they are: a level-triggered watch on a tty.
class TtyLikeLine : public Line, private LineListener {
public:
    TtyLikeLine(std::unique_ptr<Line> inner, VirtualTime& time, unsigned seed, double max_lag)
        : inner_(std::move(inner)), time_(time), rng_(seed), max_lag_(max_lag) {
        inner_->set_listener(this);
    }
    ~TtyLikeLine() override {
        if (watch_due_) time_.cancel(watch_due_);
        inner_->set_listener(nullptr);
    }

    void write(std::string_view bytes) override { inner_->write(bytes); }
    void read_available(std::string& into) override {
        inner_->read_available(driver_);
        std::size_t n = driver_.size();
        if (n > 1 && std::bernoulli_distribution(0.5)(rng_)) n = std::uniform_int_distribution<std::size_t>(1, n)(rng_);
        into.append(driver_, 0, n);
        driver_.erase(0, n);
    }
    std::size_t bytes_waiting() override { return driver_.size() + inner_->bytes_waiting(); }
    ModemLines modem_lines() override { return inner_->modem_lines(); }
    void set_dtr(bool on) override { inner_->set_dtr(on); }
    void set_listener(LineListener* listener) override { listener_ = listener; }

private:
    void line_readable() override { arm_watch(); }
    void line_error(int event_code) override {
        if (listener_) listener_->line_error(event_code);
    }
    void arm_watch() {
        if (watch_due_) return;
        double lag = std::uniform_real_distribution<double>(0.0, max_lag_)(rng_);
        watch_due_ = time_.schedule(time_.now() + lag, [this] {
            watch_due_ = 0;
            if (!listener_ || bytes_waiting() == 0) return;
            listener_->line_readable();
            if (bytes_waiting() > 0) arm_watch();
        });
    }

    std::unique_ptr<Line> inner_;
    VirtualTime& time_;
    std::mt19937 rng_;
    double max_lag_;
    LineListener* listener_ = nullptr;
    std::string driver_;
    VirtualTime::EventId watch_due_ = 0;
};

} // namespace quillon::testing

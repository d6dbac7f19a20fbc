// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/tty_like_line.h"

namespace quillon::testing {

TtyLikeLine::TtyLikeLine(std::unique_ptr<Line> inner, VirtualTime& time, unsigned seed, double max_lag)
    : inner_(std::move(inner)), time_(time), rng_(seed), max_lag_(max_lag) {
    inner_->set_listener(this);
}

TtyLikeLine::~TtyLikeLine() {
    if (watch_due_) time_.cancel(watch_due_);
    inner_->set_listener(nullptr);
}

std::string TtyLikeLine::read_available() {
    driver_ += inner_->read_available();
    std::size_t n = driver_.size();
    if (n > 1 && std::bernoulli_distribution(0.5)(rng_)) n = std::uniform_int_distribution<std::size_t>(1, n)(rng_);
    std::string out = driver_.substr(0, n);
    driver_.erase(0, n);
    return out;
}

void TtyLikeLine::arm_watch() {
    if (watch_due_) return;
    double lag = std::uniform_real_distribution<double>(0.0, max_lag_)(rng_);
    watch_due_ = time_.schedule(time_.now() + lag, [this] {
        watch_due_ = 0;
        if (!listener_ || bytes_waiting() == 0) return;
        listener_->line_readable();
        if (bytes_waiting() > 0) arm_watch();
    });
}

void TtyLikeLine::line_error(int event_code) {
    if (listener_) listener_->line_error(event_code);
}

} // namespace quillon::testing

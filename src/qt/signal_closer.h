// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>

class QSocketNotifier;

namespace quillon {

// Turns termination signals into a call on the event loop (the self-pipe
// trick), so that a signal closes the program the way the user would.
// One per process.
class SignalCloser : public QObject {
public:
    SignalCloser(std::initializer_list<int> signal_numbers, std::function<void()> on_signal);
    ~SignalCloser() override;

private:
    void drain();

    std::function<void()> on_signal_;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace quillon

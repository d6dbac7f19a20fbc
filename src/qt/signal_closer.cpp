// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/signal_closer.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace quillon {

namespace {

int pipe_fds[2] = {-1, -1};

extern "C" void on_termination_signal(int signo) {
    unsigned char byte = static_cast<unsigned char>(signo);
    int saved = errno;
    [[maybe_unused]] ssize_t n = ::write(pipe_fds[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalCloser::SignalCloser(std::initializer_list<int> signal_numbers, std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
    if (::pipe2(pipe_fds, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("cannot create the signal pipe");
    notifier_ = new QSocketNotifier(pipe_fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
    struct sigaction action {};
    action.sa_handler = on_termination_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : signal_numbers)
        sigaction(signo, &action, nullptr);
}

SignalCloser::~SignalCloser() {
    delete notifier_;
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    pipe_fds[0] = pipe_fds[1] = -1;
}

void SignalCloser::drain() {
    unsigned char bytes[64];
    bool any = false;
    while (::read(pipe_fds[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any && on_signal_) on_signal_();
}

} // namespace quillon

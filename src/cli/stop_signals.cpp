// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <stdexcept>

namespace quillon {

namespace {

int pipe_fds[2] = {-1, -1};

void on_signal(int signal_number) {
    unsigned char c = static_cast<unsigned char>(signal_number);
    [[maybe_unused]] auto n = write(pipe_fds[1], &c, 1);
}

void set_handler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

StopSignals::StopSignals(EventLoop& loop, std::function<void(int)> on_signal_call)
    : loop_(loop), on_signal_(std::move(on_signal_call)) {
    if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create a pipe");
    set_handler(on_signal);
    watch_ = loop_.watch_readable(pipe_fds[0], [this] {
        unsigned char c = 0;
        while (read(pipe_fds[0], &c, 1) == 1) on_signal_(c);
    });
}

StopSignals::~StopSignals() {
    loop_.unwatch(watch_);
    set_handler(SIG_DFL);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    pipe_fds[0] = pipe_fds[1] = -1;
}

} // namespace quillon

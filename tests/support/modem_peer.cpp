// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modem_peer.h"

#include "support/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace quillon::testing {

ModemPeer::ModemPeer(PollEventLoop& loop, LineOpener& open, int port)
    : loop_(loop), line_(open("rfc2217://127.0.0.1:" + std::to_string(port))) {
    // A command that ends with the call's bytes still coming is no fault.
    std::signal(SIGPIPE, SIG_IGN);
    line_->set_listener(this);
    line_->set_dtr(true);
    line_->write("ATE0\r");
}

ModemPeer::~ModemPeer() {
    stop_watching();
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (to_child_ >= 0) ::close(to_child_);
}

void ModemPeer::run(const std::vector<std::string>& argv, const std::string& folder) {
    // The last command's output may not have reached its end yet.
    stop_watching();
    auto child = spawn_piped(argv, folder);
    if (!child) return;
    status_.reset();
    pid_ = child->pid;
    if (to_child_ >= 0) ::close(to_child_);
    to_child_ = child->to_child;
    from_child_ = child->from_child;
    ::fcntl(from_child_, F_SETFL, O_NONBLOCK);
    watch_ = loop_.watch_readable(from_child_, [this] {
        char buffer[65536];
        ssize_t n = ::read(from_child_, buffer, sizeof buffer);
        if (n > 0) line_->write(std::string_view(buffer, static_cast<std::size_t>(n)));
        else if (n == 0 || (errno != EINTR && errno != EAGAIN)) stop_watching();
    });
    to_child(std::exchange(waiting_, {}));
}

std::optional<int> ModemPeer::status() {
    int raw = 0;
    if (!status_ && pid_ > 0 && ::waitpid(pid_, &raw, WNOHANG) == pid_)
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return status_;
}

void ModemPeer::line_readable() {
    std::string bytes = line_->read_available();
    if (connected) return to_child(bytes);
    heard_ += bytes;
    if (heard_.find("RING") != std::string::npos) {
        heard_.clear();
        line_->write("ATA\r");
    }
    // The call's own bytes begin after the line that says CONNECT.
    auto at = heard_.find("CONNECT");
    auto end = at == std::string::npos ? at : heard_.find('\n', at);
    if (end == std::string::npos) return;
    connected = true;
    to_child(heard_.substr(end + 1));
    heard_.clear();
}

void ModemPeer::to_child(const std::string& bytes) {
    if (pid_ < 0 || status()) {
        waiting_ += bytes;
        return;
    }
    for (std::size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(to_child_, bytes.data() + done, bytes.size() - done);
        if (n > 0) done += static_cast<std::size_t>(n);
        else if (errno != EINTR) break;
    }
}

void ModemPeer::stop_watching() {
    if (!watch_) return;
    loop_.unwatch(watch_);
    watch_ = 0;
    ::close(from_child_);
    from_child_ = -1;
}

} // namespace quillon::testing

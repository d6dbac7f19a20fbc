// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "modem/line.h"
#include "support/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon::testing {

// A program such as lrzsz's on a simulated modem: it dials or answers, then
// each command runs with its standard input and output on the call. What
// the call brings while no command runs waits for the next one, as a
// terminal's buffer would keep it.
class ModemPeer : public LineListener {
public:
    ModemPeer(PollEventLoop& loop, LineOpener& open, int port)
        : loop_(loop), line_(open("rfc2217://127.0.0.1:" + std::to_string(port))) {
        // A command that ends with the call's bytes still coming is no fault.
        std::signal(SIGPIPE, SIG_IGN);
        line_->set_listener(this);
        line_->set_dtr(true);
        line_->write("ATE0\r");
    }
    ~ModemPeer() override {
        stop_watching();
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (to_child_ >= 0) ::close(to_child_);
    }
    ModemPeer(const ModemPeer&) = delete;
    ModemPeer& operator=(const ModemPeer&) = delete;

    void dial(const std::string& number) { line_->write("ATDT" + number + "\r"); }
    // DTR off: the modem ends the call.
    void hang_up() { line_->set_dtr(false); }

    void run(const std::vector<std::string>& argv, const std::string& folder) {
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
    // The command's exit status once it has ended.
    std::optional<int> status() {
        int raw = 0;
        if (!status_ && pid_ > 0 && ::waitpid(pid_, &raw, WNOHANG) == pid_)
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return status_;
    }

    bool connected = false;

private:
    void line_readable() override {
        std::string bytes;
        line_->read_available(bytes);
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
    void line_error(int) override {}
    void to_child(const std::string& bytes) {
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
    void stop_watching() {
        if (!watch_) return;
        loop_.unwatch(watch_);
        watch_ = 0;
        ::close(from_child_);
        from_child_ = -1;
    }

    PollEventLoop& loop_;
    std::unique_ptr<Line> line_;
    std::string heard_;
    std::string waiting_; // from the call, for the next command
    pid_t pid_ = -1;
    int to_child_ = -1, from_child_ = -1;
    EventLoop::Handle watch_ = 0;
    std::optional<int> status_;
};

} // namespace quillon::testing

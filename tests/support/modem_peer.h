// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "modem/line.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quillon::testing {

// A program such as lrzsz's on a simulated modem: it dials or answers, then
// each command runs with its standard input and output on the call. What
// the call brings while no command runs waits for the next one, as a
// terminal's buffer would keep it.
class ModemPeer : public LineListener {
public:
    ModemPeer(PollEventLoop& loop, LineOpener& open, int port);
    ~ModemPeer() override;
    ModemPeer(const ModemPeer&) = delete;
    ModemPeer& operator=(const ModemPeer&) = delete;

    void dial(const std::string& number) { line_->write("ATDT" + number + "\r"); }
    // DTR off: the modem ends the call.
    void hang_up() { line_->set_dtr(false); }

    void run(const std::vector<std::string>& argv, const std::string& folder);
    // The command's exit status once it has ended.
    std::optional<int> status();

    bool connected = false;

private:
    void line_readable() override;
    void line_error(int) override {}
    void to_child(const std::string& bytes);
    void stop_watching();

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

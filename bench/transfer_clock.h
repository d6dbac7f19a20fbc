// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/forwarding_line.h"
#include "support/scripted_dialogs.h"
#include "transfer/transfer_frames.h"

#include <functional>
#include <memory>
#include <string_view>

namespace quillon::bench {

// Where a transfer's clock stops: the sender's finishing step (its
// "Finished sending" box) and the receiver's last request for a frame.
struct TransferClock {
    std::function<double()> now;
    double started = 0;
    double sender_finished = -1;
    double last_request = -1;

    void start() {
        started = now();
        sender_finished = last_request = -1;
    }
    // Watches the sender's message boxes.
    void watch_sender(testing::ScriptedDialogs &dialogs) {
        dialogs.while_shown = [this, &dialogs] {
            if (sender_finished < 0 && dialogs.showed("Finished sending.Back to chat mode.")) sender_finished = now();
        };
    }
    // The receiver's line, noting each request it writes.
    std::unique_ptr<Line> watch_receiver(std::unique_ptr<Line> line) {
        return std::make_unique<RequestWatch>(std::move(line), *this);
    }

private:
    class RequestWatch : public testing::ForwardingLine {
    public:
        RequestWatch(std::unique_ptr<Line> line, TransferClock &clock)
            : ForwardingLine(*line), line_(std::move(line)), clock_(clock) {}
        void write(std::string_view bytes) override {
            ForwardingLine::write(bytes);
            if (bytes.find(frames::request) != std::string_view::npos) clock_.last_request = clock_.now();
        }

    private:
        std::unique_ptr<Line> line_;
        TransferClock &clock_;
    };
};

} // namespace quillon::bench

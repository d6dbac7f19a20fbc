// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/transfer_engine.h"

#include <algorithm>

namespace quillon {

void TransferEngine::set_time(EngineTime now) {
    now_ = now;
    if (running() && deadline_ && now >= *deadline_) {
        deadline_.reset();
        on_timeout();
    }
}

std::size_t TransferEngine::receive(std::string_view bytes) {
    return running() ? on_bytes(bytes) : 0;
}

std::string TransferEngine::take_output(std::size_t max) {
    if (running() && output_.size() < max) on_output_room(max - output_.size());
    std::size_t n = std::min(max, output_.size());
    std::string taken = output_.substr(0, n);
    output_.erase(0, n);
    return taken;
}

std::optional<EngineTime> TransferEngine::wake_at() const {
    return running() ? deadline_ : std::nullopt;
}

void TransferEngine::cancel() {
    if (running()) abort_with(EngineState::cancelled_by_us);
}

void TransferEngine::abort_with(EngineState state, std::string reason) {
    // Five CANs end XMODEM, YMODEM and ZMODEM alike; the backspaces rub
    // them out where the peer is a terminal after all.
    output_ = std::string(5, '\x18') + std::string(5, '\b');
    end(state, std::move(reason));
}

void TransferEngine::end(EngineState state, std::string reason) {
    if (!running()) return;
    state_ = state;
    reason_ = std::move(reason);
    deadline_.reset();
    on_end();
}

} // namespace quillon

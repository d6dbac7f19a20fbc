// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/xmodem_receiver.h"

#include "transfer/protocols/xmodem_blocks.h"

#include <algorithm>

namespace quillon {

using namespace xmodem;

XmodemReceiver::XmodemReceiver(FileSink& sink) : sink_(sink), batch_(true), expecting_block0_(true) {
    answer(std::string(1, CRC_REQUEST));
}

XmodemReceiver::XmodemReceiver(FileSink& sink, std::string name)
    : sink_(sink), batch_(false), name_(std::move(name)), expecting_block0_(false) {
    progress_.file = name_;
    answer(std::string(1, CRC_REQUEST));
}

void XmodemReceiver::answer(std::string_view bytes) {
    send(bytes);
    wake_in(started_ ? block_timeout_ms : request_interval_ms);
}

void XmodemReceiver::purge() {
    // The rest of a damaged block is still coming: NAK once it has passed.
    block_.clear();
    purging_ = true;
    wake_in(quiet_line_ms);
}

std::size_t XmodemReceiver::on_bytes(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (purging_) {
            wake_in(quiet_line_ms);
            continue;
        }
        if (!block_.empty()) {
            block_ += c;
            if (block_.size() == 3 + block_size(block_[0]) + (crc_ ? 2 : 1)) on_block();
        } else if (c == SOH || c == STX) {
            block_ = c;
            wake_in(quiet_line_ms);
        } else if (c == EOT) {
            on_eot();
        } else if (c == CAN && last_was_can_) {
            end(EngineState::cancelled_by_peer);
        }
        last_was_can_ = block_.empty() && c == CAN;
        if (!running()) return i + 1;
    }
    return bytes.size();
}

void XmodemReceiver::on_block() {
    auto data = block_data(block_, crc_);
    std::uint8_t number = static_cast<std::uint8_t>(block_[1]);
    block_.clear();
    if (!data) return purge();
    started_ = true;
    if (expecting_block0_ && number == 0) return on_block0(*data);
    if (expecting_block0_ || (batch_ && number == 0 && expected_ == 1)) {
        // Block 0 again (our ACK was lost), or data before any block 0.
        return answer(number == 0 ? std::string{ACK, CRC_REQUEST} : std::string(1, NAK));
    }
    if (number == static_cast<std::uint8_t>(expected_ - 1)) return answer(std::string(1, ACK));
    if (number != expected_) return abort_with(EngineState::failed, "The sender lost count of its blocks.");
    if (!store(*data)) return;
    ++expected_;
    retries_ = 0;
    answer(std::string(1, ACK));
}

bool XmodemReceiver::store(std::string_view data) {
    if (!file_) file_ = sink_.open({name_, std::nullopt, 0});
    if (!file_) {
        abort_with(EngineState::failed, "Cannot store " + progress_.file + ".");
        return false;
    }
    // YMODEM knows the size: the padding of the last block is not the file's.
    if (size_) data = data.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(data.size(), *size_ - progress_.done)));
    if (!file_->write(data)) {
        abort_with(EngineState::failed, "Cannot write " + progress_.file + ".");
        return false;
    }
    progress_.done += data.size();
    return true;
}

void XmodemReceiver::on_block0(std::string_view data) {
    auto header = parse_file_info(data);
    if (!header) {
        send(std::string(1, ACK));
        return end(EngineState::succeeded);
    }
    file_ = sink_.open(*header);
    progress_.file = header->name;
    progress_.done = 0;
    progress_.total = size_ = header->size;
    if (!file_) return abort_with(EngineState::failed, "Cannot store " + header->name + ".");
    expecting_block0_ = false;
    expected_ = 1;
    retries_ = 0;
    answer(std::string{ACK, CRC_REQUEST});
}

void XmodemReceiver::on_eot() {
    if (expecting_block0_) return answer(std::string(1, CRC_REQUEST));
    // YMODEM's receiver makes sure of the end by asking for it twice.
    if (batch_ && eots_++ == 0) return answer(std::string(1, NAK));
    if (!file_ && !store({})) return;
    if (!file_->finish()) return abort_with(EngineState::failed, "Cannot store " + progress_.file + ".");
    file_.reset();
    ++progress_.files_done;
    send(std::string(1, ACK));
    if (!batch_) return end(EngineState::succeeded);
    eots_ = 0;
    expecting_block0_ = true;
    started_ = false;
    answer(std::string(1, CRC_REQUEST));
}

void XmodemReceiver::on_timeout() {
    block_.clear();
    purging_ = false;
    if (++retries_ > max_retries) return abort_with(EngineState::failed, "The sender does not answer.");
    if (!started_ && !batch_ && retries_ >= 3) crc_ = false; // an old sender: take the sum
    answer(std::string(1, started_ || !crc_ ? NAK : CRC_REQUEST));
}

} // namespace quillon

// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/xmodem_sender.h"

#include "transfer/protocols/xmodem_blocks.h"

#include <algorithm>

namespace quillon {

using namespace xmodem;

XmodemSender::XmodemSender(std::vector<OutgoingFile> files, Variant variant)
    : files_(std::move(files)), variant_(variant) {
    if (variant_ != Variant::ymodem) files_.resize(std::min<std::size_t>(files_.size(), 1));
    if (files_.empty() && variant_ != Variant::ymodem) {
        end(EngineState::failed, "No file to send.");
        return;
    }
    if (!files_.empty()) {
        progress_.file = files_[0].name;
        progress_.total = files_[0].size;
    }
    // The receiver speaks first; give it a minute, as the protocol does.
    wake_in(answer_timeout_ms);
}

std::size_t XmodemSender::on_bytes(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        bool cancelled = c == CAN && last_was_can_;
        last_was_can_ = c == CAN;
        if (cancelled) end(EngineState::cancelled_by_peer);
        else on_byte(c);
        if (!running()) return i + 1;
    }
    return bytes.size();
}

void XmodemSender::on_byte(char c) {
    bool request = c == CRC_REQUEST || c == NAK;
    switch (step_) {
    case Step::wait_start:
        if (!request) return;
        crc_ = c == CRC_REQUEST;
        retries_ = 0;
        if (variant_ == Variant::ymodem) {
            step_ = Step::block0;
            current_ = block(0, block0(index_ < files_.size() ? &files_[index_] : nullptr), false, crc_);
            current_size_ = 0;
            send(current_);
            wake_in(answer_timeout_ms);
        } else {
            step_ = Step::data;
            send_current();
        }
        return;
    case Step::block0:
        if (c == NAK) return on_timeout();
        if (c != ACK) return;
        if (index_ >= files_.size()) return end(EngineState::succeeded);
        step_ = Step::wait_data_start;
        return;
    case Step::wait_data_start:
        if (!request) return;
        step_ = Step::data;
        retries_ = 0;
        send_current();
        return;
    case Step::data:
        if (c == NAK) return on_timeout();
        if (c != ACK) return;
        retries_ = 0;
        pos_ += current_size_;
        ++number_;
        progress_.done = pos_;
        send_current();
        return;
    case Step::eot:
        if (c == NAK) return on_timeout();
        if (c != ACK) return;
        ++progress_.files_done;
        if (variant_ != Variant::ymodem) return end(EngineState::succeeded);
        next_file();
        return;
    }
}

void XmodemSender::send_current() {
    const OutgoingFile& file = files_[index_];
    std::uint64_t left = file.size - std::min(pos_, file.size);
    bool large = crc_ && variant_ != Variant::xmodem && left >= 1024;
    auto data = left ? file.source->read(pos_, large ? 1024 : 128) : std::string();
    if (!data) return abort_with(EngineState::failed, "Cannot read " + file.name + ".");
    if (data->empty()) {
        step_ = Step::eot;
        current_ = std::string(1, EOT);
        current_size_ = 0;
    } else {
        current_ = block(number_, *data, large, crc_);
        current_size_ = data->size();
    }
    send(current_);
    wake_in(answer_timeout_ms);
}

void XmodemSender::next_file() {
    ++index_;
    pos_ = 0;
    number_ = 1;
    step_ = Step::wait_start;
    if (index_ < files_.size()) {
        progress_.file = files_[index_].name;
        progress_.total = files_[index_].size;
        progress_.done = 0;
    }
    wake_in(answer_timeout_ms);
}

void XmodemSender::on_timeout() {
    if (++retries_ > max_retries) return abort_with(EngineState::failed, "The receiver does not answer.");
    if (step_ != Step::wait_start && step_ != Step::wait_data_start) send(current_);
    wake_in(answer_timeout_ms);
}

} // namespace quillon

// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/zmodem_sender.h"

#include <algorithm>
#include <cstdio>

namespace quillon {

using namespace zmodem;

ZmodemSender::ZmodemSender(std::vector<OutgoingFile> files, bool ask_resume)
    : files_(std::move(files)), ask_resume_(ask_resume) {
    // "rz\r" starts a receiver on a shell's command line; the ZRQINIT
    // starts one that watches for it.
    send("rz\r");
    send(hex_header(Header::at(ZRQINIT, 0)));
    wake_in(answer_timeout_ms);
}

std::string ZmodemSender::header(std::uint8_t type, std::uint32_t position) {
    return binary_header(Header::at(type, position), crc32_, escaper_);
}

std::size_t ZmodemSender::on_bytes(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto event = reader_.push(static_cast<unsigned char>(bytes[i]));
        if (!event) continue;
        if (event->kind == Reader::Event::Kind::cancel) end(EngineState::cancelled_by_peer);
        else if (event->kind == Reader::Event::Kind::header) on_header(event->header);
        if (!running()) return i + 1 + hex_header_line_end(bytes.substr(i + 1));
    }
    return bytes.size();
}

void ZmodemSender::on_header(const Header& h) {
    if (h.type == ZABORT || h.type == ZCAN) return end(EngineState::cancelled_by_peer);
    switch (h.type) {
    case ZRINIT:
        receiver_buffer_ = h.bytes[0] | h.bytes[1] << 8;
        crc32_ = (h.f0() & CANFC32) != 0;
        escaper_ = Escaper((h.f0() & ESCCTL) != 0);
        // Receivers say ZRINIT more than once (to "rz\r" and to ZRQINIT);
        // answering each would double every frame from here on. A ZFILE
        // that went astray is sent again when its answer is overdue.
        if (step_ == Step::init) {
            offer_file();
        } else if (step_ == Step::eof) {
            ++progress_.files_done;
            ++index_;
            offer_file();
        }
        break;
    case ZRPOS:
        if (step_ == Step::offer || step_ == Step::data || step_ == Step::eof) {
            if (h.position() <= acked_ && step_ != Step::offer && ++repeated_rpos_ > max_retries)
                return abort_with(EngineState::failed, "Too many errors on the line.");
            start_data(h.position());
        }
        break;
    case ZACK:
        if (step_ == Step::data) acknowledged(h.position());
        break;
    case ZSKIP:
        if (step_ == Step::offer || step_ == Step::data || step_ == Step::eof) {
            output_.clear();
            ++index_;
            offer_file();
        }
        break;
    case ZFIN:
        if (step_ == Step::fin) {
            send("OO");
            end(EngineState::succeeded);
        }
        break;
    case ZNAK:
        if (step_ != Step::data) on_timeout();
        break;
    case ZCHALLENGE:
        send(hex_header(Header{ZACK, h.bytes}));
        break;
    case ZFERR:
        abort_with(EngineState::failed, "The receiver could not store the file.");
        break;
    default:
        break;
    }
}

void ZmodemSender::offer_file() {
    retries_ = 0;
    repeated_rpos_ = 0;
    if (index_ >= files_.size()) {
        step_ = Step::fin;
        send(hex_header(Header::at(ZFIN, 0)));
        wake_in(answer_timeout_ms);
        return;
    }
    const OutgoingFile& file = files_[index_];
    progress_.file = file.name;
    progress_.done = 0;
    progress_.total = file.size;
    std::uint64_t bytes_left = 0;
    for (std::size_t i = index_; i < files_.size(); ++i) bytes_left += files_[i].size;
    std::string info = file.name + '\0' + std::to_string(file.size) + ' ';
    char octal[32];
    std::snprintf(octal, sizeof octal, "%llo 100644 0 %zu ", static_cast<unsigned long long>(file.mtime),
                  files_.size() - index_);
    info += octal + std::to_string(bytes_left) + '\0';
    step_ = Step::offer;
    send(binary_header(Header::with_flags(ZFILE, ask_resume_ ? ZCRESUM : ZCBIN), crc32_, escaper_));
    append_subpacket(output_, info, ZCRCW, crc32_, escaper_);
    wake_in(answer_timeout_ms);
}

void ZmodemSender::start_data(std::uint64_t position) {
    // What was made but not yet taken is stale now.
    output_.clear();
    pos_ = acked_ = frame_start_ = last_ack_request_ = std::min<std::uint64_t>(position, files_[index_].size);
    progress_.done = pos_;
    blocked_ = false;
    step_ = Step::data;
    no_wake();
    send(header(ZDATA, static_cast<std::uint32_t>(pos_)));
}

void ZmodemSender::on_output_room(std::size_t room) {
    std::size_t target = output_.size() + room;
    while (running() && step_ == Step::data && !blocked_ && output_.size() < target) next_subpacket();
}

void ZmodemSender::next_subpacket() {
    const OutgoingFile& file = files_[index_];
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(subpacket_size, file.size - pos_));
    auto data = file.source->read(pos_, wanted);
    if (!data) return abort_with(EngineState::failed, "Cannot read " + file.name + ".");
    std::uint64_t next = pos_ + data->size();
    char end = ZCRCG;
    if (data->size() < wanted || next >= file.size) {
        end = ZCRCE;
    } else if (receiver_buffer_ && next - frame_start_ >= receiver_buffer_) {
        end = ZCRCW; // its buffer is full: wait until it has written it
        blocked_ = true;
    } else if (next - last_ack_request_ >= ack_interval) {
        end = ZCRCQ;
        last_ack_request_ = next;
    }
    append_subpacket(output_, *data, end, crc32_, escaper_);
    pos_ = next;
    progress_.done = pos_;
    if (end == ZCRCE) {
        step_ = Step::eof;
        send(header(ZEOF, static_cast<std::uint32_t>(pos_)));
        wake_in(answer_timeout_ms);
    } else if (!receiver_buffer_ && pos_ - acked_ >= window) {
        blocked_ = true;
    }
    if (blocked_) wake_in(answer_timeout_ms);
}

void ZmodemSender::acknowledged(std::uint64_t position) {
    if (position <= acked_ || position > pos_) return;
    acked_ = position;
    retries_ = 0;
    repeated_rpos_ = 0;
    if (!blocked_) return;
    if (receiver_buffer_) {
        if (acked_ < pos_) return;
        frame_start_ = pos_;
        send(header(ZDATA, static_cast<std::uint32_t>(pos_)));
    } else if (pos_ - acked_ >= window) {
        return;
    }
    blocked_ = false;
    no_wake();
}

void ZmodemSender::on_timeout() {
    if (++retries_ > max_retries) return abort_with(EngineState::failed, "The receiver does not answer.");
    retry();
}

void ZmodemSender::retry() {
    switch (step_) {
    case Step::init: send(hex_header(Header::at(ZRQINIT, 0))); break;
    case Step::offer: {
        int retries = retries_;
        offer_file();
        retries_ = retries;
        return;
    }
    case Step::data: start_data(acked_); return;
    case Step::eof: send(header(ZEOF, static_cast<std::uint32_t>(pos_))); break;
    case Step::fin: send(hex_header(Header::at(ZFIN, 0))); break;
    }
    wake_in(answer_timeout_ms);
}

} // namespace quillon

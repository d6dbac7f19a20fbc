// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/zmodem_receiver.h"

#include "transfer/protocols/xmodem_blocks.h"

namespace quillon {

using namespace zmodem;

ZmodemReceiver::ZmodemReceiver(FileSink& sink, bool crc32) : sink_(sink), crc32_(crc32) {
    send_zrinit();
}

void ZmodemReceiver::send_zrinit() {
    // Buffer size 0: the sender may stream without stopping.
    std::uint8_t flags = CANFDX | CANOVIO | (crc32_ ? CANFC32 : 0);
    send(hex_header(Header::with_flags(ZRINIT, flags)));
    step_ = Step::wait_file;
    wake_in(answer_timeout_ms);
}

void ZmodemReceiver::ask_position() {
    send(hex_header(Header::at(ZRPOS, static_cast<std::uint32_t>(pos_))));
    step_ = Step::rpos_wait;
    wake_in(answer_timeout_ms);
}

std::size_t ZmodemReceiver::on_bytes(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (step_ == Step::closing) {
            // The sender's "OO" closes the session.
            if (c == 'O' && ++closing_os_ == 2) end(EngineState::succeeded);
        } else if (auto event = reader_.push(c)) {
            on_event(*event);
        }
        if (!running()) return i + 1;
    }
    return bytes.size();
}

void ZmodemReceiver::on_event(const Reader::Event& event) {
    switch (event.kind) {
    case Reader::Event::Kind::cancel: return end(EngineState::cancelled_by_peer);
    case Reader::Event::Kind::header: return on_header(event.header);
    case Reader::Event::Kind::subpacket: return on_subpacket(event);
    case Reader::Event::Kind::bad:
        if (step_ == Step::data) ask_position();
        else if (step_ == Step::file_info || step_ == Step::sinit) send_zrinit();
        return;
    }
}

void ZmodemReceiver::on_header(const Header& h) {
    if (h.type == ZABORT || h.type == ZCAN) return end(EngineState::cancelled_by_peer);
    switch (h.type) {
    case ZRQINIT:
        if (!file_) send_zrinit();
        break;
    case ZSINIT:
        step_ = Step::sinit;
        break;
    case ZFILE:
        step_ = Step::file_info;
        break;
    case ZDATA:
        if (!file_) {
            send_zrinit();
        } else if (h.position() != pos_) {
            ask_position();
        } else {
            step_ = Step::data;
            wake_in(answer_timeout_ms);
        }
        break;
    case ZEOF:
        if (!file_) {
            send_zrinit(); // our last ZRINIT was lost
        } else if (h.position() == pos_) {
            if (!file_->finish()) return abort_with(EngineState::failed, "Cannot store " + progress_.file + ".");
            file_.reset();
            ++progress_.files_done;
            retries_ = 0;
            send_zrinit();
        } else if (step_ == Step::data) {
            ask_position();
        }
        break;
    case ZFIN:
        file_.reset();
        send(hex_header(Header::at(ZFIN, 0)));
        step_ = Step::closing;
        wake_in(closing_wait_ms);
        break;
    default:
        break;
    }
}

void ZmodemReceiver::on_subpacket(const Reader::Event& event) {
    if (step_ == Step::sinit) {
        send(hex_header(Header::at(ZACK, 1)));
        step_ = Step::wait_file;
    } else if (step_ == Step::file_info) {
        open_file(event.data);
    } else if (step_ == Step::data) {
        if (!file_->write(event.data)) return abort_with(EngineState::failed, "Cannot write " + progress_.file + ".");
        pos_ += event.data.size();
        progress_.done = pos_;
        retries_ = 0;
        if (event.end == ZCRCQ || event.end == ZCRCW) send(hex_header(Header::at(ZACK, static_cast<std::uint32_t>(pos_))));
        wake_in(answer_timeout_ms);
    }
}

void ZmodemReceiver::open_file(const std::string& info) {
    IncomingHeader header = xmodem::parse_file_info(info).value_or(IncomingHeader{});
    if (file_ && header.name == progress_.file) return ask_position(); // our ZRPOS was lost
    file_ = sink_.open(header);
    if (!file_) {
        send(hex_header(Header::at(ZSKIP, 0)));
        step_ = Step::wait_file;
        return;
    }
    pos_ = file_->resume_from();
    progress_.file = header.name;
    progress_.done = pos_;
    progress_.total = header.size;
    ask_position();
}

void ZmodemReceiver::on_timeout() {
    if (step_ == Step::closing) return end(EngineState::succeeded);
    if (++retries_ > max_retries) return abort_with(EngineState::failed, "The sender does not answer.");
    if (step_ == Step::data || step_ == Step::rpos_wait) ask_position();
    else send_zrinit();
}

} // namespace quillon

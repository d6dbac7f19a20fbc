// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/zmodem_frames.h"

#include "transfer/protocols/crc.h"

namespace quillon::zmodem {

namespace {
constexpr int bad_escape = -1;
constexpr int frame_end = -2;

void append_crc(std::string& out, std::string_view covered, bool crc32, Escaper& escaper) {
    if (crc32) {
        std::uint32_t crc = ~crc32_update(covered, crc32_start);
        for (int i = 0; i < 4; ++i) escaper.put(out, static_cast<unsigned char>(crc >> (8 * i)));
    } else {
        std::uint16_t crc = crc16(covered);
        escaper.put(out, static_cast<unsigned char>(crc >> 8));
        escaper.put(out, static_cast<unsigned char>(crc));
    }
}

bool crc_matches(std::string_view covered, std::string_view crc, bool crc32) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(crc[i])); };
    if (crc32) {
        std::uint32_t value = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        return value == ~crc32_update(covered, crc32_start);
    }
    return (byte(0) << 8 | byte(1)) == crc16(covered);
}

std::string header_bytes(const Header& header) {
    std::string bytes(1, static_cast<char>(header.type));
    for (auto b : header.bytes) bytes += static_cast<char>(b);
    return bytes;
}

int hex_digit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool carries_data(std::uint8_t type) {
    return type == ZSINIT || type == ZFILE || type == ZDATA || type == ZCOMMAND || type == ZSTDERR;
}
} // namespace

Header Header::at(std::uint8_t type, std::uint32_t position) {
    Header h;
    h.type = type;
    for (int i = 0; i < 4; ++i) h.bytes[i] = static_cast<std::uint8_t>(position >> (8 * i));
    return h;
}

Header Header::with_flags(std::uint8_t type, std::uint8_t f0, std::uint8_t f1) {
    Header h;
    h.type = type;
    h.bytes[3] = f0;
    h.bytes[2] = f1;
    return h;
}

std::uint32_t Header::position() const {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void Escaper::put(std::string& out, unsigned char c) {
    bool escape;
    switch (c & 0x7F) {
    case 0x10: case 0x11: case 0x13: case ZDLE: escape = true; break;
    case '\r': escape = controls_ || (last_ & 0x7F) == '@'; break;
    default: escape = controls_ && (c & 0x60) == 0; break;
    }
    if (escape) {
        out += ZDLE;
        c ^= 0x40;
    }
    out += static_cast<char>(c);
    last_ = c;
}

void Escaper::put(std::string& out, std::string_view bytes) {
    for (unsigned char c : bytes) put(out, c);
}

std::string hex_header(const Header& header) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string covered = header_bytes(header);
    std::uint16_t crc = crc16(covered);
    covered += static_cast<char>(crc >> 8);
    covered += static_cast<char>(crc & 0xFF);
    std::string out = {ZPAD, ZPAD, ZDLE, ZHEX};
    for (unsigned char c : covered) {
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    out += "\r\x8A";
    if (header.type != ZACK && header.type != ZFIN) out += '\x11';
    return out;
}

std::size_t hex_header_line_end(std::string_view rest) {
    std::size_t n = 0;
    while (n < rest.size() && n < 3 && (rest[n] == '\r' || (rest[n] & 0x7F) == '\n' || rest[n] == '\x11')) ++n;
    return n;
}

std::string binary_header(const Header& header, bool crc32, Escaper& escaper) {
    std::string out = {ZPAD, ZDLE, crc32 ? ZBIN32 : ZBIN};
    std::string covered = header_bytes(header);
    escaper.put(out, covered);
    append_crc(out, covered, crc32, escaper);
    return out;
}

void append_subpacket(std::string& out, std::string_view data, char end, bool crc32, Escaper& escaper) {
    escaper.put(out, data);
    out += ZDLE;
    out += end;
    std::string covered(data);
    covered += end;
    append_crc(out, covered, crc32, escaper);
}

void Reader::reset() {
    state_ = State::seek;
    escaped_ = false;
    raw_.clear();
    data_.clear();
}

std::optional<Reader::Event> Reader::fail() {
    reset();
    Event e;
    e.header = last_;
    return e;
}

std::optional<int> Reader::unescape(unsigned char c) {
    if (!escaped_) {
        if (c == ZDLE) {
            escaped_ = true;
            return std::nullopt;
        }
        // Flow control from the line, not ours to read.
        if ((c & 0x7F) == 0x11 || (c & 0x7F) == 0x13) return std::nullopt;
        return c;
    }
    if (c == ZDLE) return std::nullopt; // maybe the peer cancelling: wait
    escaped_ = false;
    if (c >= ZCRCE && c <= ZCRCW) {
        end_ = static_cast<char>(c);
        return frame_end;
    }
    if (c == 'l') return 0x7F;
    if (c == 'm') return 0xFF;
    if ((c & 0x60) == 0x40) return c ^ 0x40;
    return bad_escape;
}

std::optional<Reader::Event> Reader::push(unsigned char c) {
    cans_ = (c == ZDLE) ? cans_ + 1 : 0;
    if (cans_ >= 5) {
        cans_ = 0;
        reset();
        Event e;
        e.kind = Event::Kind::cancel;
        return e;
    }
    switch (state_) {
    case State::seek:
        if (c == ZPAD) state_ = State::pad;
        return std::nullopt;
    case State::pad:
        if (c == ZDLE) state_ = State::format;
        else if (c != ZPAD) state_ = State::seek;
        return std::nullopt;
    case State::format:
        raw_.clear();
        if (c == ZHEX) state_ = State::hex;
        else if (c == ZBIN || c == ZBIN32) {
            state_ = State::binary;
            crc32_ = c == ZBIN32;
        } else
            state_ = c == ZPAD ? State::pad : State::seek;
        return std::nullopt;
    case State::hex: {
        int d = hex_digit(c);
        if (d < 0) return fail();
        raw_ += static_cast<char>(d);
        if (raw_.size() < 14) return std::nullopt;
        std::string bytes;
        for (std::size_t i = 0; i < 14; i += 2) bytes += static_cast<char>(raw_[i] << 4 | raw_[i + 1]);
        raw_ = bytes;
        crc32_ = false;
        return header_done();
    }
    case State::binary: {
        auto b = unescape(c);
        if (!b) return std::nullopt;
        if (*b < 0) return fail();
        raw_ += static_cast<char>(*b);
        return raw_.size() == (crc32_ ? 9u : 7u) ? header_done() : std::nullopt;
    }
    case State::subpacket: {
        auto b = unescape(c);
        if (!b) return std::nullopt;
        if (*b == frame_end) {
            raw_.clear();
            state_ = State::subpacket_crc;
            return std::nullopt;
        }
        if (*b < 0 || data_.size() >= max_subpacket) return fail();
        data_ += static_cast<char>(*b);
        return std::nullopt;
    }
    case State::subpacket_crc: {
        auto b = unescape(c);
        if (!b) return std::nullopt;
        if (*b < 0) return fail();
        raw_ += static_cast<char>(*b);
        return raw_.size() == (crc32_ ? 4u : 2u) ? subpacket_done() : std::nullopt;
    }
    }
    return std::nullopt;
}

std::optional<Reader::Event> Reader::header_done() {
    std::string_view covered(raw_.data(), 5);
    if (!crc_matches(covered, std::string_view(raw_).substr(5), crc32_)) return fail();
    Header h;
    h.type = static_cast<std::uint8_t>(raw_[0]);
    for (int i = 0; i < 4; ++i) h.bytes[i] = static_cast<std::uint8_t>(raw_[1 + i]);
    last_ = h;
    bool binary = state_ == State::binary;
    reset();
    if (binary && carries_data(h.type)) state_ = State::subpacket;
    Event e;
    e.kind = Event::Kind::header;
    e.header = h;
    e.crc32 = crc32_;
    return e;
}

std::optional<Reader::Event> Reader::subpacket_done() {
    std::string covered = data_ + end_;
    if (!crc_matches(covered, raw_, crc32_)) return fail();
    Event e;
    e.kind = Event::Kind::subpacket;
    e.header = last_;
    e.crc32 = crc32_;
    e.data = std::move(data_);
    e.end = end_;
    data_.clear();
    raw_.clear();
    state_ = (end_ == ZCRCG || end_ == ZCRCQ) ? State::subpacket : State::seek;
    return e;
}

} // namespace quillon::zmodem

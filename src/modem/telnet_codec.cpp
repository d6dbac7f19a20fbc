// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/telnet_codec.h"

#include <algorithm>

namespace quillon::telnet {

void append_escaped(std::string& out, std::string_view data) {
    // The runs between 255s go over whole.
    for (std::size_t at = 0;;) {
        std::size_t next = std::min(data.find(static_cast<char>(iac), at), data.size());
        out.append(data.substr(at, next - at));
        if (next == data.size()) return;
        out.append(2, static_cast<char>(iac));
        at = next + 1;
    }
}

const std::string& escaped(std::string& room, std::string_view data) {
    room.clear();
    append_escaped(room, data);
    return room;
}

std::string option(std::uint8_t command, std::uint8_t opt) {
    return {static_cast<char>(iac), static_cast<char>(command), static_cast<char>(opt)};
}

std::string subnegotiation(std::uint8_t opt, std::string_view payload) {
    std::string out{static_cast<char>(iac), static_cast<char>(sb), static_cast<char>(opt)};
    append_escaped(out, payload);
    out += static_cast<char>(iac);
    out += static_cast<char>(se);
    return out;
}

std::string com_port_command(std::uint8_t command, std::string_view value) {
    std::string payload(1, static_cast<char>(command));
    payload += value;
    return subnegotiation(com_port, payload);
}

void Parser::flush_data(std::string& data) {
    if (!data.empty() && on_data) on_data(data);
    data.clear();
}

void Parser::feed(std::string_view bytes) {
    // Most of what comes is plain data, handed on as it is.
    if (state_ == State::data && bytes.find(static_cast<char>(iac)) == std::string_view::npos) {
        if (!bytes.empty() && on_data) on_data(bytes);
        return;
    }
    std::string data;
    for (char ch : bytes) {
        auto c = static_cast<std::uint8_t>(ch);
        switch (state_) {
        case State::data:
            if (c == iac) state_ = State::iac;
            else data.push_back(ch);
            break;
        case State::iac:
            if (c == iac) {
                data.push_back(ch);
                state_ = State::data;
            } else if (c == will || c == wont || c == do_ || c == dont) {
                command_ = c;
                state_ = State::option;
            } else if (c == sb) {
                state_ = State::sub_option;
            } else {
                state_ = State::data; // NOP, GA and the like mean nothing here
            }
            break;
        case State::option:
            flush_data(data);
            if (on_option) on_option(command_, c);
            state_ = State::data;
            break;
        case State::sub_option:
            sub_opt_ = c;
            sub_.clear();
            state_ = State::sub_data;
            break;
        case State::sub_data:
            if (c == iac) state_ = State::sub_iac;
            else if (sub_.size() < max_sub) sub_.push_back(ch);
            break;
        case State::sub_iac:
            if (c == iac) {
                if (sub_.size() < max_sub) sub_.push_back(ch);
                state_ = State::sub_data;
            } else {
                // IAC SE ends it; anything else after IAC ends it too.
                flush_data(data);
                if (on_subnegotiation) on_subnegotiation(sub_opt_, sub_);
                state_ = State::data;
            }
            break;
        }
    }
    flush_data(data);
}

} // namespace quillon::telnet

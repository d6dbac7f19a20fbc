// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// The carrier of a link without modem lines (a three-wire cable, many USB
// adapters, a modem emulator on a pty), read from the modem's words: up
// from "CONNECT" until "NO CARRIER" or the hang-up. Words split across
// arrivals are still found.
class AssumedCarrier {
public:
    void scan(std::string_view arrived);
    void hang_up() { up_ = false; }
    bool up() const { return up_; }

private:
    std::string tail_;
    bool up_ = false;
};

} // namespace quillon

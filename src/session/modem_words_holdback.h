// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// The modem's own "\r\nNO CARRIER\r\n" reaches us as received text before
// the carrier check ends the call. Whatever may be the start of those words
// is held back until the next arrival, or the call's end, tells whose they
// were.
class ModemWordsHoldback {
public:
    // The longest text held back.
    static constexpr std::string_view modem_words = "\r\nNO CARRIER\r\n";

    // What of the received text may be passed on now as the peer's.
    std::string_view pass(std::string_view text);
    // At the call's end: what was held, or nothing when the carrier went
    // with the modem's words.
    std::string release(bool carrier_lost);

private:
    std::string held_;
    std::string passed_;
    // Whether what was passed on ended a line (or nothing was passed yet).
    bool at_line_start_ = true;
};

} // namespace quillon

// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/modem_words_holdback.h"

#include <algorithm>

namespace quillon {
namespace {

constexpr std::string_view modem_words = ModemWordsHoldback::modem_words;
constexpr std::string_view bare_words = modem_words.substr(2);

// The length of text's tail that may begin the modem's words. A lone CR or
// CR LF is passed on at once, so a line's end is never held; the bare words
// count only where a line begins.
std::size_t possible_words(std::string_view text, bool at_line_start) {
    for (std::size_t n = std::min(text.size(), modem_words.size()); n >= 3; --n)
        if (modem_words.starts_with(text.substr(text.size() - n))) return n;
    if (at_line_start && !text.empty() && bare_words.starts_with(text)) return text.size();
    return 0;
}

} // namespace

std::string_view ModemWordsHoldback::pass(std::string_view text) {
    held_ += text;
    std::size_t keep = possible_words(held_, at_line_start_);
    passed_.assign(held_, 0, held_.size() - keep);
    held_.erase(0, held_.size() - keep);
    if (!passed_.empty()) at_line_start_ = passed_.ends_with("\r\n");
    return passed_;
}

std::string ModemWordsHoldback::release(bool carrier_lost) {
    std::string held = std::move(held_);
    held_.clear();
    at_line_start_ = true;
    if (carrier_lost && (held == modem_words || held == bare_words)) return {};
    return held;
}

} // namespace quillon

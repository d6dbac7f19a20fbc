// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/pattern_watch.h"

#include <algorithm>

namespace quillon {
namespace {

// The modem's words are ASCII: folding only A to Z keeps a byte of another
// alphabet from ever matching one of them, whatever the locale.
char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same(char a, char b, bool ignore_case) { return ignore_case ? fold(a) == fold(b) : a == b; }

bool matches_at(std::string_view text, std::size_t at, const PatternWatch::Pattern& p) {
    if (text.size() - at < p.text.size()) return false;
    for (std::size_t i = 0; i < p.text.size(); ++i)
        if (!same(text[at + i], p.text[i], p.ignore_case)) return false;
    return true;
}

} // namespace

PatternWatch::PatternWatch(std::vector<Pattern> patterns)
    : patterns_(std::move(patterns)), found_(patterns_.size(), false) {
    for (const Pattern& p : patterns_) {
        longest_ = std::max(longest_, p.text.size());
        for (std::size_t c = 0; c < may_start_.size(); ++c)
            if (same(static_cast<char>(c), p.text.at(0), p.ignore_case)) may_start_[c] = true;
    }
    if (std::count(may_start_.begin(), may_start_.end(), true) == 1)
        only_start_ = static_cast<char>(std::find(may_start_.begin(), may_start_.end(), true) - may_start_.begin());
}

std::size_t PatternWatch::next_start(std::string_view text, std::size_t at) const {
    if (only_start_) return std::min(text.find(*only_start_, at), text.size());
    while (at < text.size() && !may_start_[static_cast<unsigned char>(text[at])]) ++at;
    return at;
}

void PatternWatch::reset() {
    std::fill(found_.begin(), found_.end(), false);
    scanned_ = 0;
}

void PatternWatch::scan(std::string_view text) {
    if (text.size() < scanned_) reset();
    // A match may straddle the old end, so look back by one pattern length.
    std::size_t from = scanned_ >= longest_ ? scanned_ - longest_ + 1 : 0;
    std::string_view tail = text.substr(from);
    // One pass over the new text; only a character that can start a
    // pattern is looked at further.
    for (std::size_t at = next_start(tail, 0); at < tail.size(); at = next_start(tail, at + 1)) {
        for (std::size_t i = 0; i < patterns_.size(); ++i)
            if (!found_[i] && matches_at(tail, at, patterns_[i])) found_[i] = true;
    }
    scanned_ = text.size();
}

} // namespace quillon

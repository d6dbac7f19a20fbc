#include "modem/pattern_watch.h"

#include <algorithm>
#include <cctype>

namespace quillon {

PatternWatch::PatternWatch(std::vector<Pattern> patterns)
    : patterns_(std::move(patterns)), found_(patterns_.size(), false) {
    for (const Pattern& p : patterns_) longest_ = std::max(longest_, p.text.size());
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
    for (std::size_t i = 0; i < patterns_.size(); ++i) {
        if (found_[i]) continue;
        const Pattern& p = patterns_[i];
        if (p.ignore_case) {
            auto it = std::search(tail.begin(), tail.end(), p.text.begin(), p.text.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            });
            found_[i] = it != tail.end();
        } else {
            found_[i] = tail.find(p.text) != std::string_view::npos;
        }
    }
    scanned_ = text.size();
}

} // namespace quillon

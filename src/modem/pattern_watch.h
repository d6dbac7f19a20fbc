// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Answers "does the text contain this pattern anywhere" for a text that only
// grows at its end, looking at each character a bounded number of times.
class PatternWatch {
public:
    struct Pattern {
        std::string text; // never empty
        bool ignore_case = false;
    };
    explicit PatternWatch(std::vector<Pattern> patterns);

    // Takes note of text, which extends the text seen so far.
    void scan(std::string_view text);
    // The text was replaced: start again.
    void reset();
    bool contains(std::size_t pattern) const { return found_[pattern]; }
    std::size_t scanned() const { return scanned_; }

private:
    // Where the next character that may start a pattern lies, from at on.
    std::size_t next_start(std::string_view text, std::size_t at) const;

    std::vector<Pattern> patterns_;
    std::vector<char> found_;
    // The characters a pattern can start with, in either case where case
    // does not count.
    std::array<bool, 256> may_start_{};
    // The one character every pattern starts with, when there is one: the
    // scan then jumps from one to the next.
    std::optional<char> only_start_;
    std::size_t longest_ = 0;
    std::size_t scanned_ = 0;
};

} // namespace quillon

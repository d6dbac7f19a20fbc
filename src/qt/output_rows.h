// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace quillon {

// One character of a text box's bytes (UTF-8, CR LF line breaks) as the
// output box shows it: any of CR LF, CR or LF is one line break, other
// control characters show as visible symbols, and a UTF-8 sequence still
// missing bytes at the end of the text is not shown until they come.
struct ShownChar {
    enum Kind { glyph, line_break, nothing, unfinished };
    Kind kind;
    char32_t code;      // what a glyph shows
    std::size_t length; // bytes taken
};
ShownChar shown_char_at(std::string_view text, std::size_t at);

// The shown characters of text[from, to), line breaks as "\n".
QString shown_string(std::string_view text, std::size_t from, std::size_t to);

// Where the display rows of the output box begin in its model's bytes: the
// text cut at its line breaks and wrapped to a width, at a blank where there
// is one. Text added at the end costs only the last row and what was added,
// however long the line it continues.
class OutputRows {
public:
    // The width of a shown character that starts at x in its row.
    using CharWidth = std::function<double(char32_t code, double x)>;

    void clear() { starts_.clear(); }
    // Lays out text from the start of its last row on; after clear(), all of it.
    void lay_out(std::string_view text, double width, const CharWidth &char_width);

    std::size_t count() const { return starts_.empty() ? 1 : starts_.size(); }
    std::size_t start(std::size_t row) const { return starts_.empty() ? 0 : starts_[row]; }
    std::size_t end(std::size_t row, std::size_t text_size) const {
        return row + 1 < starts_.size() ? starts_[row + 1] : text_size;
    }
    // The row that holds a byte offset.
    std::size_t row_of(std::size_t at) const;

private:
    std::vector<std::size_t> starts_;
};

} // namespace quillon

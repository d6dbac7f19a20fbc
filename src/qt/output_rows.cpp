// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/output_rows.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr char32_t replacement = 0xfffd;

bool continuation(unsigned char b) {
    return (b & 0xc0) == 0x80;
}

// The bounds of the second byte, which rule out overlong forms, surrogates
// and code points beyond U+10FFFF.
void second_byte_bounds(unsigned char lead, unsigned char &low, unsigned char &high) {
    low = 0x80;
    high = 0xbf;
    if (lead == 0xe0)
        low = 0xa0;
    else if (lead == 0xed)
        high = 0x9f;
    else if (lead == 0xf0)
        low = 0x90;
    else if (lead == 0xf4)
        high = 0x8f;
}

// A UTF-8 sequence at text[at]; a broken one gives one replacement
// character for its longest valid beginning.
ShownChar decode_utf8(std::string_view text, std::size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead >= 0xf0 && lead <= 0xf4 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 && lead <= 0xdf ? 2 : 0;
    if (length == 0) return {ShownChar::glyph, replacement, 1};
    char32_t code = lead & (0x7f >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if (at + k >= text.size()) return {ShownChar::unfinished, 0, k};
        auto b = static_cast<unsigned char>(text[at + k]);
        unsigned char low = 0x80, high = 0xbf;
        if (k == 1) second_byte_bounds(lead, low, high);
        if (!continuation(b) || b < low || b > high) return {ShownChar::glyph, replacement, k};
        code = (code << 6) | (b & 0x3f);
    }
    return {ShownChar::glyph, code, length};
}

// Control characters would act on the widget; they show as symbols from
// Unicode's "Control Pictures" block (U+2400 + code, DEL as U+2421).
char32_t shown_code(char32_t code) {
    if (code == U'\t') return code;
    if (code < 0x20) return 0x2400 + code;
    if (code == 0x7f) return 0x2421;
    // C1 codes and Unicode's own line and paragraph separators.
    if ((code >= 0x80 && code < 0xa0) || code == 0x2028 || code == 0x2029) return replacement;
    return code;
}

} // namespace

ShownChar shown_char_at(std::string_view text, std::size_t at) {
    char c = text[at];
    if (c == '\r') return {ShownChar::line_break, 0, 1};
    // The LF of a CR LF pair: its line break was the CR's.
    if (c == '\n') return {at > 0 && text[at - 1] == '\r' ? ShownChar::nothing : ShownChar::line_break, 0, 1};
    if (static_cast<unsigned char>(c) < 0x80) return {ShownChar::glyph, shown_code(static_cast<unsigned char>(c)), 1};
    ShownChar decoded = decode_utf8(text, at);
    decoded.code = shown_code(decoded.code);
    return decoded;
}

QString shown_string(std::string_view text, std::size_t from, std::size_t to) {
    QString out;
    out.reserve(static_cast<qsizetype>(to - from));
    for (std::size_t at = from; at < to;) {
        ShownChar c = shown_char_at(text, at);
        if (c.kind == ShownChar::unfinished) break;
        if (c.kind == ShownChar::line_break)
            out += QChar(u'\n');
        else if (c.kind == ShownChar::glyph) {
            char32_t code = c.code;
            out += QString::fromUcs4(&code, 1);
        }
        at += c.length;
    }
    return out;
}

void OutputRows::lay_out(std::string_view text, double width, const CharWidth &char_width) {
    if (starts_.empty()) starts_.push_back(0);
    std::size_t row_start = starts_.back();
    std::size_t at = row_start;
    std::size_t after_blank = 0; // where the row may break, if past row_start
    double x = 0;
    auto new_row = [&](std::size_t start) {
        starts_.push_back(start);
        row_start = at = start;
        x = 0;
    };
    while (at < text.size()) {
        ShownChar c = shown_char_at(text, at);
        if (c.kind == ShownChar::unfinished) break;
        if (c.kind == ShownChar::line_break) {
            new_row(at + c.length);
            continue;
        }
        double w = c.kind == ShownChar::glyph ? char_width(c.code, x) : 0;
        bool blank = c.code == U' ' || c.code == U'\t';
        // Blanks may hang past the edge; anything else starts a new row,
        // after the row's last blank if it has one.
        if (c.kind == ShownChar::glyph && !blank && x > 0 && x + w > width) {
            new_row(after_blank > row_start ? after_blank : at);
            continue;
        }
        x += w;
        at += c.length;
        if (blank) after_blank = at;
    }
}

std::size_t OutputRows::row_of(std::size_t at) const {
    if (starts_.empty()) return 0;
    auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
    return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

} // namespace quillon

// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/text_number.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace quillon {

std::optional<double> to_number(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    std::string t(text.substr(b, e - b));
    if (t.empty() || t.find_first_not_of("0123456789+-.eE") != std::string::npos) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    double x = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(x)) return std::nullopt;
    return x;
}

long round_half_even(double x) {
    double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
    return static_cast<long>(r);
}

std::string fixed_field(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

} // namespace quillon

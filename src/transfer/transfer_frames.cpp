// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/transfer_frames.h"

#include <cstdint>
#include <limits>

namespace quillon {

const char* const file_dialog_filter = "show all Files|*.*|Zip Files|*.zip|Text Files |*.txt|Exe Files|*.exe|"
                                       "JPEG Files|*.jpeg|JPG Files|*.jpg|GIF Files|*.gif|BMP Files|*.bmp";

std::optional<std::string_view> frame_payload(std::string_view received) {
    std::size_t at = received.rfind(frames::end_of_block);
    if (at == std::string_view::npos) return std::nullopt;
    return received.substr(0, at);
}

std::string announced_name(std::string_view path) {
    std::size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string suggested_save_name(std::string_view announced) {
    std::string name = announced_name(announced);
    // A dot-file name would be hidden, and in the home folder one of the
    // user's own settings.
    name.erase(0, name.find_first_not_of('.'));
    if (name.empty()) return "received.bin";
    return name;
}

// Plain decimal digits only: a sign, a fraction or an exponent is no length.
std::optional<int> announced_length(std::string_view payload) {
    if (payload.empty() || payload.size() > 10 || payload.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long long n = 0;
    for (char c : payload) n = n * 10 + (c - '0');
    if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<int>(n);
}

} // namespace quillon

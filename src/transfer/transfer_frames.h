// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// What travels on the line during a file transfer, and the small texts the
// two halves derive from it.
namespace frames {
inline constexpr std::string_view end_of_block = "^%847%^";
inline constexpr std::string_view request = "^%1694%^";
inline constexpr std::string_view sender_trailer = "Finished Sending File.";
inline constexpr std::string_view receiver_notice = "Receiver::Received file.";
inline constexpr int binary_block_size = 1024;
inline constexpr int text_block_size = 2048;
inline constexpr int full_frame_size = 2048;
} // namespace frames

// The filter of the open and save dialogs.
extern const char* const file_dialog_filter;

// The text in front of the last end-of-block marker; nothing when there is
// no marker.
std::optional<std::string_view> frame_payload(std::string_view received);

// The name announced for a path: its last component after "/" or "\".
std::string announced_name(std::string_view path);

// A peer's announced name made safe to offer in the save dialog: no folder
// parts, never "." or "..".
std::string suggested_save_name(std::string_view announced);

// A length frame's payload as a signed 32-bit whole number.
std::optional<int> announced_length(std::string_view payload);

} // namespace quillon

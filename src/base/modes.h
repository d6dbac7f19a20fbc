// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace quillon {

// What Send and the line's arrivals are for: chatting or a file transfer.
// none until the user or a transfer first chooses.
enum class OperatingMode { none, chat, file_transfer };

// The form a file goes in: the block protocol's two, or another
// program's protocol.
enum class FileForm { none, binary, text, zmodem, ymodem, xmodem };

// The words a mode and a form are shown, stored and sent as ("chat",
// "file transfer", "binary", ...); none is the empty word.
const char* mode_word(OperatingMode mode);
const char* form_word(FileForm form);
// none for a word that names no form.
FileForm form_of_word(std::string_view word);

} // namespace quillon

// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/modes.h"

namespace quillon {

namespace {
constexpr FileForm named_forms[] = {FileForm::binary, FileForm::text, FileForm::zmodem, FileForm::ymodem,
                                    FileForm::xmodem};
} // namespace

const char* mode_word(OperatingMode mode) {
    switch (mode) {
    case OperatingMode::chat: return "chat";
    case OperatingMode::file_transfer: return "file transfer";
    case OperatingMode::none: break;
    }
    return "";
}

const char* form_word(FileForm form) {
    switch (form) {
    case FileForm::binary: return "binary";
    case FileForm::text: return "text";
    case FileForm::zmodem: return "zmodem";
    case FileForm::ymodem: return "ymodem";
    case FileForm::xmodem: return "xmodem";
    case FileForm::none: break;
    }
    return "";
}

FileForm form_of_word(std::string_view word) {
    for (FileForm form : named_forms)
        if (form_word(form) == word) return form;
    return FileForm::none;
}

} // namespace quillon

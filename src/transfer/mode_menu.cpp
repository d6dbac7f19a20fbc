// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/mode_menu.h"

#include "transfer/transfer_frames.h"

namespace quillon {

void ModeMenu::mnumodechat_Click() {
    form_.mnumodechat.set_checked(true);
    form_.filemodebinary.set_checked(false);
    form_.filemodetext.set_checked(false);
    state_.current_mode = OperatingMode::chat;
}

void ModeMenu::mnumodefile_Click() {
    form_.mnumodefile.set_checked(true);
    form_.mnumodechat.set_checked(false);
    state_.current_mode = OperatingMode::file_transfer;
    choose_file_to_send();
}

void ModeMenu::filemodebinary_Click() { choose_form(FileForm::binary); }
void ModeMenu::filemodetext_Click() { choose_form(FileForm::text); }

void ModeMenu::choose_form(FileForm form) {
    state_.file_mode = form;
    form_.mnumodechat.set_checked(false);
    form_.filemodebinary.set_checked(form == FileForm::binary);
    form_.filemodetext.set_checked(form == FileForm::text);
    state_.current_mode = OperatingMode::file_transfer;
    choose_file_to_send();
}

// A cancelled dialog keeps the file chosen before.
void ModeMenu::choose_file_to_send() {
    if (auto name = dialogs_.open_file(file_dialog_filter, "")) state_.send_filename = *name;
}

} // namespace quillon

// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/mode_menu.h"

#include "app/program.h"
#include "transfer/transfer_frames.h"

namespace quillon {

void ModeMenu::mnumodechat_Click() {
    MainForm& f = p_.frmmain;
    f.mnumodechat.set_checked(true);
    f.filemodebinary.set_checked(false);
    f.filemodetext.set_checked(false);
    p_.state.current_mode = "chat";
}

void ModeMenu::mnumodefile_Click() {
    MainForm& f = p_.frmmain;
    f.mnumodefile.set_checked(true);
    f.mnumodechat.set_checked(false);
    p_.state.current_mode = "file transfer";
    choose_file_to_send();
}

void ModeMenu::filemodebinary_Click() { choose_form("binary"); }
void ModeMenu::filemodetext_Click() { choose_form("text"); }

void ModeMenu::choose_form(const std::string& form) {
    MainForm& f = p_.frmmain;
    p_.state.file_mode = form;
    f.mnumodechat.set_checked(false);
    f.filemodebinary.set_checked(form == "binary");
    f.filemodetext.set_checked(form == "text");
    p_.state.current_mode = "file transfer";
    choose_file_to_send();
}

// A cancelled dialog keeps the file chosen before.
void ModeMenu::choose_file_to_send() {
    if (auto name = p_.dialogs.open_file(file_dialog_filter, "")) p_.state.send_filename = *name;
}

} // namespace quillon

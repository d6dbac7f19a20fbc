// SPDX-License-Identifier: GPL-3.0-or-later
#include "chat/chat.h"

#include "app/program.h"

namespace quillon {

void Chat::cmdsend_Click() {
    SharedState& s = p_.state;
    if (s.current_mode == OperatingMode::chat) {
        p_.MSComm1.set_input_mode(0);
        p_.MSComm1.output(p_.frmmain.txtsend.text());
        p_.events.chat_sent(p_.frmmain.txtsend.text());
        p_.frmmain.txtsend.set_text("");
    }
    if (s.current_mode == OperatingMode::file_transfer) {
        s.send_block = 1;
        std::string path = s.send_filename;
        p_.transfer.send_file(path);
        p_.frmmain.cmdsend.set_enabled(false);
    }
}

void Chat::txtsend_KeyPress(int key_ascii) {
    if (key_ascii == 13 && p_.frmmain.lblchat.caption() != "Your chat message goes here")
        p_.address_prompts.answer_prompt();
}

} // namespace quillon
